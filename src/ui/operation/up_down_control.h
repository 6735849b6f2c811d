#pragma once

#include <QSpinBox>

namespace railwright {

// A spin box reduced to its two arrow buttons, like the classic up-down control: the
// value is shown by a label beside it, not in the box. Arrow keys, Page Up/Down and the
// mouse wheel step it as usual, within its range.
class UpDownControl : public QSpinBox
{
    Q_OBJECT

public:
    explicit UpDownControl(QWidget* parent = nullptr);

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;
};

} // namespace railwright
