// The wizard-mode property sheet and the one dialog procedure of all its pages.
#include "wizard/wizard_sheet.h"

#include <cstddef>
#include <cstring>

#include "driver/string_helpers.h"
#include "driver/system_libraries.h"

namespace {

// The first layouts of the two structures, which every comctl32 accepts: 40 bytes each in the
// 32-bit program, the same fields at the 64-bit pointer size in the build that runs under Wine.
// The page array is walked by dwSize, so the pages lie exactly this far apart.
constexpr size_t kPageSize =
    offsetof(PROPSHEETPAGEA, pcRefParent) + sizeof(PROPSHEETPAGEA::pcRefParent);
constexpr size_t kHeaderSize =
    offsetof(PROPSHEETHEADERA, pfnCallback) + sizeof(PROPSHEETHEADERA::pfnCallback);
static_assert(sizeof(void*) != 4 || kPageSize == 40, "32-bit page layout");
static_assert(sizeof(void*) != 4 || kHeaderSize == 40, "32-bit header layout");
static_assert(sizeof(void*) != 8 || kPageSize == 72, "64-bit page layout");
static_assert(sizeof(void*) != 8 || kHeaderSize == 72, "64-bit header layout");

// Shared by the sheet and the page dialog procedure, which has no other way to find the page
// object of a window: the page index travels in the page's lParam only as far as WM_INITDIALOG.
struct PageList {
    unsigned count;
    DialogPage* pages[kMaxWizardPages];
    HWND windows[kMaxWizardPages];
};
PageList g_pageList;

// Back on every page but the first, Finish on the last, Next elsewhere.
void PostGenericButtons(HWND wizard, unsigned index) {
    LPARAM buttons = index != 0 ? PSWIZB_BACK : 0;
    buttons |= index + 1 == g_pageList.count ? PSWIZB_FINISH : PSWIZB_NEXT;
    PostMessageA(wizard, PSM_SETWIZBUTTONS, 0, buttons);
}

// By the client area's size, as the progress box is: the wizard sits a little right of and
// below the true centre.
void CentreWizard(HWND wizard) {
    RECT desktop;
    RECT client;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetClientRect(wizard, &client);
    SetWindowPos(wizard, nullptr, (desktop.right - client.right) / 2,
                 (desktop.bottom - client.bottom) / 2, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
}

// A jump to the page with dialog id `target`; the result tells the sheet not to move on its own.
INT_PTR JumpTo(HWND window, int target) {
    SendMessageA(GetParent(window), PSM_SETCURSELID, 0, target);
    return -1;
}

INT_PTR Notify(DialogPage* page, HWND window, const NMHDR* header) {
    switch (header->code) {
    case PSN_SETACTIVE:
        return page->OnSetActive();
    case PSN_KILLACTIVE:
        return page->OnKillActive();
    case PSN_WIZBACK: {
        int target = page->GetBackPage();
        return target != 0 ? JumpTo(window, target) : page->OnBack();
    }
    case PSN_WIZNEXT: {
        int target = page->GetNextPage();
        return target != 0 ? JumpTo(window, target) : page->OnNext();
    }
    case PSN_WIZFINISH:
        // The last page's fields are taken from its controls before the sheet closes.
        page->OnKillActive();
        return page->OnFinish();
    case PSN_QUERYCANCEL:
        return page->OnQueryCancel();
    default:
        return 0;
    }
}

INT_PTR Dispatch(DialogPage* page, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        page->AttachWindow(window);
        return page->OnInitDialog();
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        int result = page->OnPaint(dc);
        EndPaint(window, &paint);
        return result;
    }
    case WM_COMMAND:
        return page->OnCommand(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_PALETTECHANGED:
        // Another window's palette may have taken our colours: repaint with ours, over what
        // is there, without a flash of background.
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_NOTIFY:
        return Notify(page, window, reinterpret_cast<const NMHDR*>(lParam));
    default:
        return 0;
    }
}

INT_PTR CALLBACK PageDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogPage* page = nullptr;
    unsigned index = 0;
    if (message == WM_INITDIALOG) {
        const PROPSHEETPAGEA* sheetPage = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
        index = static_cast<unsigned>(sheetPage->lParam);
        if (index < g_pageList.count) {
            g_pageList.windows[index] = window;
            page = g_pageList.pages[index];
        }
    } else {
        for (index = 0; index < g_pageList.count; ++index) {
            if (g_pageList.windows[index] == window) {
                page = g_pageList.pages[index];
                break;
            }
        }
    }
    // Messages before WM_INITDIALOG, and any window not among the pages.
    if (!page)
        return FALSE;

    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == PSN_SETACTIVE) {
        HWND wizard = GetParent(window);
        PostGenericButtons(wizard, index);
        CentreWizard(wizard);
    }
    INT_PTR result = Dispatch(page, window, message, wParam, lParam);
    // Every result the pages give fits a signed byte: -1, 0, 1 or a small count.
    SetWindowLongPtrA(window, DWLP_MSGRESULT, static_cast<signed char>(result));
    return message == WM_NOTIFY ? TRUE : FALSE;
}

} // namespace

WizardSheet::WizardSheet(HWND parent, const char* title)
    : parent_(parent), title_(DuplicateString(title)) {
    g_pageList.count = 0;
    for (DialogPage*& page : g_pageList.pages)
        page = nullptr;
}

WizardSheet::~WizardSheet() = default;

void WizardSheet::AddPage(DialogPage* page) {
    g_pageList.pages[g_pageList.count++] = page;
}

INT_PTR WizardSheet::Run() {
    const unsigned count = g_pageList.count;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    std::unique_ptr<BYTE[]> pageArray(new BYTE[count * kPageSize]());
    for (unsigned i = 0; i < count; ++i) {
        PROPSHEETPAGEA page = {};
        page.dwSize = kPageSize;
        page.dwFlags = title_ ? PSP_USETITLE : 0;
        page.hInstance = instance;
        page.pszTemplate = MAKEINTRESOURCEA(g_pageList.pages[i]->TemplateId() & 0xFFFF);
        page.pszTitle = title_.get();
        page.pfnDlgProc = PageDialogProc;
        page.lParam = i;
        std::memcpy(pageArray.get() + i * kPageSize, &page, kPageSize);
    }

    PROPSHEETHEADERA header = {};
    header.dwSize = kHeaderSize;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD | PSH_NOAPPLYNOW;
    header.hwndParent = parent_;
    header.hInstance = instance;
    header.pszCaption = "";
    header.nPages = count;
    header.nStartPage = 0;
    header.ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(pageArray.get());

    for (HWND& window : g_pageList.windows)
        window = nullptr;
    // A program without comctl32 shows no wizard: the same answer as a sheet that could not
    // be made.
    auto show =
        EntryPoint<decltype(&PropertySheetA)>(LoadSystemLibrary("comctl32.dll"), "PropertySheetA");
    return show ? show(&header) : -1;
}

bool WizardSheet::CommitPages() {
    for (unsigned i = 0; i < g_pageList.count; ++i) {
        if (!g_pageList.pages[i]->Commit())
            return false;
    }
    return true;
}
