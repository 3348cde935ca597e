// Colour text (names, #rgb, #rrggbb, rgb(), hsl(), system colour names, "transparent") to colour values.
#pragma once

#include "common/Str.h"
#include "common/Types.h"

namespace lantern {

// False when the text is no colour. With `needHash`, hexadecimal digits without "#" are refused.
bool ParseColor(u16v text, bool needHash, Color& color);

// Added to colours read from hexadecimal text: 0 on true-colour displays.
Color PaletteRelativeFlag();

} // namespace lantern
