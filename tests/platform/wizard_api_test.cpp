// The wizard as the common controls run it, pinned on both platforms: the notifications and
// the button states a page sees for each move, and the scripted user that drives it.
#include <string>

#include "platform/system_control_ids.h"
#include "tests/support/scripted_user.h"
#include "tests/support/test_dialogs.h"
#include "tests/support/test_world.h"

using namespace scripted;

namespace {

const char* const kPageNames[] = {"First", "Second", "Third", "Fourth"};
const int kPageIds[] = {kTestPageFirst, kTestPageSecond, kTestPageThird, kTestPageFourth};

int g_pageCount = 4;

std::string& Record() {
    static std::string record;
    return record;
}

// The wizard's buttons as the sheet's own button windows show them: "+" enabled, "-"
// disabled, hidden ones left out.
std::string ButtonStates(HWND sheet) {
    std::string text;
    const char* names[] = {"Back", "Next", "Finish"};
    for (int i = 0; i < 3; ++i) {
        HWND button = GetDlgItem(sheet, kWizardBackButton + i);
        if (!button || !(GetWindowLongPtrA(button, GWL_STYLE) & WS_VISIBLE))
            continue;
        text += std::string(" ") + names[i] + (IsWindowEnabled(button) ? "+" : "-");
    }
    return text;
}

const char* NotificationName(UINT code) {
    switch (code) {
    case PSN_SETACTIVE:
        return "PSN_SETACTIVE";
    case PSN_KILLACTIVE:
        return "PSN_KILLACTIVE";
    case PSN_WIZBACK:
        return "PSN_WIZBACK";
    case PSN_WIZNEXT:
        return "PSN_WIZNEXT";
    case PSN_WIZFINISH:
        return "PSN_WIZFINISH";
    case PSN_QUERYCANCEL:
        return "PSN_QUERYCANCEL";
    case PSN_RESET:
        return "PSN_RESET";
    default:
        return nullptr;
    }
}

INT_PTR Result(HWND page, LRESULT result) {
    SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
    return TRUE;
}

// Every page of the test wizard: it posts the usual button state when shown, jumps from the
// second page to the fourth on Next and back from the fourth to the second, asks before a
// cancel, and records what it sees.
INT_PTR CALLBACK TestPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        LPARAM index = reinterpret_cast<const PROPSHEETPAGEA*>(lParam)->lParam;
        SetWindowLongPtrA(page, DWLP_USER, index);
        Record() += std::string(kPageNames[index]) + " WM_INITDIALOG\n";
        return TRUE;
    }
    LONG_PTR index = GetWindowLongPtrA(page, DWLP_USER);
    std::string name = kPageNames[index];
    HWND sheet = GetParent(page);
    if (message == WM_DESTROY)
        Record() += name + " WM_DESTROY\n";
    if (message == WM_COMMAND && (HIWORD(wParam) == BN_CLICKED || HIWORD(wParam) == EN_CHANGE)) {
        Record() += name + " WM_COMMAND " + std::to_string(LOWORD(wParam)) +
                    (HIWORD(wParam) == BN_CLICKED ? " BN_CLICKED\n" : " EN_CHANGE\n");
        if (LOWORD(wParam) == kTestBrowse) {
            BROWSEINFOA browse = {};
            browse.hwndOwner = page;
            browse.lpszTitle = "Where?";
            browse.ulFlags = BIF_RETURNONLYFSDIRS;
            PIDLIST_ABSOLUTE items = SHBrowseForFolderA(&browse);
            char path[MAX_PATH] = "cancelled";
            if (items) {
                SHGetPathFromIDListA(items, path);
                CoTaskMemFree(items);
            }
            Record() += name + " picked " + path + "\n";
        }
        if (LOWORD(wParam) == kTestAsk) {
            int answer = MessageBoxA(page, "Asked", "Test Wizard", MB_OKCANCEL);
            Record() += name + " answer " + std::to_string(answer) + "\n";
        }
        return TRUE;
    }
    if (message != WM_NOTIFY)
        return FALSE;
    UINT code = reinterpret_cast<const NMHDR*>(lParam)->code;
    const char* notification = NotificationName(code);
    if (!notification)
        return FALSE;
    Record() += name + " " + notification + ButtonStates(sheet);
    if (code == PSN_RESET)
        Record() += " " + std::to_string(reinterpret_cast<const PSHNOTIFY*>(lParam)->lParam);
    if (code == PSN_WIZBACK || code == PSN_WIZNEXT) {
        char caption[64] = "";
        GetWindowTextA(sheet, caption, sizeof caption);
        Record() += std::string(" \"") + caption + "\"";
    }
    Record() += "\n";
    switch (code) {
    case PSN_SETACTIVE: {
        DWORD buttons = (index != 0 ? PSWIZB_BACK : 0) |
                        (index == g_pageCount - 1 ? PSWIZB_FINISH : PSWIZB_NEXT);
        PostMessageA(sheet, PSM_SETWIZBUTTONS, 0, buttons);
        return Result(page, 0);
    }
    case PSN_WIZNEXT:
    case PSN_WIZBACK: {
        bool jump = (index == 1 && code == PSN_WIZNEXT) || (index == 3 && code == PSN_WIZBACK);
        if (!jump)
            return Result(page, 0);
        SendMessageA(sheet, PSM_SETCURSELID, 0, index == 1 ? kTestPageFourth : kTestPageSecond);
        return Result(page, -1);
    }
    case PSN_QUERYCANCEL: {
        int answer = MessageBoxA(page, "Leave the test wizard?", "Test Wizard", MB_YESNO);
        Record() += name + " answer " + std::to_string(answer) + "\n";
        return Result(page, answer == IDYES ? FALSE : TRUE);
    }
    default:
        return Result(page, 0);
    }
}

