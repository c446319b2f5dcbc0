// Property sheets in wizard mode, as the common controls run them: the sheet window with its
// Back, Next, Finish and Cancel buttons, page windows made from their templates when first
// shown and kept until the sheet closes, and the notifications of a move in their order:
// PSN_WIZNEXT (or PSN_WIZBACK) to the page being left, PSN_KILLACTIVE to it, then
// WM_INITDIALOG to a page shown for the first time and PSN_SETACTIVE to it.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "platform/host/dialog_template.h"
#include "platform/host/emulation.h"
#include "platform/host/window_manager.h"
#include "platform/system_control_ids.h"

namespace hostemu {
namespace {

// The button row below the pages, in pixels.
const LONG kButtonWidth = 75;
const LONG kButtonHeight = 23;
const LONG kButtonBar = 44;

struct Page {
    std::vector<BYTE> copy; // the caller's PROPSHEETPAGEA, as the page procedure gets it
    DialogTemplate dialog;
    std::string title;
    HWND window = nullptr;
    const PROPSHEETPAGEA& Header() const {
        return *reinterpret_cast<const PROPSHEETPAGEA*>(copy.data());
    }
};

struct Sheet {
    HWND window = nullptr;
    std::vector<Page> pages;
    int active = -1;
    bool ended = false;
    INT_PTR result = 0;
};

std::map<HWND, std::unique_ptr<Sheet>>& Sheets() {
    static std::map<HWND, std::unique_ptr<Sheet>> sheets;
    return sheets;
}

Sheet* SheetOf(HWND window) {
    auto it = Sheets().find(window);
    return it == Sheets().end() ? nullptr : it->second.get();
}

// The template of a page: from the caller's memory or from the module's resources.
bool LoadTemplate(const PROPSHEETPAGEA& header, DialogTemplate& dialog) {
    if (header.dwFlags & PSP_DLGINDIRECT) {
        // The size of a template in memory is not known; the parser stops at its end.
        return header.pResource &&
               ParseDialogTemplate(reinterpret_cast<const BYTE*>(header.pResource), 0x10000,
                                   dialog);
    }
    HRSRC resource = FindResourceA(header.hInstance, header.pszTemplate, RT_DIALOG);
    HGLOBAL loaded = resource ? LoadResource(header.hInstance, resource) : nullptr;
    return loaded && ParseDialogTemplate(static_cast<const BYTE*>(LockResource(loaded)),
                                         SizeofResource(header.hInstance, resource), dialog);
}

LRESULT Notify(Sheet& sheet, int index, UINT code, LPARAM lParam = 0) {
    HWND page = sheet.pages[static_cast<size_t>(index)].window;
    if (!page)
        return 0;
    PSHNOTIFY notify = {{sheet.window, 0, code}, lParam};
    return SendMessageA(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
}

// The page whose template has the dialog id `id`, or -1.
int FindById(const Sheet& sheet, LRESULT id) {
    for (size_t i = 0; i < sheet.pages.size(); ++i) {
        const PROPSHEETPAGEA& header = sheet.pages[i].Header();
        if (!(header.dwFlags & PSP_DLGINDIRECT) &&
            reinterpret_cast<ULONG_PTR>(header.pszTemplate) == static_cast<ULONG_PTR>(id))
            return static_cast<int>(i);
    }
    return -1;
}

bool CreatePage(Sheet& sheet, int index) {
    Page& page = sheet.pages[static_cast<size_t>(index)];
    DialogTemplate dialog = page.dialog;
    dialog.style |= WS_CHILD | WS_TABSTOP | DS_CONTROL;
    dialog.style &= ~(DS_MODALFRAME | WS_CAPTION | WS_SYSMENU | WS_POPUP | WS_DISABLED |
                      WS_VISIBLE | WS_THICKFRAME);
    dialog.exStyle |= WS_EX_CONTROLPARENT;
    dialog.x = 0;
    dialog.y = 0;
    const PROPSHEETPAGEA& header = page.Header();
    if ((header.dwFlags & PSP_USECALLBACK) && header.pfnCallback)
        header.pfnCallback(nullptr, PSPCB_CREATE, const_cast<PROPSHEETPAGEA*>(&header));
    HWND window = wm::CreateDialogWindow(dialog, header.hInstance, sheet.window, header.pfnDlgProc);
    if (!window)
        return false;
    page.window = window;
    SendMessageA(window, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&page.Header()));
    return IsWindow(window) != FALSE;
}

// Shows page `index`, or the page its PSN_SETACTIVE sends the sheet on to: -1 skips to the
// next page in the direction of the move, a dialog id jumps to that page.
bool SetCurrentPage(Sheet& sheet, int index, int direction) {
    int count = static_cast<int>(sheet.pages.size());
    if (index < 0 || index >= count)
        return false;
    if (sheet.active != -1)
        ShowWindow(sheet.pages[static_cast<size_t>(sheet.active)].window, SW_HIDE);
    sheet.active = -1;
    for (int hops = 0; hops <= count; ++hops) {
        if (!sheet.pages[static_cast<size_t>(index)].window && !CreatePage(sheet, index)) {
            DestroyWindow(sheet.window);
            return false;
        }
        LRESULT answer = Notify(sheet, index, PSN_SETACTIVE);
        if (answer == 0)
            break;
        if (answer == -1) {
            if (index + direction < 0 || index + direction >= count)
                break;
            index += direction;
            continue;
        }
        int target = FindById(sheet, answer);
        if (target < 0)
            break;
        index = target;
    }
    Page& page = sheet.pages[static_cast<size_t>(index)];
    SetWindowTextA(sheet.window, page.title.c_str());
    ShowWindow(page.window, SW_SHOW);
    sheet.active = index;
    return true;
}

// PSN_KILLACTIVE: a true answer keeps the user on the page.
bool CanLeave(Sheet& sheet) {
    return sheet.active < 0 || Notify(sheet, sheet.active, PSN_KILLACTIVE) == 0;
}

void Move(Sheet& sheet, UINT code, int direction) {
    if (sheet.active < 0)
        return;
    LRESULT answer = Notify(sheet, sheet.active, code);
    if (answer == -1)
        return;
    int target = answer == 0 ? sheet.active + direction : FindById(sheet, answer);
    if (target < 0 || target >= static_cast<int>(sheet.pages.size()))
        return;
    if (CanLeave(sheet))
        SetCurrentPage(sheet, target, direction);
}

void Finish(Sheet& sheet) {
    if (sheet.active < 0 || Notify(sheet, sheet.active, PSN_WIZFINISH) != 0)
        return;
    if (sheet.result == 0)
        sheet.result = IDOK;
    sheet.ended = true;
}

void Cancel(Sheet& sheet, LPARAM closing) {
    if (sheet.active < 0 || Notify(sheet, sheet.active, PSN_QUERYCANCEL) != 0)
        return;
    for (size_t i = 0; i < sheet.pages.size(); ++i)
        Notify(sheet, static_cast<int>(i), PSN_RESET, closing);
    sheet.ended = true;
}

void SetWizardButtons(Sheet& sheet, DWORD flags) {
    HWND back = GetDlgItem(sheet.window, kWizardBackButton);
    HWND next = GetDlgItem(sheet.window, kWizardNextButton);
    HWND finish = GetDlgItem(sheet.window, kWizardFinishButton);
    bool finishOn = (flags & PSWIZB_FINISH) && !(flags & PSWIZB_DISABLEDFINISH);
    EnableWindow(back, (flags & PSWIZB_BACK) ? TRUE : FALSE);
    EnableWindow(next, (flags & PSWIZB_NEXT) ? TRUE : FALSE);
    EnableWindow(finish, finishOn ? TRUE : FALSE);
    // Finish takes the place of Next.
    bool finishShown = (flags & (PSWIZB_FINISH | PSWIZB_DISABLEDFINISH)) != 0;
    ShowWindow(next, finishShown ? SW_HIDE : SW_SHOW);
    ShowWindow(finish, finishShown ? SW_SHOW : SW_HIDE);
}

void PressButton(Sheet& sheet, WPARAM button) {
    switch (button) {
    case PSBTN_BACK:
        Move(sheet, PSN_WIZBACK, -1);
        break;
    case PSBTN_NEXT:
        Move(sheet, PSN_WIZNEXT, 1);
        break;
    case PSBTN_FINISH:
        Finish(sheet);
        break;
    case PSBTN_CANCEL:
        Cancel(sheet, 0);
        break;
    default:
        break;
    }
}

INT_PTR Answer(HWND window, LRESULT value) {
    SetWindowLongPtrA(window, DWLP_MSGRESULT, value);
    return TRUE;
}

INT_PTR CALLBACK SheetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Sheet* sheet = SheetOf(window);
    if (!sheet)
        return FALSE;
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kWizardBackButton:
            PressButton(*sheet, PSBTN_BACK);
            return TRUE;
        case kWizardNextButton:
            PressButton(*sheet, PSBTN_NEXT);
            return TRUE;
        case kWizardFinishButton:
            PressButton(*sheet, PSBTN_FINISH);
            return TRUE;
        case IDCANCEL:
            PressButton(*sheet, PSBTN_CANCEL);
            return TRUE;
        default:
            // Commands the sheet does not know go to the page shown.
            if (sheet->active >= 0)
                SendMessageA(sheet->pages[static_cast<size_t>(sheet->active)].window, message,
                             wParam, lParam);
            return TRUE;
        }
    case WM_CLOSE:
        Cancel(*sheet, 1);
        return TRUE;
    case PSM_SETWIZBUTTONS:
        SetWizardButtons(*sheet, static_cast<DWORD>(lParam));
        return TRUE;
    case PSM_PRESSBUTTON:
        PressButton(*sheet, wParam);
        return TRUE;
    case PSM_SETCURSELID: {
        int target = FindById(*sheet, lParam);
        if (target >= 0 && CanLeave(*sheet))
            SetCurrentPage(*sheet, target, 1);
        return TRUE;
    }
    case PSM_SETCURSEL: {
        bool moved = CanLeave(*sheet) && SetCurrentPage(*sheet, static_cast<int>(wParam), 1);
        return Answer(window, moved ? TRUE : FALSE);
    }
    case PSM_GETCURRENTPAGEHWND:
        return Answer(window, sheet->active >= 0 && !sheet->ended
                                  ? reinterpret_cast<LRESULT>(
                                        sheet->pages[static_cast<size_t>(sheet->active)].window)
                                  : 0);
    case PSM_HWNDTOINDEX:
        for (size_t i = 0; i < sheet->pages.size(); ++i) {
            if (sheet->pages[i].window && sheet->pages[i].window == reinterpret_cast<HWND>(wParam))
                return Answer(window, static_cast<LRESULT>(i));
        }
        return Answer(window, -1);
    case PSM_INDEXTOHWND:
        return Answer(window, wParam < sheet->pages.size()
                                  ? reinterpret_cast<LRESULT>(sheet->pages[wParam].window)
                                  : 0);
    case PSM_IDTOINDEX:
        return Answer(window, FindById(*sheet, lParam));
    case PSM_INDEXTOID: {
        size_t index = static_cast<size_t>(wParam);
        if (index >= sheet->pages.size())
            return Answer(window, 0);
        const PROPSHEETPAGEA& header = sheet->pages[index].Header();
        bool byId = !(header.dwFlags & PSP_DLGINDIRECT) && IS_INTRESOURCE(header.pszTemplate);
        return Answer(window, byId ? reinterpret_cast<LRESULT>(header.pszTemplate) : 0);
    }
    case PSM_GETRESULT:
        return Answer(window, sheet->result);
    case PSM_SETTITLEA:
        SetWindowTextA(window, reinterpret_cast<LPCSTR>(lParam));
        return TRUE;
    default:
        return FALSE;
    }
}

