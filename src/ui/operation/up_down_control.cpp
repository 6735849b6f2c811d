#include "ui/operation/up_down_control.h"

#include <QLineEdit>

namespace railwright {

UpDownControl::UpDownControl(QWidget* parent) : QSpinBox(parent)
{
    // The text field stays alive (the spin box needs it for its value) but is never
    // shown, so the arrows fill the whole control.
    lineEdit()->setVisible(false);
    lineEdit()->setReadOnly(true);
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setAccelerated(true);
}

QSize UpDownControl::sizeHint() const
{
    return {17, 26};
}

QSize UpDownControl::minimumSizeHint() const
{
    return {12, 16};
}

} // namespace railwright
