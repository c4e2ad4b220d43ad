#pragma once

class QComboBox;
class QLineEdit;

// What a box cannot show whole, a person can still read: a list opens wide
// enough for its longest entry, and a text cut by its box shows whole as the
// tool tip.
namespace Controles {

// The list's drop-down opens as wide as its longest entry needs (the screen
// permitting), also after later fills; an entry wider than the box carries
// its whole text as its tool tip (Qt::ToolTipRole), and so does the box while
// such an entry or typed text stands in it. Once per list; a second call does
// nothing.
void MuestraEntradasEnteras(QComboBox* lista);

// A one-line box whose text is wider than the box shows it whole as its tool tip.
void MuestraTextoEntero(QLineEdit* caja);

} // namespace Controles
