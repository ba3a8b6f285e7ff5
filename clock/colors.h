// Colour conversions between RGB (0..255) and hue, luminance, saturation (0..240), as the skins page uses
// to derive a gradient's second colour from a skin's colour. Every quotient is rounded half to even.
#pragma once

namespace vt {

struct RgbColour {
    int r = 0, g = 0, b = 0;
    bool operator==(const RgbColour&) const = default;
};

struct HlsColour {
    int h = 0, l = 0, s = 0;
    bool operator==(const HlsColour&) const = default;
};

HlsColour RgbToHls(RgbColour c);
RgbColour HlsToRgb(HlsColour c);

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -0.5 -> 0).
int RoundHalfEven(double x);

// The module's colour variables and the two conversions between them.
extern int ColourR, ColourG, ColourB;
extern int ColourH, ColourL, ColourS;
void RGBToHLS();   // ColourR/G/B -> ColourH/L/S
void HLSToRGB();   // ColourH/L/S -> ColourR/G/B

}  // namespace vt
