// The bitmap panel that every wizard page shows at its left: 80 by 140 dialog units with a thin
// sunken edge, black inside, the wizard bitmap centred on it (enlarged with the panel on a
// display denser than 96 dots an inch).
#include <cstdlib>
#include <cstring>

#include "wizard/wizard_page.h"

#include "driver/display_scale.h"

namespace {

const int kColourCount = 256;
const size_t kBitmapInfoSize = sizeof(BITMAPINFOHEADER) + kColourCount * sizeof(RGBQUAD);

// The panel's rectangle in the page's pixels.
RECT PanelRect(HWND page) {
    RECT panel = {0, 0, 80, 140};
    MapDialogRect(page, &panel);
    return panel;
}

} // namespace

WizardPage::WizardPage(int templateId, HBITMAP wizardBitmap)
    : DialogPage(templateId), wizardBitmap_(wizardBitmap) {
    if (!wizardBitmap_)
        return;

    // The colour table is read through a memory DC, the only way to reach a DIB section's.
    // Entries past the bitmap's own colour count stay black.
    RGBQUAD colours[kColourCount] = {};
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, wizardBitmap_);
    GetDIBColorTable(memory, 0, kColourCount, colours);
    SelectObject(memory, previous);
    DeleteDC(memory);

    // The page draws with the bitmap's own colours, so that a 256-colour display shows it
    // as it was painted.
    std::unique_ptr<BYTE[]> block(
        new BYTE[sizeof(LOGPALETTE) + (kColourCount - 1) * sizeof(PALETTEENTRY)]);
    LOGPALETTE* logical = reinterpret_cast<LOGPALETTE*>(block.get());
    logical->palVersion = 0x300;
    logical->palNumEntries = kColourCount;
    for (int k = 0; k < kColourCount; ++k) {
        logical->palPalEntry[k].peRed = colours[k].rgbRed;
        logical->palPalEntry[k].peGreen = colours[k].rgbGreen;
        logical->palPalEntry[k].peBlue = colours[k].rgbBlue;
        logical->palPalEntry[k].peFlags = 0;
    }
    palette_ = CreatePalette(logical);

    // Without the section's header there is nothing to draw; the panel keeps its edge alone.
    DIBSECTION section = {};
    if (GetObjectA(wizardBitmap_, sizeof section, &section) != static_cast<int>(sizeof section))
        return;
    bitmapInfo_.reset(new BYTE[kBitmapInfoSize]);
    std::memcpy(bitmapInfo_.get(), &section.dsBmih, sizeof(BITMAPINFOHEADER));
    std::memcpy(bitmapInfo_.get() + sizeof(BITMAPINFOHEADER), colours, sizeof colours);
}

WizardPage::~WizardPage() {
    if (palette_)
        DeleteObject(palette_);
}

int WizardPage::OnPaint(HDC dc) {
    RECT panel = PanelRect(Window());
    DrawEdge(dc, &panel, BDR_SUNKENOUTER, BF_RECT);
    if (palette_ && bitmapInfo_) {
        HPALETTE previous = SelectPalette(dc, palette_, FALSE);
        RealizePalette(dc);
        DIBSECTION section = {};
        GetObjectA(wizardBitmap_, sizeof section, &section);

        // A bitmap larger than the panel is cut at the panel's edge.
        HRGN clip = CreateRectRgn(0, 0, panel.right, panel.bottom);
        SelectClipRgn(dc, clip);
        RECT inside = {panel.left + 1, panel.top + 1, panel.right - 1, panel.bottom - 1};
        FillRect(dc, &inside, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

        const BITMAPINFO* info = reinterpret_cast<const BITMAPINFO*>(bitmapInfo_.get());
        const LONG width = info->bmiHeader.biWidth;
        // A top-down bitmap gives its height negative; it covers as many rows either way.
        const LONG height = std::labs(info->bmiHeader.biHeight);
        // On a denser display the panel has grown with the dialog font, and the picture with it.
        const LONG shownWidth = ScaledForDisplay(dc, width);
        const LONG shownHeight = ScaledForDisplay(dc, height);
        const int x = (panel.right - shownWidth) / 2;
        const int y = (panel.bottom - shownHeight) / 2;
        if (shownWidth == width && shownHeight == height) {
            SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0,
                              0, static_cast<UINT>(height), section.dsBm.bmBits, info,
                              DIB_RGB_COLORS);
        } else {
            PrepareToEnlarge(dc);
            StretchDIBits(dc, x, y, shownWidth, shownHeight, 0, 0, width, height,
                          section.dsBm.bmBits, info, DIB_RGB_COLORS, SRCCOPY);
        }

        SelectClipRgn(dc, nullptr);
        DeleteObject(clip);
        SelectPalette(dc, previous, FALSE);
        UnrealizeObject(previous);
    }
    return DialogPage::OnPaint(dc);
}