INT_PTR RunTestWizard(int pages = 4) {
    g_pageCount = pages;
    PROPSHEETPAGEA sheetPages[4] = {};
    for (int i = 0; i < pages; ++i) {
        PROPSHEETPAGEA& page = sheetPages[i];
        page.dwSize = sizeof(PROPSHEETPAGEA);
        page.dwFlags = PSP_USETITLE;
        page.hInstance = GetModuleHandleA(nullptr);
        page.pszTemplate = MAKEINTRESOURCEA(kPageIds[i]);
        page.pszTitle = i == 3 ? "Last Step" : "Test Wizard";
        page.pfnDlgProc = TestPageProc;
        page.lParam = i;
    }
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD | PSH_NOAPPLYNOW;
    header.hInstance = GetModuleHandleA(nullptr);
    header.pszCaption = "";
    header.nPages = static_cast<UINT>(pages);
    header.ppsp = sheetPages;
    return PropertySheetA(&header);
}

class Wizard : public TestWorld {
  protected:
    void SetUp() override {
        TestWorld::SetUp();
        InitCommonControls();
        Record().clear();
    }
};

} // namespace

TEST_F(Wizard, PagesSeeTheNotificationsOfEveryMoveInTheCommonControlsOrder) {
    ScriptedUser user({Expect::Page(kTestPageFirst), Expect::Buttons(PSWIZB_NEXT), Do::Next(),
                       Expect::Buttons(PSWIZB_BACK | PSWIZB_NEXT), Do::Back(), Do::Next(),
                       Do::Next(), Expect::Page(kTestPageFourth),
                       Expect::Buttons(PSWIZB_BACK | PSWIZB_FINISH), Do::Back(),
                       Expect::Page(kTestPageSecond), Do::Cancel(),
                       Expect::Message("Leave the test wizard?", "Test Wizard"), Do::Answer(IDNO),
                       Expect::Page(kTestPageSecond), Do::Next(), Do::Finish()});
    EXPECT_EQ(IDOK, user.Play([] { return RunTestWizard(); }));
    EXPECT_EQ("", user.Failures());
    EXPECT_EQ("First WM_INITDIALOG\n"
              "First PSN_SETACTIVE Back+ Next+\n"
              "First PSN_WIZNEXT Back- Next+ \"Test Wizard\"\n"
              "First PSN_KILLACTIVE Back- Next+\n"
              "Second WM_INITDIALOG\n"
              "Second PSN_SETACTIVE Back- Next+\n"
              "Second PSN_WIZBACK Back+ Next+ \"Test Wizard\"\n"
              "Second PSN_KILLACTIVE Back+ Next+\n"
              "First PSN_SETACTIVE Back+ Next+\n"
              "First PSN_WIZNEXT Back- Next+ \"Test Wizard\"\n"
              "First PSN_KILLACTIVE Back- Next+\n"
              "Second PSN_SETACTIVE Back- Next+\n"
              "Second PSN_WIZNEXT Back+ Next+ \"Test Wizard\"\n"
              "Second PSN_KILLACTIVE Back+ Next+\n"
              "Fourth WM_INITDIALOG\n"
              "Fourth PSN_SETACTIVE Back+ Next+\n"
              "Fourth PSN_WIZBACK Back+ Finish+ \"Last Step\"\n"
              "Fourth PSN_KILLACTIVE Back+ Finish+\n"
              "Second PSN_SETACTIVE Back+ Finish+\n"
              "Second PSN_QUERYCANCEL Back+ Next+\n"
              "Second answer 7\n"
              "Second PSN_WIZNEXT Back+ Next+ \"Test Wizard\"\n"
              "Second PSN_KILLACTIVE Back+ Next+\n"
              "Fourth PSN_SETACTIVE Back+ Next+\n"
              "Fourth PSN_WIZFINISH Back+ Finish+\n"
              "First WM_DESTROY\n"
              "Second WM_DESTROY\n"
              "Fourth WM_DESTROY\n",
              Record());
}

