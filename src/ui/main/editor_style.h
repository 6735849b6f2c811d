#pragma once

#include <QProxyStyle>

namespace railwright {

// The platform's style with one change: the chevron that menu bars and toolbars make
// for items that do not fit is drawn by this program. The stock chevron is a picture
// file whose loading scans every image plugin, which costs the editor a noticeable
// part of its start-up although the chevron is hardly ever shown.
class EditorStyle : public QProxyStyle
{
    Q_OBJECT

public:
    EditorStyle() = default;

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

} // namespace railwright
