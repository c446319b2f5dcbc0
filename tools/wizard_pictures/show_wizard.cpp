// Shows the wizard with all seven pages and the stock wizard bitmap, and saves a picture of the
// wizard window on each page as page-<dialog id>.bmp in the current folder; then the
// files-in-use dialog (page-131.bmp) over PhoneQuillo's help file, which it holds itself. A timer on the
// wizard's thread takes each picture from the screen and presses Next, and Finish on the last
// page; on the news server page it first ticks the authentication box and fills in a user, as
// a user whose server asks for one would. With NQ_PICTURES_NAME set ("Michał"), the user types
// that name on the user details page and an install folder holding it on the options page.
// Exit code 0 when every page was saved.
#include <cstdio>
#include <cstring>
#include <string>

#include "driver/catalogue.h"
#include "driver/files_in_use_dialog.h"
#include "driver/setup_context.h"
#include "driver/string_helpers.h"
#include "install/files_in_use.h"
#include "install/payload_extractor.h"
#include "platform/win32.h"
#include "wizard/licence_page.h"
#include "wizard/module_page.h"
#include "wizard/news_server_page.h"
#include "wizard/options_page.h"
#include "wizard/proxy_page.h"
#include "wizard/user_details_page.h"
#include "wizard/wizard_sheet.h"

namespace {

const unsigned kPageCount = 7;
DialogPage* g_pages[kPageCount];
unsigned g_saved = 0;
bool g_busy = false;
// The name the user types, in the process code page (UTF-8 by the manifest); empty for none.
char g_name[128];

// The window's rectangle as the screen shows it, as a 24-bit bottom-up bitmap file.
bool SaveWindowPicture(HWND window, const char* fileName) {
    RECT frame;
    GetWindowRect(window, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!picture)
        return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY);
    GdiFlush();
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    const DWORD stride = ((width * 24 + 31) / 32) * 4;
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info.bmiHeader;
    header.bfSize = header.bfOffBits + imageSize;
    bool written = false;
    if (FILE* file = std::fopen(fileName, "wb")) {
        written = std::fwrite(&header, sizeof header, 1, file) == 1 &&
                  std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, file) == 1 &&
                  std::fwrite(bits, imageSize, 1, file) == 1;
        written = std::fclose(file) == 0 && written;
    }
    DeleteObject(picture);
    return written;
}

