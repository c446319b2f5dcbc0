// The wizard as a user goes through it: buttons, jumps, cancelling and the module page.
#include <string>
#include <vector>

#include "driver/setup_context.h"
#include "tests/support/test_world.h"
#ifndef _WIN32
#include "platform/host/emulation.h"
#endif
#include "tests/wizard/wizard_user.h"
#include "wizard/licence_page.h"
#include "wizard/module_page.h"
#include "wizard/wizard_sheet.h"

namespace {

// A page that asks for a jump on Next or Back, and counts how often it became active.
class JumpingPage : public WizardPage {
  public:
    JumpingPage(int templateId, int nextPage, int backPage)
        : WizardPage(templateId, nullptr), nextPage_(nextPage), backPage_(backPage) {}
    int GetNextPage() override { return nextPage_; }
    int GetBackPage() override { return backPage_; }
    int OnSetActive() override {
        ++activations;
        return 0;
    }
    int activations = 0;

  private:
    int nextPage_;
    int backPage_;
};

class WizardFlow : public TestWorld {
  protected:
    // The wizard over `pages`, as the install sequence runs it.
    INT_PTR Run(const std::vector<DialogPage*>& pages, WizardUser& user) {
        WizardSheet sheet(nullptr, "NetQuillo Installation");
        for (DialogPage* page : pages)
            sheet.AddPage(page);
        return user.Run(sheet);
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
    std::vector<DialogPage*> seven = {&licence_, &notice_,     &modules_, &userDetails_,
                                      &options_, &newsServer_, &proxy_};
    WizardUser user(seven);
    for (int i = 0; i < 6; ++i)
        user.LookAtPage().Press(PSBTN_NEXT);
    user.LookAtPage().Press(PSBTN_FINISH);
    EXPECT_NE(0, Run(seven, user));
    EXPECT_EQ("page 101: next\n"
              "page 102: back next\n"
              "page 103: back next\n"
              "page 104: back next\n"
              "page 105: back next\n"
              "page 107: back next\n"
              "page 106: back finish\n",
              user.Transcript());

    LicencePage licence(nullptr);
    ModulePage modules(nullptr, context_.moduleCount, context_.selected.get());
    WizardPage userDetails(104, nullptr), options(105, nullptr), newsServer(107, nullptr),
        proxy(106, nullptr);
    std::vector<DialogPage*> six = {&licence, &modules,    &userDetails,
                                    &options, &newsServer, &proxy};
    WizardUser sixUser(six);
    for (int i = 0; i < 5; ++i)
        sixUser.LookAtPage().Press(PSBTN_NEXT);
    sixUser.LookAtPage().Press(PSBTN_FINISH);
    EXPECT_NE(0, Run(six, sixUser));
    EXPECT_EQ("page 101: next\n"
              "page 103: back next\n"
              "page 104: back next\n"
              "page 105: back next\n"
              "page 107: back next\n"
              "page 106: back finish\n",
              sixUser.Transcript());

    LicencePage alone(nullptr);
    WizardUser singleUser({&alone});
    singleUser.LookAtPage().Press(PSBTN_FINISH);
    EXPECT_NE(0, Run({&alone}, singleUser));
    EXPECT_EQ("page 101: finish\n", singleUser.Transcript());
}

TEST_F(WizardFlow, AJumpLandsOnThePageWithThatDialogIdAndNoFurther) {
    JumpingPage first(101, 105, 0);
    JumpingPage skipped(103, 0, 0);
    JumpingPage alsoSkipped(104, 0, 0);
    JumpingPage target(105, 0, 103);
    JumpingPage last(106, 0, 0);
    std::vector<DialogPage*> pages = {&first, &skipped, &alsoSkipped, &target, &last};
    WizardUser user(pages);
    user.Press(PSBTN_NEXT).LookAtPage().Press(PSBTN_BACK).LookAtPage().Press(PSBTN_BACK);
    user.LookAtPage().Press(PSBTN_NEXT).LookAtPage().Press(PSBTN_NEXT).LookAtPage();
    user.Press(PSBTN_FINISH);
    EXPECT_NE(0, Run(pages, user));
    EXPECT_EQ("page 105: back next\n"
              "page 103: back next\n"
              "page 101: next\n"
              "page 105: back next\n"
              "page 106: back finish\n",
              user.Transcript());
    EXPECT_EQ(1, skipped.activations);
    EXPECT_EQ(0, alsoSkipped.activations);
    EXPECT_EQ(2, target.activations);
}

TEST_F(WizardFlow, CancelAnsweredNoKeepsPageAndEntriesAndYesEndsTheWizardWithZero) {
    std::vector<DialogPage*> pages = {&licence_, &modules_, &userDetails_};
    WizardUser user(pages);
    user.Press(PSBTN_NEXT).Click(554).Press(PSBTN_CANCEL).LookAtMessage().Answer(IDNO);
    user.LookAtPage().LookAtBoxes(550, 555).Press(PSBTN_CANCEL).Answer(IDYES);
    EXPECT_EQ(0, Run(pages, user));
    EXPECT_EQ("message \"Are you sure you wish to cancel the installation?\" caption \"NetQuillo "
              "Installation\"\n"
              "page 103: back next\n"
              "boxes 550-555: 111101\n",
              user.Transcript());
}

TEST_F(WizardFlow, ModulePageKeepsNextOffWhileNoBoxIsCheckedAndWritesTheFlagsWhenLeft) {
    std::vector<DialogPage*> pages = {&licence_, &modules_, &userDetails_};
    WizardUser user(pages);
    user.Press(PSBTN_NEXT).LookAtPage().LookAtBoxes(550, 555);
    user.Click(550).Click(551).Click(552).Click(553).Click(554).LookAtPage();
    user.Click(555).LookAtPage().Click(552).LookAtPage();
    user.Click(550).Click(551).Click(553).Click(555).LookAtBoxes(550, 555);
    user.Press(PSBTN_NEXT).LookAtPage().Do([this](HWND) {
        EXPECT_EQ(0, context_.selected[4]);
        EXPECT_EQ(5u, CountSelectedModules());
    });
    user.Press(PSBTN_BACK).LookAtPage().LookAtBoxes(550, 555);
    user.Press(PSBTN_NEXT).Press(PSBTN_FINISH);
    EXPECT_NE(0, Run(pages, user));
    EXPECT_EQ("page 103: back next\n"
              "boxes 550-555: 111111\n"
              "page 103: back next\n"
              "page 103: back\n"
              "page 103: back next\n"
              "boxes 550-555: 111101\n"
              "page 104: back finish\n"
              "page 103: back next\n"
              "boxes 550-555: 111101\n",
              user.Transcript());
    const BYTE expected[6] = {1, 1, 1, 1, 0, 1};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(expected[i], context_.selected[i]) << "module " << i;
    EXPECT_FALSE(IsModuleSelected("news"));
}

#ifdef _WIN32
// Whether a repaint erases shows in the WM_ERASEBKGND messages that painting sends.
namespace {

int g_erasures = 0;
WNDPROC g_pageProc = nullptr;

LRESULT CALLBACK CountingErasures(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND)
        ++g_erasures;
    return CallWindowProcA(g_pageProc, window, message, wParam, lParam);
}

} // namespace

TEST_F(WizardFlow, APaletteChangeRepaintsTheWholePageWithoutErasingIt) {
    std::vector<DialogPage*> pages = {&licence_};
    WizardUser user(pages);
    user.Do([](HWND page) {
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
    });
    user.Press(PSBTN_FINISH);
    EXPECT_NE(0, Run(pages, user));
    EXPECT_EQ("", user.Transcript());
}
#else
TEST_F(WizardFlow, APaletteChangeRepaintsTheWholePageWithoutErasingIt_HostOnly) {
    std::vector<DialogPage*> pages = {&licence_};
    WizardUser user(pages);
    std::string drawn;
    user.Do([&drawn](HWND page) {
        hostemu::ClearDrawingLog();
        SendMessageA(page, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(GetDesktopWindow()), 0);
        drawn = hostemu::DrawingLog();
    });
    user.Press(PSBTN_FINISH);
    EXPECT_NE(0, Run(pages, user));
    EXPECT_EQ("", user.Transcript());
    EXPECT_EQ("InvalidateRect child dialog all erase 0\n", drawn);
}
#endif