HWND CreateButton(HWND sheet, int id, const char* text, LONG x, LONG y) {
    return CreateWindowExA(0, "Button", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP, x, y,
                           kButtonWidth, kButtonHeight, sheet,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
}

// The sheet window: as large as the largest page, with the button row below.
HWND CreateSheet(const PROPSHEETHEADERA& header, const std::vector<Page>& pages) {
    LONG width = 0, height = 0;
    for (const Page& page : pages) {
        int baseX = (page.dialog.style & DS_SETFONT) ? 6 : 8;
        int baseY = (page.dialog.style & DS_SETFONT) ? 13 : 16;
        width = std::max<LONG>(width, page.dialog.cx * baseX / 4);
        height = std::max<LONG>(height, page.dialog.cy * baseY / 8);
    }
    width = std::max<LONG>(width, 4 * (kButtonWidth + 8));
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    LONG side = 0, top = 0;
    wm::FrameSize(style, WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, side, top);
    HWND window = CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, "#32770", "", style, 0,
                                  0, width + 2 * side, height + kButtonBar + top + side,
                                  header.hwndParent, nullptr, header.hInstance, nullptr);
    if (!window)
        return nullptr;
    wm::Window* made = wm::Find(window);
    made->proc = wm::DialogProc;
    made->dialogProc = SheetProc;
    LONG y = height + (kButtonBar - kButtonHeight) / 2;
    LONG x = width - 3 * kButtonWidth - 16;
    CreateButton(window, kWizardBackButton, "< &Back", x, y);
    CreateButton(window, kWizardNextButton, "&Next >", x + kButtonWidth, y);
    CreateButton(window, kWizardFinishButton, "Finish", x + kButtonWidth, y);
    CreateButton(window, IDCANCEL, "Cancel", x + 2 * kButtonWidth + 8, y);
    return window;
}

} // namespace
} // namespace hostemu

