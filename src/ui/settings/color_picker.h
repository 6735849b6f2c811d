#pragma once

#include <functional>

namespace railwright {

// Asks the user for a palette index (0..31), starting from the field's current colour.
// A value outside the palette (a cancelled choice) writes nothing.
using ColorPicker = std::function<int(int current)>;

} // namespace railwright
