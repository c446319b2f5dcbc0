// The wizard as a user goes through it, played by the scripted user on both platforms: the
// buttons, jumps, cancelling and the module page.
#include <string>
#include <vector>

#include "driver/setup_context.h"
#include "tests/support/scripted_user.h"
#include "tests/support/test_world.h"
#include "wizard/licence_page.h"
#include "wizard/module_page.h"
#include "wizard/wizard_sheet.h"
#ifndef _WIN32
#include "platform/host/emulation.h"
#endif

using namespace scripted;

namespace {

const DWORD kBackNext = PSWIZB_BACK | PSWIZB_NEXT;
const DWORD kBackFinish = PSWIZB_BACK | PSWIZB_FINISH;

// A page that asks for a jump on Next or Back, counts how often it became active, and notes
// whether the wizard was centred by its client area each time.
class JumpingPage : public WizardPage {
  public:
    JumpingPage(int templateId, int nextPage, int backPage)
        : WizardPage(templateId, nullptr), nextPage_(nextPage), backPage_(backPage) {}
    int GetNextPage() override { return nextPage_; }
    int GetBackPage() override { return backPage_; }
    int OnSetActive() override {
        ++activations;
        HWND wizard = GetParent(Window());
        RECT desktop, client, frame;
        GetWindowRect(GetDesktopWindow(), &desktop);
        GetClientRect(wizard, &client);
        GetWindowRect(wizard, &frame);
        if (frame.left == (desktop.right - client.right) / 2 &&
            frame.top == (desktop.bottom - client.bottom) / 2)
            ++centred;
        return 0;
    }
    int activations = 0;
    int centred = 0;

  private:
    int nextPage_;
    int backPage_;
};

// The page shown and its buttons.
std::vector<Step> See(int page, DWORD buttons) {
    return {Expect::Page(page), Expect::Buttons(buttons)};
}

// Next or Back pressed, and the page it leads to with its buttons.
std::vector<Step> NextTo(int page, DWORD buttons) {
    return {Do::Next(), Expect::Page(page), Expect::Buttons(buttons)};
}
std::vector<Step> BackTo(int page, DWORD buttons) {
    return {Do::Back(), Expect::Page(page), Expect::Buttons(buttons)};
}

// The module boxes 550 to 555 as '1' checked and '0' not.
std::vector<Step> Boxes(const char* states) {
    std::vector<Step> steps;
    for (int i = 0; i < 6; ++i)
        steps.push_back(Expect::Checked(550 + i, states[i] == '1'));
    return steps;
}

std::vector<Step> Script(std::initializer_list<std::vector<Step>> parts) {
    std::vector<Step> steps;
    for (const std::vector<Step>& part : parts)
        steps.insert(steps.end(), part.begin(), part.end());
    return steps;
}

class WizardFlow : public TestWorld {
  protected:
    // The wizard over `pages` as the install sequence runs it, with `steps` at the keyboard.
    INT_PTR Play(const std::vector<DialogPage*>& pages, std::vector<Step> steps) {
        WizardSheet sheet(nullptr, "NetQuillo Installation");
        for (DialogPage* page : pages)
            sheet.AddPage(page);
        ScriptedUser user(std::move(steps));
        INT_PTR result = user.Play([&] { return sheet.Run(); });
        EXPECT_EQ("", user.Failures());
        return result;
    }
    SetupContext context_{"NetQuillo", kProductCatalogue, kCatalogueRowCount};
    LicencePage licence_{nullptr};
    NoticePage notice_{nullptr};
    ModulePage modules_{nullptr, context_.moduleCount, context_.selected.get()};
    WizardPage userDetails_{104, nullptr};
    WizardPage options_{105, nullptr};
    WizardPage newsServer_{107, nullptr};
    WizardPage proxy_{106, nullptr};
};

} // namespace

TEST_F(WizardFlow, FirstPageHasNoBackLastHasFinishWithSevenSixOrOnePage) {
    const std::vector<Step> fromModules = Script({
        NextTo(104, kBackNext),
        NextTo(105, kBackNext),
        NextTo(107, kBackNext),
        NextTo(106, kBackFinish), // the proxy page is the last
        {Do::Finish()},
    });
    EXPECT_NE(
        0, Play({&licence_, &notice_, &modules_, &userDetails_, &options_, &newsServer_, &proxy_},
                Script({
                    See(101, PSWIZB_NEXT),
                    NextTo(102, kBackNext),
                    NextTo(103, kBackNext),
                    fromModules,
                })));

    LicencePage licence(nullptr);
    ModulePage modules(nullptr, context_.moduleCount, context_.selected.get());
    WizardPage userDetails(104, nullptr), options(105, nullptr), newsServer(107, nullptr),
        proxy(106, nullptr);
    EXPECT_NE(0, Play({&licence, &modules, &userDetails, &options, &newsServer, &proxy},
                      Script({See(101, PSWIZB_NEXT), NextTo(103, kBackNext), fromModules})));

    LicencePage alone(nullptr);
    EXPECT_NE(0, Play({&alone}, Script({See(101, PSWIZB_FINISH), {Do::Finish()}})));
}

