// The files-in-use dialog's template: every control inside the client area and none over
// another, at the usual density and, on the emulation, half as dense again.
#include <vector>

#include "driver/files_in_use_dialog.h"
#include "tests/support/test_world.h"
#ifndef _WIN32
#include "platform/host/emulation.h"
#endif

namespace {

class FilesInUseDialog : public TestWorld {
  protected:
    void CheckLayout() {
        HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr),
                                         MAKEINTRESOURCEA(kFilesInUseDialog), nullptr, nullptr, 0);
        ASSERT_NE(nullptr, dialog);
        // In screen co-ordinates: the dialog's outline holds every control.
        RECT client;
        GetWindowRect(dialog, &client);
        std::vector<RECT> placed;
        for (int id : {kFilesInUseText, kFilesInUseNames, kClosePrograms, IDRETRY, IDCANCEL}) {
            HWND control = GetDlgItem(dialog, id);
            ASSERT_NE(nullptr, control) << id;
            RECT r;
            GetWindowRect(control, &r);
            EXPECT_TRUE(r.left > client.left && r.top > client.top && r.right < client.right &&
                        r.bottom < client.bottom)
                << id;
            EXPECT_LT(r.left, r.right);
            for (const RECT& other : placed) {
                const bool apart = r.right <= other.left || other.right <= r.left ||
                                   r.bottom <= other.top || other.bottom <= r.top;
                EXPECT_TRUE(apart) << id;
            }
            placed.push_back(r);
        }
        DestroyWindow(dialog);
    }
};

} // namespace

TEST_F(FilesInUseDialog, ControlsFitTheirDialog) {
    CheckLayout();
}

#ifndef _WIN32
TEST_F(FilesInUseDialog, ControlsFitTheirDialogAt144Dpi_HostOnly) {
    hostemu::SetDisplayDpi(144);
    CheckLayout();
}
#endif
