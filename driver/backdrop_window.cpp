#include "driver/backdrop_window.h"

#include "driver/setup_context.h"

namespace {

const int kBandCount = 255;

// Unscaled, at (0, 0), with no palette of its own: on a palette display the picture takes the
// colours the wizard's palette leaves it.
void DrawBackdropPicture(HDC dc, HBITMAP picture) {
    DIBSECTION section;
    if (GetObjectA(picture, sizeof section, &section) == 0)
        return;
    HDC memory = CreateCompatibleDC(dc);
    if (!memory)
        return;
    HGDIOBJ previous = SelectObject(memory, picture);
    BitBlt(dc, 0, 0, section.dsBm.bmWidth, section.dsBm.bmHeight, memory, 0, 0, SRCCOPY);
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