TEST_F(Wizard, CancelAnsweredYesResetsTheShownPagesAndAnswersZero) {
    ScriptedUser user({Do::Next(), Do::Cancel(),
                       Expect::Message("Leave the test wizard?", "Test Wizard"),
                       Do::Answer(IDYES)});
    EXPECT_EQ(0, user.Play([] { return RunTestWizard(); }));
    EXPECT_EQ("", user.Failures());
    EXPECT_EQ("First WM_INITDIALOG\n"
              "First PSN_SETACTIVE Back+ Next+\n"
              "First PSN_WIZNEXT Back- Next+ \"Test Wizard\"\n"
              "First PSN_KILLACTIVE Back- Next+\n"
              "Second WM_INITDIALOG\n"
              "Second PSN_SETACTIVE Back- Next+\n"
              "Second PSN_QUERYCANCEL Back+ Next+\n"
              "Second answer 6\n"
              "First PSN_RESET Back+ Next+ 0\n"
              "Second PSN_RESET Back+ Next+ 0\n"
              "First WM_DESTROY\n"
              "Second WM_DESTROY\n",
              Record());
}

TEST_F(Wizard, ScriptedUserTypesClicksAnswersAndChecksControls) {
    ScriptedUser user({Do::Next(), Expect::Checked(kTestBox, false), Do::Click(kTestBox),
                       Expect::Checked(kTestBox, true), Do::Type(kTestField, "typed"),
                       Expect::Text(kTestField, "typed"), Expect::Enabled(kTestAsk, true),
                       Do::Click(kTestAsk), Expect::Message("Asked", "Test Wizard"),
                       Do::Answer(IDCANCEL), Do::Back(), Do::Next(),
                       Expect::Checked(kTestBox, true), Expect::Text(kTestField, "typed"),
                       Do::Cancel(), Do::Answer(IDYES)});
    EXPECT_EQ(0, user.Play([] { return RunTestWizard(); }));
    EXPECT_EQ("", user.Failures());
    std::string record = Record();
    EXPECT_NE(std::string::npos, record.find("Second WM_COMMAND 910 BN_CLICKED\n"
                                             "Second WM_COMMAND 911 EN_CHANGE\n"
                                             "Second WM_COMMAND 912 BN_CLICKED\n"
                                             "Second answer 2\n"))
        << record;
}

TEST_F(Wizard, ScriptedUserPicksFolders) {
    ScriptedUser user({Do::Next(), Do::Click(kTestBrowse), Do::PickFolder(kScratchFolder),
                       Do::Click(kTestBrowse), Do::PickFolder(nullptr), Do::Cancel(),
                       Do::Answer(IDYES)});
    EXPECT_EQ(0, user.Play([] { return RunTestWizard(); }));
    EXPECT_EQ("", user.Failures());
    std::string record = Record();
    EXPECT_NE(std::string::npos, record.find(std::string("Second picked ") + kScratchFolder +
                                             "\nSecond WM_COMMAND 913 BN_CLICKED\n"
                                             "Second picked cancelled\n"))
        << record;
}

TEST_F(Wizard, ScriptedUserNamesTheFailedStepAndClosesTheWizard) {
    ScriptedUser wrongPage({Do::Next(), Expect::Page(kTestPageThird), Do::Finish()});
    EXPECT_EQ(0, wrongPage.Play([] { return RunTestWizard(); }));
    EXPECT_EQ("step 2 Expect::Page(9103): page 9102 is shown\n", wrongPage.Failures());

    ScriptedUser disabled({Do::Back()});
    EXPECT_EQ(0, disabled.Play([] { return RunTestWizard(); }));
    EXPECT_EQ("step 1 Do::Back(): the wizard offers Next\n", disabled.Failures());

    ScriptedUser tooShort({Do::Next()});
    EXPECT_EQ(0, tooShort.Play([] { return RunTestWizard(); }));
    EXPECT_EQ("the script ended while the wizard still waits for the user\n", tooShort.Failures());

    ScriptedUser tooLong({Do::Finish(), Do::Next()});
    EXPECT_EQ(IDOK, tooLong.Play([] { return RunTestWizard(1); }));
    EXPECT_EQ("step 2 Do::Next(): the wizard closed before it\n", tooLong.Failures());
}
