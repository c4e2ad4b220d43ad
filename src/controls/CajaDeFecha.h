#pragma once

#include <QDateEdit>
#include <QDateTimeEdit>

// A date box as the office's forms use it: Tab leaves it for the next field,
// as in every other box, instead of walking its day, month and year (the
// arrows and the calendar still change them).
template <class Base> class SaleConTab : public Base {
public:
    using Base::Base;

protected:
    bool focusNextPrevChild(bool siguiente) override { return QWidget::focusNextPrevChild(siguiente); }
};

using CajaDeFecha = SaleConTab<QDateEdit>;
using CajaDeFechaYHora = SaleConTab<QDateTimeEdit>;