void CALLBACK TakePicture(HWND, UINT, UINT_PTR, DWORD) {
    // A message box or the sheet's own work may run a loop inside this call.
    if (g_busy)
        return;
    g_busy = true;
    HWND wizard = g_pages[0]->Window() ? GetParent(g_pages[0]->Window()) : nullptr;
    HWND current = wizard
                       ? reinterpret_cast<HWND>(SendMessageA(wizard, PSM_GETCURRENTPAGEHWND, 0, 0))
                       : nullptr;
    for (DialogPage* page : g_pages) {
        if (!current || page->Window() != current)
            continue;
        if (page->TemplateId() == 107 && !IsDlgButtonChecked(current, 822)) {
            SendDlgItemMessageA(current, 822, BM_CLICK, 0, 0);
            SetDlgItemTextA(current, 823, "reader");
            SetDlgItemTextA(current, 824, "secret");
        }
        if (g_name[0] != '\0' && page->TemplateId() == 104)
            SetDlgItemTextA(current, 601, g_name);
        if (g_name[0] != '\0' && page->TemplateId() == 105) {
            std::string folder = std::string("C:\\Users\\") + g_name + "\\NetQuillo";
            SetDlgItemTextA(current, 702, folder.c_str());
        }
        RedrawWindow(wizard, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        char fileName[32];
        std::snprintf(fileName, sizeof fileName, "page-%d.bmp", page->TemplateId());
        if (SaveWindowPicture(wizard, fileName)) {
            std::printf("%s\n", fileName);
            ++g_saved;
        }
        const bool last = page == g_pages[kPageCount - 1];
        PostMessageA(wizard, PSM_PRESSBUTTON, last ? PSBTN_FINISH : PSBTN_NEXT, 0);
        break;
    }
    g_busy = false;
}

// The files-in-use dialog, once it shows: its picture, then Cancel.
void CALLBACK TakeDialogPicture(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = FindWindowA("#32770", "Files in use");
    if (!dialog || g_busy)
        return;
    g_busy = true;
    RedrawWindow(dialog, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    if (SaveWindowPicture(dialog, "page-131.bmp")) {
        std::printf("page-131.bmp\n");
        ++g_saved;
    }
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    g_busy = false;
}

// Phone alone, in the folder the options page proposes, its help file held open by this
// program sharing nothing, as a help viewer holds it: the dialog setup shows then.
void ShowFilesInUse(SetupContext& context, const OptionsPage& options) {
    const DWORD kPhone = 2;
    ModuleRow& row = context.modules[kPhone];
    for (DWORD i = 0; i < context.moduleCount; ++i)
        context.selected[i] = i == kPhone;
    row.installPath.reset(new char[MAX_PATH]);
    options.GetInstallPath(row.installPath.get(), MAX_PATH);
    CreateDirectoryA(row.installPath.get(), nullptr);
    JoinPath(row.installPath.get(), row.productName.get());
    CreateDirectoryA(row.installPath.get(), nullptr);
    char help[MAX_PATH];
    CopyString(help, ModuleFilePath(kPhone, row.helpFile.get()), sizeof help);
    HANDLE file = CreateFileA(help, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    FilesInUse held;
    if (file != INVALID_HANDLE_VALUE && !held.Check(context)) {
        g_busy = false;
        UINT_PTR timer = SetTimer(nullptr, 0, 700, TakeDialogPicture);
        AskAboutFilesInUse(nullptr, held);
        KillTimer(nullptr, timer);
    }
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    DeleteFileA(help);
}

// The stock wizard bitmap, expanded from the image's payload into the temporary folder.
HBITMAP LoadWizardBitmap() {
    char path[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, path);
    if (length == 0 || length >= MAX_PATH || !JoinPath(path, "NetQuilloWizard.bmp"))
        return nullptr;
    PayloadExtractor extractor;
    if (!extractor.ExtractPayload(999, path))
        return nullptr;
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    DeleteFileA(path);
    return bitmap;
}

} // namespace

int main() {
    InitCommonControls();
    // Read wide and converted: Wine 8's GetEnvironmentVariableA under the UTF-8 code page
    // copies as many bytes as the value has characters, and cuts "Michał" to "Micha" and a
    // lone lead byte.
    WCHAR wideName[64];
    DWORD nameLength = GetEnvironmentVariableW(L"NQ_PICTURES_NAME", wideName, 64);
    if (nameLength == 0 || nameLength >= 64 ||
        WideCharToMultiByte(CP_ACP, 0, wideName, -1, g_name, sizeof g_name, nullptr, nullptr) == 0)
        g_name[0] = '\0';
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    HBITMAP bitmap = LoadWizardBitmap();
    if (!bitmap) {
        std::fprintf(stderr, "show_wizard: no wizard bitmap\n");
        return 1;
    }
    {
        LicencePage licence(bitmap);
        NoticePage notice(bitmap);
        ModulePage modules(bitmap, context.moduleCount, context.selected.get());
        UserDetailsPage userDetails(bitmap);
        OptionsPage options(bitmap);
        NewsServerPage newsServer(bitmap);
        ProxyPage proxy(bitmap);
        DialogPage* pages[kPageCount] = {&licence, &notice,     &modules, &userDetails,
                                         &options, &newsServer, &proxy};
        std::string title = std::string(kSuiteName) + " Installation";
        WizardSheet sheet(nullptr, title.c_str());
        for (unsigned i = 0; i < kPageCount; ++i) {
            g_pages[i] = pages[i];
            sheet.AddPage(pages[i]);
        }
        UINT_PTR timer = SetTimer(nullptr, 0, 700, TakePicture);
        INT_PTR result = sheet.Run();
        KillTimer(nullptr, timer);
        std::printf("wizard result %d, %u pictures\n", static_cast<int>(result), g_saved);
        ShowFilesInUse(context, options);
    }
    DeleteObject(bitmap);
    return g_saved == kPageCount + 1 ? 0 : 1;
}
