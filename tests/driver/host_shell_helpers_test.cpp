// Desktop links and the folder picker where only the emulation can set the scene: a scripted
// user, a desktop folder of any length, a link object that fails.
#include <cstdio>
#include <cstring>
#include <string>

#include "driver/catalogue.h"
#include "driver/setup_context.h"
#include "driver/shell_helpers.h"
#include "platform/host/emulation.h"
#include "tests/install/install_world.h"

namespace {

using namespace std::string_literals;

class HostShellHelpers : public InstallWorld {
  protected:
    void InstallAll(SetupContext& context) {
        for (DWORD i = 0; i < context.moduleCount; ++i) {
            std::string folder = ScratchPath(kProductCatalogue[i].productName);
            ASSERT_TRUE(MakeFolders(folder));
            context.modules[i].installPath.reset(new char[MAX_PATH]);
            std::snprintf(context.modules[i].installPath.get(), MAX_PATH, "%s", folder.c_str());
        }
    }
};

} // namespace

TEST_F(HostShellHelpers, ChosenFolderFillsTheBuffer_HostOnly) {
    hostemu::AnswerFolderPicker("C:\\Program Files\\Quillo");
    char buffer[MAX_PATH] = "C:\\Before";
    HWND owner = reinterpret_cast<HWND>(0x1234);
    EXPECT_TRUE(BrowseForFolder(buffer, owner));
    EXPECT_STREQ("C:\\Program Files\\Quillo", buffer);
    hostemu::FolderPickerRequest request = hostemu::LastFolderPicker();
    EXPECT_EQ(owner, request.owner);
    EXPECT_EQ(static_cast<UINT>(BIF_RETURNONLYFSDIRS), request.flags);
    EXPECT_FALSE(request.hadRoot);
    EXPECT_EQ("", request.title);
    EXPECT_FALSE(request.hadCallback);
}

TEST_F(HostShellHelpers, CancelledPickerAnswersFalse_HostOnly) {
    hostemu::AnswerFolderPicker(nullptr);
    char buffer[MAX_PATH] = "C:\\Before";
    EXPECT_FALSE(BrowseForFolder(buffer, nullptr));
    EXPECT_STREQ("C:\\Before", buffer);
    EXPECT_EQ(1u, hostemu::FolderPickersShown());
}

TEST_F(HostShellHelpers, DesktopTooLongForALinkNameSkipsOnlyThatLink_HostOnly) {
    // 245 characters: "\WebQuillo.LNK" and "\IRCQuillo.LNK" still fit in MAX_PATH with the
    // zero, the longer product names do not.
    std::string desktop = "C:\\" + std::string(120, 'D') + "\\" + std::string(245 - 124, 'E');
    ASSERT_EQ(245u, desktop.size());
    hostemu::SetDesktopDirectory(desktop.c_str());
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    InstallAll(context);
    CreateDesktopShortcuts(context);
    for (DWORD i = 0; i < context.moduleCount; ++i) {
        std::string link = desktop + "\\" + kProductCatalogue[i].productName + ".LNK";
        bool fits = link.size() < MAX_PATH;
        EXPECT_EQ(fits, i == 0 || i == 5) << i;
        if (fits) {
            EXPECT_TRUE(FileExists(link)) << i;
        }
    }
    std::string listing = hostemu::ListFiles();
    EXPECT_EQ(std::string::npos, listing.find("Quillo.LN ")) << "no cut-off link name";
}

TEST_F(HostShellHelpers, FailingLinkObjectSavesNothing_HostOnly) {
    const std::string link = ScratchPath("Web.LNK");
    hostemu::FailCall("CoCreateInstance", ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_FALSE(CreateShortcut("C:\\x.exe", link.c_str(), "Web"));
    hostemu::ClearFaults();
    hostemu::FailCall("IPersistFile::Save", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(CreateShortcut("C:\\x.exe", link.c_str(), "Web"));
    EXPECT_FALSE(FileExists(link));
    hostemu::ClearFaults();
    EXPECT_TRUE(CreateShortcut("C:\\x.exe", link.c_str(), "Web"));
    EXPECT_EQ(hostemu::CallCount("CoInitialize"), hostemu::CallCount("CoUninitialize"));
}

TEST_F(HostShellHelpers, MissingDesktopMakesNoLinks_HostOnly) {
    hostemu::FailCall("SHGetSpecialFolderLocation", ERROR_FILE_NOT_FOUND);
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    InstallAll(context);
    CreateDesktopShortcuts(context);
    EXPECT_EQ(0u, hostemu::CallCount("CoCreateInstance"));
}

namespace {
int g_commands = 0;
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM first, LPARAM second) {
    if (message == WM_COMMAND)
        ++g_commands;
    return DefWindowProcA(window, message, first, second);
}
} // namespace

// Wine's desktop under a display server keeps a "Shell_TrayWnd" of its own, so the case without
// a taskbar is pinned on the emulation only: another window is there to receive a stray command.
TEST_F(HostShellHelpers, WithoutATaskbarNoWindowIsSentTheRefresh_HostOnly) {
    g_commands = 0;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = CountingProc;
    for (const char* name : {"NetQuilloTestWindow", "Shell_TrayWnd"}) {
        windowClass.lpszClassName = name;
        ASSERT_NE(0, RegisterClassA(&windowClass));
    }
    HWND other = CreateWindowExA(0, "NetQuilloTestWindow", "", WS_POPUP, 0, 0, 1, 1, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, other);
    NotifyTaskbar();
    EXPECT_EQ(0, g_commands);
    HWND taskbar = CreateWindowExA(0, "Shell_TrayWnd", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                   nullptr, nullptr);
    NotifyTaskbar();
    EXPECT_EQ(1, g_commands) << "the counting window does receive the refresh";
    DestroyWindow(taskbar);
    DestroyWindow(other);
}

TEST_F(HostShellHelpers, OnlyASuccessfulInitialisationIsBalanced_HostOnly) {
    const std::string link = ScratchPath("Web.LNK");
    hostemu::FailCall("CoInitialize", ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_FALSE(CreateShortcut("C:\\x.exe", link.c_str(), "Web"));
    EXPECT_EQ(0u, hostemu::CallCount("CoUninitialize"));
    hostemu::ClearFaults();
    // The caller's own initialisation stays in force after the link's balanced pair.
    ASSERT_EQ(S_OK, CoInitialize(nullptr));
    EXPECT_TRUE(CreateShortcut("C:\\x.exe", link.c_str(), "Web"));
    EXPECT_EQ(hostemu::CallCount("CoInitialize") - 2, hostemu::CallCount("CoUninitialize"));
    EXPECT_EQ(S_FALSE, CoInitialize(nullptr));
    CoUninitialize();
    CoUninitialize();
}

TEST_F(HostShellHelpers, FailedVersionQueryReadsAsNtFamily_HostOnly) {
    UseWin9xFamily();
    hostemu::FailCall("GetVersionExA", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(IsWin9xPlatform());
}