// Only wizards are emulated: a sheet with tabs, a modeless sheet or pages given as handles
// are refused with -1.
INT_PTR PropertySheetA(LPCPROPSHEETHEADERA header) {
    using hostemu::Page;
    if (DWORD error = hostemu::detail::CheckFault("PropertySheetA")) {
        SetLastError(error);
        return -1;
    }
    if (!header || header->dwSize < PROPSHEETHEADERA_V1_SIZE || !(header->dwFlags & PSH_WIZARD) ||
        (header->dwFlags & PSH_MODELESS) || !(header->dwFlags & PSH_PROPSHEETPAGE) ||
        (header->nPages && !header->ppsp)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    std::vector<Page> pages;
    const BYTE* next = reinterpret_cast<const BYTE*>(header->ppsp);
    for (UINT i = 0; i < header->nPages; ++i) {
        const PROPSHEETPAGEA* given = reinterpret_cast<const PROPSHEETPAGEA*>(next);
        if (given->dwSize < PROPSHEETPAGEA_V1_SIZE) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return -1;
        }
        next += given->dwSize;
        Page page;
        page.copy.assign(sizeof(PROPSHEETPAGEA), 0);
        std::memcpy(page.copy.data(), given,
                    std::min<size_t>(given->dwSize, sizeof(PROPSHEETPAGEA)));
        // A page whose template cannot be read is left out, as the common controls do.
        if (!hostemu::LoadTemplate(page.Header(), page.dialog))
            continue;
        page.title =
            (given->dwFlags & PSP_USETITLE) && given->pszTitle && !IS_INTRESOURCE(given->pszTitle)
                ? given->pszTitle
                : page.dialog.caption;
        pages.push_back(std::move(page));
    }
    if (pages.empty())
        return -1;
    UINT start = (header->dwFlags & PSH_USEPSTARTPAGE) || header->nStartPage >= pages.size()
                     ? 0
                     : header->nStartPage;

    HWND parent = header->hwndParent;
    if (parent)
        EnableWindow(parent, FALSE);
    HWND window = hostemu::CreateSheet(*header, pages);
    INT_PTR result = -1;
    if (window) {
        auto owned = std::make_unique<hostemu::Sheet>();
        hostemu::Sheet& sheet = *owned;
        sheet.window = window;
        sheet.pages = std::move(pages);
        hostemu::Sheets()[window] = std::move(owned);
        hostemu::SetWizardButtons(sheet, PSWIZB_BACK | PSWIZB_NEXT);
        if (hostemu::SetCurrentPage(sheet, static_cast<int>(start), 1)) {
            ShowWindow(window, SW_SHOWNORMAL);
            bool finished = hostemu::wm::RunModalLoop(window, [&] { return sheet.ended; });
            result = finished && sheet.ended ? sheet.result : -1;
        }
        if (parent)
            EnableWindow(parent, TRUE);
        DestroyWindow(window);
        hostemu::Sheets().erase(window);
    } else if (parent) {
        EnableWindow(parent, TRUE);
    }
    return result;
}
