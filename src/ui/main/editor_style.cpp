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

} // namespace railwright