TEST_F(WizardFlow, AJumpLandsOnThePageWithThatDialogIdAndNoFurther) {
    JumpingPage first(101, 105, 0);
    JumpingPage skipped(103, 0, 0);
    JumpingPage alsoSkipped(104, 0, 0);
    JumpingPage target(105, 0, 103);
    JumpingPage last(106, 0, 0);
    const std::vector<Step> script = Script({
        NextTo(105, kBackNext),   // over 103 and 104
        BackTo(103, kBackNext),   // over 104
        BackTo(101, PSWIZB_NEXT), // no jump: the page before
        NextTo(105, kBackNext),
        NextTo(106, kBackFinish), // no jump: the page after
        {Do::Finish()},
    });
    EXPECT_NE(0, Play({&first, &skipped, &alsoSkipped, &target, &last}, script));
    EXPECT_EQ(1, skipped.activations);
    EXPECT_EQ(0, alsoSkipped.activations);
    EXPECT_EQ(2, target.activations);
    EXPECT_EQ(2, target.centred);
    EXPECT_EQ(1, last.centred);
}

TEST_F(WizardFlow, CancelAnsweredNoKeepsPageAndEntriesAndYesEndsTheWizardWithZero) {
    const std::vector<Step> script = Script({
        {Do::Next(), Do::Click(554), Do::Cancel()},
        {Expect::Message("Are you sure you wish to cancel the installation?",
                         "NetQuillo Installation"),
         Do::Answer(IDNO)},
        See(103, kBackNext),
        Boxes("111101"),
        {Do::Cancel(), Do::Answer(IDYES)},
    });
    EXPECT_EQ(0, Play({&licence_, &modules_, &userDetails_}, script));
}

TEST_F(WizardFlow, ModulePageKeepsNextOffWhileNoBoxIsCheckedAndWritesTheFlagsWhenLeft) {
    const std::vector<Step> script = Script({
        NextTo(103, kBackNext),
        Boxes("111111"),
        {Do::Click(550), Do::Click(551), Do::Click(552), Do::Click(553), Do::Click(554)},
        See(103, kBackNext),
        {Do::Click(555)}, // the last box unchecked
        See(103, PSWIZB_BACK),
        {Do::Click(552)}, // one checked again
        See(103, kBackNext),
        {Do::Click(550), Do::Click(551), Do::Click(553), Do::Click(555)},
        NextTo(104, kBackFinish),
        BackTo(103, kBackNext),
        Boxes("111101"), // as they were left
        {Do::Next(), Do::Finish()},
    });
    EXPECT_NE(0, Play({&licence_, &modules_, &userDetails_}, script));
    const BYTE expected[6] = {1, 1, 1, 1, 0, 1};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(expected[i], context_.selected[i]) << "module " << i;
    EXPECT_FALSE(IsModuleSelected("news"));
}

namespace {

// Page 105 with a probe behind its Browse button (703): a palette change sent to the page
// while the user looks at it, and what the page made of it.
class PaletteProbePage : public WizardPage {
  public:
    PaletteProbePage() : WizardPage(105, nullptr) {}
    bool OnCommand(UINT code, UINT id, HWND control) override;
    bool probed = false;
};

#ifdef _WIN32
// Whether a repaint erases shows in the WM_ERASEBKGND messages that painting sends.
int g_erasures = 0;
WNDPROC g_pageProc = nullptr;

LRESULT CALLBACK CountingErasures(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND)
        ++g_erasures;
    return CallWindowProcA(g_pageProc, window, message, wParam, lParam);
}

bool PaletteProbePage::OnCommand(UINT, UINT id, HWND) {
    if (id != 703)
        return false;
    probed = true;
    HWND page = Window();
    g_pageProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(page, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingErasures)));
    UpdateWindow(page);
    g_erasures = 0;
    RECT update = {};
    EXPECT_FALSE(GetUpdateRect(page, &update, FALSE));

    SendMessageA(page, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(GetDesktopWindow()), 0);
    RECT client;
    GetClientRect(page, &client);
    EXPECT_TRUE(GetUpdateRect(page, &update, FALSE));
    EXPECT_EQ(client.right, update.right);
    EXPECT_EQ(client.bottom, update.bottom);
    UpdateWindow(page);
    EXPECT_EQ(0, g_erasures);
    // The same repaint with erasing asked for shows what the count would catch.
    InvalidateRect(page, nullptr, TRUE);
    UpdateWindow(page);
    EXPECT_EQ(1, g_erasures);
    SetWindowLongPtrA(page, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_pageProc));
    return true;
}
#else
// The emulation logs invalidations with their erase flag.
bool PaletteProbePage::OnCommand(UINT, UINT id, HWND) {
    if (id != 703)
        return false;
    probed = true;
    hostemu::ClearDrawingLog();
    SendMessageA(Window(), WM_PALETTECHANGED, reinterpret_cast<WPARAM>(GetDesktopWindow()), 0);
    EXPECT_EQ("InvalidateRect child dialog all erase 0\n", hostemu::DrawingLog());
    return true;
}
#endif

} // namespace

TEST_F(WizardFlow, APaletteChangeRepaintsTheWholePageWithoutErasingIt) {
    PaletteProbePage page;
    EXPECT_NE(0, Play({&page}, {Do::Click(703), Do::Finish()}));
    EXPECT_TRUE(page.probed);
}
