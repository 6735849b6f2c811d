#pragma once

#include <QProxyStyle>
#include <QStyleOptionComboBox>

namespace railwright {

// The platform's style with two changes. The chevron that menu bars and toolbars make
// for items that do not fit is drawn by this program: the stock chevron is a picture
// file whose loading scans every image plugin, which costs the editor a noticeable
// part of its start-up although the chevron is hardly ever shown. And a combo box too
// narrow for its text cuts it with "…" instead of clipping it mid-letter.
class EditorStyle : public QProxyStyle
{
    Q_OBJECT

public:
    EditorStyle() = default;

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;

    // The text a closed, non-editable combo box shows: `option`'s current text, cut at its
    // end to fit the box's text field.
    [[nodiscard]] QString comboBoxLabel(const QStyleOptionComboBox& option,
                                        const QWidget* widget) const;
};

} // namespace railwright
