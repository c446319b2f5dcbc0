#include "driver/backdrop_window.h"

#include "driver/display_scale.h"
#include "driver/setup_context.h"

namespace {

const int kBandCount = 255;

// At (0, 0), at its own size on a display of 96 dots an inch and enlarged with the dialogs on a
// denser one, with no palette of its own: on a palette display the picture takes the colours
// the wizard's palette leaves it.
void DrawBackdropPicture(HDC dc, HBITMAP picture) {
    DIBSECTION section;
    if (GetObjectA(picture, sizeof section, &section) == 0)
        return;
    HDC memory = CreateCompatibleDC(dc);
    if (!memory)
        return;
    HGDIOBJ previous = SelectObject(memory, picture);
    const LONG width = section.dsBm.bmWidth;
    const LONG height = section.dsBm.bmHeight;
    const LONG shownWidth = ScaledForDisplay(dc, width);
    const LONG shownHeight = ScaledForDisplay(dc, height);
    if (shownWidth == width && shownHeight == height) {
        BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    } else {
        PrepareToEnlarge(dc);
        StretchBlt(dc, 0, 0, shownWidth, shownHeight, memory, 0, 0, width, height, SRCCOPY);
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
}

} // namespace

void PaintGradient(HDC dc, const RECT& client) {
    const LONG bandHeight = client.bottom / kBandCount + 1;
    for (int band = 0; band < kBandCount; ++band) {
        HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255 - band));
        RECT rect = {0, bandHeight * band, client.right, bandHeight * (band + 1)};
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
    }
}

LRESULT CALLBACK BackdropWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        RECT client;
        GetClientRect(window, &client);
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        PaintGradient(dc, client);
        if (g_currentContext && g_currentContext->backdropBitmap)
            DrawBackdropPicture(dc, g_currentContext->backdropBitmap);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_PALETTECHANGED:
        // Another window changed the system palette: repaint with the colours now available,
        // over the old picture, since the gradient covers the whole client area anyway.
        InvalidateRect(window, nullptr, FALSE);
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
