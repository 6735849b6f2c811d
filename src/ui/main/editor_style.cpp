#include "editor_style.h"

#include "toolbar_icons.h"

namespace railwright {

QIcon EditorStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                                const QWidget* widget) const
{
    if (icon == SP_ToolBarHorizontalExtensionButton || icon == SP_ToolBarVerticalExtensionButton) {
        return toolbarIcon(ToolbarPicture::MoreButtons);
    }
    return QProxyStyle::standardIcon(icon, option, widget);
}

QString EditorStyle::comboBoxLabel(const QStyleOptionComboBox& option, const QWidget* widget) const
{
    QRect field = subControlRect(CC_ComboBox, &option, SC_ComboBoxEditField, widget);
    if (!option.currentIcon.isNull()) {
        field.setLeft(field.left() + option.iconSize.width() + 4);
    }
    return option.fontMetrics.elidedText(option.currentText, Qt::ElideRight, field.width());
}

void EditorStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                              const QWidget* widget) const
{
    const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
    if (element == CE_ComboBoxLabel && combo != nullptr && !combo->editable) {
        QStyleOptionComboBox cut(*combo);
        cut.currentText = comboBoxLabel(*combo, widget);
        QProxyStyle::drawControl(element, &cut, painter, widget);
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

} // namespace railwright
