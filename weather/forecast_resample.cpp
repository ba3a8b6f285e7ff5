#include "weather/forecast_resample.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vt {

namespace {

constexpr int kLobes = 3;

// Accumulated premultiplied channels of one output pixel.
struct Sum {
    double b = 0, g = 0, r = 0, a = 0;
    void Add(const Bgra& p, double w) {
        b += p.b * w;
        g += p.g * w;
        r += p.r * w;
        a += p.a * w;
    }
    // Lanczos rings below 0 and above 255; colour may not exceed its own alpha in premultiplied form.
    Bgra Pixel(double scale) const {
        auto clamp = [](double v, double hi) { return static_cast<std::uint8_t>(std::clamp(std::nearbyint(v), 0.0, hi)); };
        const std::uint8_t alpha = clamp(a * scale, 255.0);
        return {clamp(b * scale, alpha), clamp(g * scale, alpha), clamp(r * scale, alpha), alpha};
    }
};

// Taps of one output coordinate: source indices and their weights, summing to 1.
struct Taps {
    int first = 0;
    std::vector<double> weights;
};

Taps TapsFor(double centre, double support, double stretch) {
    // centre: the sampling point in pixel-index space (pixel i centred on i).
    Taps t;
    t.first = static_cast<int>(std::floor(centre - support)) + 1;
    const int last = static_cast<int>(std::ceil(centre + support)) - 1;
    double total = 0;
    for (int i = t.first; i <= last; ++i) {
        const double w = LanczosWeight((i - centre) / stretch);
        t.weights.push_back(w);
        total += w;
    }
    if (total != 0)
        for (double& w : t.weights) w /= total;
    return t;
}

// The taps of target pixel `at` that fall inside a source `size` pixels long, renormalised to sum to one.
Taps TapsInside(int at, double scale, double stretch, int size) {
    const Taps t = TapsFor((at + 0.5) / scale - 0.5, kLobes * stretch, stretch);
    Taps kept;
    kept.first = std::max(t.first, 0);
    double total = 0;
    for (int i = kept.first; i < std::min<int>(t.first + static_cast<int>(t.weights.size()), size); ++i) {
        kept.weights.push_back(t.weights[static_cast<size_t>(i - t.first)]);
        total += kept.weights.back();
    }
    if (total != 0)
        for (double& w : kept.weights) w /= total;
    return kept;
}

}  // namespace

PixelBuffer CopyPixels(const PixelView& source) {
    if (source.empty()) return {};
    PixelBuffer copy(source.width, source.height);
    std::copy(source.pixels, source.pixels + copy.pixels.size(), copy.pixels.begin());
    return copy;
}

double LanczosWeight(double x) {
    x = std::fabs(x);
    if (x < 1e-12) return 1.0;
    if (x >= kLobes) return 0.0;
    const double px = std::numbers::pi * x;
    return kLobes * std::sin(px) * std::sin(px / kLobes) / (px * px);
}

void ClearFrame(const PixelView& image) {
    if (image.empty()) return;
    for (int x = 0; x < image.width; ++x) image.at(x, 0) = image.at(x, image.height - 1) = Bgra{};
    for (int y = 0; y < image.height; ++y) image.at(0, y) = image.at(image.width - 1, y) = Bgra{};
}

PixelBuffer Rotate(const PixelView& source, double degrees, double cx, double cy) {
    if (source.empty()) return {};
    PixelBuffer out(source.width, source.height);
    const double rad = degrees * std::numbers::pi / 180.0;
    double c = std::cos(rad), s = std::sin(rad);
    // Quarter turns exactly, so that cos and sin do not leave 1e-16 traces that smear every pixel.
    auto snap = [](double v) { return std::fabs(v - std::nearbyint(v)) < 1e-12 ? std::nearbyint(v) : v; };
    c = snap(c);
    s = snap(s);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            // The source point that turns onto this pixel's centre: the inverse (counter-clockwise) turn.
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            const double sx = cx + dx * c + dy * s - 0.5;
            const double sy = cy - dx * s + dy * c - 0.5;
            const double fx = std::floor(sx), fy = std::floor(sy);
            Sum sum;
            double total = 0;
            const bool exactX = sx == fx, exactY = sy == fy;
            const int x0 = exactX ? static_cast<int>(fx) : static_cast<int>(fx) - kLobes + 1;
            const int x1 = exactX ? static_cast<int>(fx) : static_cast<int>(fx) + kLobes;
            const int y0 = exactY ? static_cast<int>(fy) : static_cast<int>(fy) - kLobes + 1;
            const int y1 = exactY ? static_cast<int>(fy) : static_cast<int>(fy) + kLobes;
            for (int j = y0; j <= y1; ++j) {
                const double wy = LanczosWeight(j - sy);
                for (int i = x0; i <= x1; ++i) {
                    const double w = wy * LanczosWeight(i - sx);
                    total += w;
                    if (i < 0 || j < 0 || i >= source.width || j >= source.height) continue;
                    sum.Add(source.at(i, j), w);
                }
            }
            out.at(x, y) = total != 0 ? sum.Pixel(1.0 / total) : Bgra{};
        }
    }
    return out;
}

