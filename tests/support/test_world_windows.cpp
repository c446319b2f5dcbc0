#include "tests/support/test_world.h"

namespace {

// Every key a test may leave behind, children before parents.
struct TestKey {
    HKEY root;
    const char* path;
};
const TestKey kTestKeys[] = {
    {HKEY_CURRENT_USER, "Software\\QuilloSoft"},
    {HKEY_CURRENT_USER, "Software\\Delvane"},
    {HKEY_CURRENT_USER, kScratchKey},
};

void ClearTestKeys() {
    for (const TestKey& key : kTestKeys)
        DeleteRegistryTree(key.root, key.path);
}

// Files the install actions put outside the scratch folder, in the Windows and System folders.
const char* const kWindowsFolderFiles[] = {
    "WebQuilloUninstall.exe",  "EmailQuilloUninstall.exe", "PhoneQuilloUninstall.exe",
    "FileQuilloUninstall.exe", "NewsQuilloUninstall.exe",  "IRCQuilloUninstall.exe",
};

void ClearTestFiles() {
    DeleteFolderTree(kScratchFolder);
    char folder[MAX_PATH];
    if (GetWindowsDirectoryA(folder, MAX_PATH)) {
        for (const char* name : kWindowsFolderFiles)
            DeleteFileA((std::string(folder) + "\\" + name).c_str());
    }
    if (GetSystemDirectoryA(folder, MAX_PATH))
        DeleteFileA((std::string(folder) + "\\NetQuillo.dll").c_str());
}

} // namespace

void TestWorld::SetUp() {
    ClearTestKeys();
    ClearTestFiles();
    CreateDirectoryA(kScratchFolder, nullptr);
}

void TestWorld::TearDown() {
    ClearTestKeys();
    ClearTestFiles();
}

bool UseWin9xFamily() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}
