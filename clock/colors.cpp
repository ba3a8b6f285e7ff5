#include "clock/colors.h"

#include <algorithm>
#include <cmath>

namespace vt {

int ColourR = 0, ColourG = 0, ColourB = 0;
int ColourH = 0, ColourL = 0, ColourS = 0;

namespace {
constexpr int kHlsMax = 240;
constexpr int kRgbMax = 255;

// Kept in single precision, as the hue differences were always computed.
float HueDistance(int max, int min, int channel) {
    const double range = max - min;
    return static_cast<float>(((max - channel) * (kHlsMax / 6.0) + range / 2) / range);
}

// m1 and m2 are single-precision values; the sums over them are not rounded again.
double HueToRgb(double m1, double m2, int hue) {
    if (hue < 0) hue += kHlsMax;
    if (hue > kHlsMax) hue -= kHlsMax;
    if (hue < kHlsMax / 6) return m1 + ((m2 - m1) * hue + kHlsMax / 12.0) / (kHlsMax / 6.0);
    if (hue < kHlsMax / 2) return m2;
    if (hue < kHlsMax * 2 / 3) return m1 + ((m2 - m1) * (kHlsMax * 2 / 3 - hue) + kHlsMax / 12.0) / (kHlsMax / 6.0);
    return m1;
}

int ChannelFromHue(float m1, float m2, int hue) {
    return std::clamp(RoundHalfEven((HueToRgb(m1, m2, hue) * kRgbMax + kHlsMax / 2) / kHlsMax), 0, kRgbMax);
}
}  // namespace

int RoundHalfEven(double x) {
    double lower = std::floor(x);
    double diff = x - lower;
    if (diff > 0.5) return static_cast<int>(lower) + 1;
    if (diff < 0.5) return static_cast<int>(lower);
    return std::fmod(lower, 2.0) == 0 ? static_cast<int>(lower) : static_cast<int>(lower) + 1;
}

HlsColour RgbToHls(RgbColour c) {
    const int max = std::max({c.r, c.g, c.b});
    const int min = std::min({c.r, c.g, c.b});
    const int sum = max + min;
    HlsColour out;
    out.l = RoundHalfEven((sum * static_cast<double>(kHlsMax) + kRgbMax) / (2 * kRgbMax));
    if (max == min) {
        out.s = 0;
        out.h = kHlsMax * 2 / 3;   // undefined hue of a grey: 160
    } else {
        const double range = max - min;
        if (out.l <= kHlsMax / 2)
            out.s = RoundHalfEven((range * kHlsMax + sum / 2.0) / sum);
        else
            out.s = RoundHalfEven((range * kHlsMax + (2.0 * kRgbMax - sum) / 2) / (2.0 * kRgbMax - sum));
        const float rd = HueDistance(max, min, c.r);
        const float gd = HueDistance(max, min, c.g);
        const float bd = HueDistance(max, min, c.b);
        if (c.r == max)
            out.h = RoundHalfEven(static_cast<double>(bd) - gd);
        else if (c.g == max)
            out.h = RoundHalfEven(kHlsMax / 3.0 + rd - bd);
        else
            out.h = RoundHalfEven(kHlsMax * 2 / 3.0 + gd - rd);
        if (out.h < 0) out.h += kHlsMax;
        if (out.h > kHlsMax) out.h -= kHlsMax;
    }
    out.s = std::clamp(out.s, 0, kHlsMax);
    out.l = std::clamp(out.l, 0, kHlsMax);
    return out;
}

RgbColour HlsToRgb(HlsColour c) {
    if (c.s == 0) {
        int grey = std::clamp(RoundHalfEven(c.l * static_cast<double>(kRgbMax) / kHlsMax), 0, kRgbMax);
        return {grey, grey, grey};
    }
    float m2;
    if (c.l <= kHlsMax / 2)
        m2 = static_cast<float>((c.l * (kHlsMax + static_cast<double>(c.s)) + kHlsMax / 2) / kHlsMax);
    else
        m2 = static_cast<float>(c.l + c.s - (c.l * static_cast<double>(c.s) + kHlsMax / 2) / kHlsMax);
    const float m1 = static_cast<float>(2 * c.l - static_cast<double>(m2));
    return {ChannelFromHue(m1, m2, c.h + kHlsMax / 3), ChannelFromHue(m1, m2, c.h),
            ChannelFromHue(m1, m2, c.h - kHlsMax / 3)};
}

void RGBToHLS() {
    HlsColour c = RgbToHls({ColourR, ColourG, ColourB});
    ColourH = c.h;
    ColourL = c.l;
    ColourS = c.s;
}

void HLSToRGB() {
    RgbColour c = HlsToRgb({ColourH, ColourL, ColourS});
    ColourR = c.r;
    ColourG = c.g;
    ColourB = c.b;
}

}  // namespace vt