PixelBuffer Resample(const PixelView& source, int width, int height) {
    if (source.empty() || width <= 0 || height <= 0) return {};
    const double scaleX = static_cast<double>(width) / source.width, scaleY = static_cast<double>(height) / source.height;
    const double stretchX = std::max(1.0, 1.0 / scaleX), stretchY = std::max(1.0, 1.0 / scaleY);
    // Horizontal pass into a wide intermediate, then vertical; taps at the borders are renormalised, so
    // edge pixels are not darkened by samples that do not exist.
    std::vector<Taps> columns(static_cast<size_t>(width)), rows(static_cast<size_t>(height));
    for (int x = 0; x < width; ++x) columns[static_cast<size_t>(x)] = TapsInside(x, scaleX, stretchX, source.width);
    for (int y = 0; y < height; ++y) rows[static_cast<size_t>(y)] = TapsInside(y, scaleY, stretchY, source.height);
    struct Wide {
        double b, g, r, a;
    };
    std::vector<Wide> middle(static_cast<size_t>(width) * source.height);
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Taps& t = columns[static_cast<size_t>(x)];
            Wide w{0, 0, 0, 0};
            for (size_t k = 0; k < t.weights.size(); ++k) {
                const Bgra& p = source.at(t.first + static_cast<int>(k), y);
                w.b += p.b * t.weights[k];
                w.g += p.g * t.weights[k];
                w.r += p.r * t.weights[k];
                w.a += p.a * t.weights[k];
            }
            middle[static_cast<size_t>(y) * width + x] = w;
        }
    }
    PixelBuffer out(width, height);
    for (int y = 0; y < height; ++y) {
        const Taps& t = rows[static_cast<size_t>(y)];
        for (int x = 0; x < width; ++x) {
            Sum sum;
            for (size_t k = 0; k < t.weights.size(); ++k) {
                const Wide& w = middle[static_cast<size_t>(t.first + static_cast<int>(k)) * width + x];
                sum.b += w.b * t.weights[k];
                sum.g += w.g * t.weights[k];
                sum.r += w.r * t.weights[k];
                sum.a += w.a * t.weights[k];
            }
            out.at(x, y) = sum.Pixel(1.0);
        }
    }
    return out;
}

void BlendAt(const PixelView& dest, const PixelView& source, int x, int y, std::uint8_t constantAlpha) {
    if (dest.empty() || source.empty()) return;
    const int x0 = std::max(0, -x), x1 = std::min(source.width, dest.width - x);
    const int y0 = std::max(0, -y), y1 = std::min(source.height, dest.height - y);
    const int c = constantAlpha;
    for (int sy = y0; sy < y1; ++sy) {
        for (int sx = x0; sx < x1; ++sx) {
            const Bgra& s = source.at(sx, sy);
            Bgra& d = dest.at(sx + x, sy + y);
            // Integer source-over with rounding: s·c/255 + d·(1 − sa·c/255²).
            const int sa = (s.a * c + 127) / 255;
            auto mix = [&](int sv, int dv) {
                const int v = (sv * c + 127) / 255 + (dv * (255 - sa) + 127) / 255;
                return static_cast<std::uint8_t>(std::min(v, 255));
            };
            d = Bgra{mix(s.b, d.b), mix(s.g, d.g), mix(s.r, d.r), mix(s.a, d.a)};
        }
    }
}

}  // namespace vt
