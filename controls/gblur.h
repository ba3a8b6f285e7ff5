// Separable Gaussian blur of 32-bit pixels: the soft shadow under alpha text.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>

#include "base/pixels.h"

namespace vt {

struct BlurKernel {
    static constexpr int kMaxSize = 100;
    std::uint8_t Size = 0;                          // taps reach Size pixels to each side; 0 = not built
    std::array<float, 2 * kMaxSize + 1> Weights{};  // indexed -100..+100 through W()
    float& W(int j) { return Weights[j + kMaxSize]; }
    float W(int j) const { return Weights[j + kMaxSize]; }
};

// The arguments the calendar and the forecast widget build the shared kernel with.
constexpr double kBlurRadius = 1.0;
constexpr double kBlurMaxLevel = 255.0;
constexpr double kBlurLevelStep = 1.0;

// The one kernel every blur reads.
extern BlurKernel CurrentBlurKernel;

void MakeBlurKernel(BlurKernel& kernel, double radius, double maxLevel, double levelStep);
// Builds CurrentBlurKernel with the standard arguments; the windows that blur call it when created.
void MakeStandardBlurKernel();

inline int IntMax(int a, int b) { return a > b ? a : b; }
inline int IntMin(int a, int b) { return a < b ? a : b; }

// Blurs row[0..high] through work (at least high + 1 entries) and copies the result back over row.
void BlurLine(Bgra* row, int high, const BlurKernel& kernel, Bgra* work);
// Horizontal then vertical pass over all four bytes of every pixel.
void BlurPixels(const PixelView& image, const BlurKernel& kernel);
// Blurs a 32-bit DIB section in place with CurrentBlurKernel; false for any other kind of bitmap.
bool BlurBitmap(HBITMAP bitmap);

}  // namespace vt
