#include "driver/display_scale.h"

namespace {

const int kUsualDpi = 96;

} // namespace

LONG ScaledForDisplay(HDC dc, LONG pixels) {
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    if (dpi <= kUsualDpi)
        return pixels;
    return static_cast<LONG>(static_cast<long long>(pixels) * dpi / kUsualDpi);
}

void PrepareToEnlarge(HDC dc) {
    // The brush origin must be set after the mode, or the averaged colours come out misaligned.
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
}
