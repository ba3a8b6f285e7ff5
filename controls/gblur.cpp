#include "controls/gblur.h"

#include <cmath>
#include <vector>

namespace vt {

BlurKernel CurrentBlurKernel;

void MakeBlurKernel(BlurKernel& kernel, double radius, double maxLevel, double levelStep) {
    constexpr int kMax = BlurKernel::kMaxSize;
    kernel = BlurKernel{};
    // A radius of zero (or nonsense) would divide by zero and fill the kernel with NaN; it means "no blur".
    if (!(radius > 0) || !std::isfinite(radius)) {
        kernel.Size = 1;
        kernel.W(0) = 1.0f;
        return;
    }
    for (int j = -kMax; j <= kMax; ++j) {
        const double x = j / radius;
        kernel.W(j) = static_cast<float>(std::exp(-x * x / 2));
    }
    double sum = 0;
    for (int j = -kMax; j <= kMax; ++j) sum += kernel.W(j);
    for (int j = -kMax; j <= kMax; ++j) kernel.W(j) = static_cast<float>(kernel.W(j) / sum);

    // Drop the tails that cannot move a pixel by half a level.
    const double delta = levelStep / (2 * maxLevel);
    int size = kMax;
    double total = 0;
    while (total < delta && size > 1) {
        total += 2.0 * kernel.W(size);
        --size;
    }
    kernel.Size = static_cast<std::uint8_t>(size);

    sum = 0;
    for (int j = -size; j <= size; ++j) sum += kernel.W(j);
    for (int j = -size; j <= size; ++j) kernel.W(j) = static_cast<float>(kernel.W(j) / sum);
}

void MakeStandardBlurKernel() {
    MakeBlurKernel(CurrentBlurKernel, kBlurRadius, kBlurMaxLevel, kBlurLevelStep);
}

namespace {

std::uint8_t ToByte(double sum) {
    // Ties to even under the default rounding mode.
    const double r = std::nearbyint(sum);
    return static_cast<std::uint8_t>(r < 0 ? 0 : r > 255 ? 255 : r);
}

template <bool ClampLow, bool ClampHigh>
void BlurStretch(const Bgra* row, int high, const BlurKernel& kernel, Bgra* work, int from, int to) {
    const int size = kernel.Size;
    for (int j = from; j <= to; ++j) {
        double b = 0, g = 0, r = 0, a = 0;
        for (int n = -size; n <= size; ++n) {
            int pos = j + n;
            if constexpr (ClampLow) pos = IntMax(pos, 0);
            if constexpr (ClampHigh) pos = IntMin(pos, high);
            const double w = kernel.W(n);
            const Bgra& p = row[pos];
            b += w * p.b;
            g += w * p.g;
            r += w * p.r;
            a += w * p.a;
        }
        work[j] = Bgra{ToByte(b), ToByte(g), ToByte(r), ToByte(a)};
    }
}

}  // namespace

void BlurLine(Bgra* row, int high, const BlurKernel& kernel, Bgra* work) {
    if (high < 0) return;
    const int size = kernel.Size;
    if (high + 1 < 2 * size + 1) {
        BlurStretch<true, true>(row, high, kernel, work, 0, high);
    } else {
        BlurStretch<true, false>(row, high, kernel, work, 0, size - 1);
        BlurStretch<false, false>(row, high, kernel, work, size, high - size - 1);
        BlurStretch<false, true>(row, high, kernel, work, high - size, high);
    }
    for (int j = 0; j <= high; ++j) row[j] = work[j];
}

void BlurPixels(const PixelView& image, const BlurKernel& kernel) {
    if (image.empty()) return;
    std::vector<Bgra> work(image.width);
    for (int y = 0; y < image.height; ++y) BlurLine(&image.at(0, y), image.width - 1, kernel, work.data());

    work.resize(image.height);
    std::vector<Bgra> column(image.height);
    for (int x = 0; x < image.width; ++x) {
        for (int y = 0; y < image.height; ++y) column[y] = image.at(x, y);
        BlurLine(column.data(), image.height - 1, kernel, work.data());
        for (int y = 0; y < image.height; ++y) image.at(x, y) = column[y];
    }
}

bool BlurBitmap(HBITMAP bitmap) {
    DIBSECTION dib{};
    if (!bitmap || GetObjectW(bitmap, sizeof dib, &dib) != sizeof dib) return false;
    if (dib.dsBm.bmBitsPixel != 32 || !dib.dsBm.bmBits) return false;
    // An unbuilt kernel has only zero weights and would wipe the picture out.
    if (CurrentBlurKernel.Size == 0) MakeStandardBlurKernel();
    GdiFlush();
    BlurPixels({static_cast<Bgra*>(dib.dsBm.bmBits), dib.dsBm.bmWidth, dib.dsBm.bmHeight}, CurrentBlurKernel);
    return true;
}

}  // namespace vt
