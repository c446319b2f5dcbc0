#include "tests/wizard/wizard_test_support.h"

#include <cstring>
#include <vector>

#include "install/payload_extractor.h"

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

} // namespace

HBITMAP LoadStockWizardBitmap() {
    const std::string path = ScratchPath("Wizard.bmp");
    PayloadExtractor extractor;
    std::string file;
    if (!extractor.ExtractPayload(999, path.c_str()) || !ReadTestFile(path, file))
        return nullptr;
    // A bitmap file: a 14-byte file header, the BITMAPINFO, and the rows from bfOffBits on.
    BITMAPFILEHEADER fileHeader;
    if (file.size() < sizeof fileHeader + sizeof(BITMAPINFOHEADER))
        return nullptr;
    std::memcpy(&fileHeader, file.data(), sizeof fileHeader);
    if (fileHeader.bfOffBits <= sizeof fileHeader || fileHeader.bfOffBits > file.size())
        return nullptr;
    // The header and colour table, moved off the file's 14-byte offset to an aligned block.
    std::vector<DWORD> block((fileHeader.bfOffBits - sizeof fileHeader + 3) / 4 + 1);
    std::memcpy(block.data(), file.data() + sizeof fileHeader,
                fileHeader.bfOffBits - sizeof fileHeader);
    const BITMAPINFO* info = reinterpret_cast<const BITMAPINFO*>(block.data());
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return nullptr;
    const size_t stride = ((info->bmiHeader.biWidth * info->bmiHeader.biBitCount + 31) / 32) * 4;
    const size_t size = stride * static_cast<size_t>(info->bmiHeader.biHeight);
    if (fileHeader.bfOffBits + size > file.size()) {
        DeleteObject(bitmap);
        return nullptr;
    }
    std::memcpy(bits, file.data() + fileHeader.bfOffBits, size);
    return bitmap;
}

HWND CreatePageWindow(DialogPage& page) {
    HWND window = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(page.TemplateId()),
                                     nullptr, PlainDialogProc, 0);
    page.AttachWindow(window);
    if (window)
        page.OnInitDialog();
    return window;
}
