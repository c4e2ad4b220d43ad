#pragma once

#include <QIcon>
#include <QPixmap>

// The program's emblem, an invitation's envelope, drawn rather than shipped
// as a file so that it scales to any size.
QPixmap Emblema(int lado);
QIcon IconoDelPrograma();
