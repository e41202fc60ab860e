#include "Colors.h"

namespace fc {

namespace {
// The classic desktop scheme, by system colour index.
constexpr TColor kSystemTable[] = {
    RGBColor(212, 208, 200), // 0 scroll bar
    RGBColor(58, 110, 165),  // 1 background
    RGBColor(10, 36, 106),   // 2 active caption
    RGBColor(128, 128, 128), // 3 inactive caption
    RGBColor(212, 208, 200), // 4 menu
    RGBColor(255, 255, 255), // 5 window
    RGBColor(0, 0, 0),       // 6 window frame
    RGBColor(0, 0, 0),       // 7 menu text
    RGBColor(0, 0, 0),       // 8 window text
    RGBColor(255, 255, 255), // 9 caption text
    RGBColor(212, 208, 200), // 10 active border
    RGBColor(212, 208, 200), // 11 inactive border
    RGBColor(128, 128, 128), // 12 application workspace
    RGBColor(10, 36, 106),   // 13 highlight
    RGBColor(255, 255, 255), // 14 highlight text
    RGBColor(212, 208, 200), // 15 button face
    RGBColor(128, 128, 128), // 16 button shadow
    RGBColor(128, 128, 128), // 17 grey text
    RGBColor(0, 0, 0),       // 18 button text
    RGBColor(212, 208, 200), // 19 inactive caption text
    RGBColor(255, 255, 255), // 20 button highlight
    RGBColor(64, 64, 64),    // 21 3D dark shadow
    RGBColor(212, 208, 200), // 22 3D light
    RGBColor(0, 0, 0),       // 23 info text
    RGBColor(255, 255, 225), // 24 info background
    RGBColor(0, 0, 0),       // 25 (unused)
    RGBColor(0, 0, 128),     // 26 hot light
    RGBColor(166, 202, 240), // 27 gradient active caption
    RGBColor(192, 192, 192), // 28 gradient inactive caption
    RGBColor(49, 106, 197),  // 29 menu highlight
    RGBColor(236, 233, 216), // 30 menu bar
};
} // namespace

TColor ColorToRGB(TColor c)
{
    if (c < 0) {
        const int index = c & 0xFF;
        if (index < int(sizeof kSystemTable / sizeof kSystemTable[0]))
            return kSystemTable[index];
        return clBlack;
    }
    return c;
}

} // namespace fc
