#pragma once

#include <QIcon>

namespace railwright {

// The pictures of the toolbar's buttons.
enum class ToolbarPicture
{
    Open,
    Save,
    Cut,
    Copy,
    Paste,
    Delete,
    RideInfo,
    Decode,
    Encode,
    MoreButtons, // the chevron of a menu bar or toolbar too narrow for its items
};

// The icon of one toolbar button, drawn by this program at the size asked for. The
// style's own open and save pictures are not used: loading them cost more start-up
// time than the whole toolbar takes to draw. Never a null icon.
[[nodiscard]] QIcon toolbarIcon(ToolbarPicture picture);

} // namespace railwright
