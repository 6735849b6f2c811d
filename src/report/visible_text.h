#pragma once

#include <QString>

namespace railwright {

// `text` with its control characters shown instead of acted on, for printing names and
// paths that come from files to a terminal or a message: U+0000-U+001F and U+007F become
// their Control Pictures (ESC gives U+241B), U+0080-U+009F, which Windows-1252 leaves
// undefined, become U+FFFD. Everything else is kept.
[[nodiscard]] QString VisibleText(QString text);

} // namespace railwright
