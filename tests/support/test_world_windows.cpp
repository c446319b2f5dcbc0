#include <string>

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
    {HKEY_CURRENT_USER, "Software\\Netscape"},
    {HKEY_CURRENT_USER, kScratchKey},
};

// What the install actions register outside the suite's own keys, for every module.
void ClearInstallActionKeys() {
    const std::string group =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer\\FindExtensions\\Quillos";
    const std::string uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    const char* products[] = {"WebQuillo",  "EmailQuillo", "PhoneQuillo",
                              "FileQuillo", "NewsQuillo",  "IRCQuillo"};
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, group.c_str());
    for (const char* product : products) {
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, (uninstall + product).c_str());
        DeleteRegistryTree(HKEY_CLASSES_ROOT, (std::string(".") + product + "Search").c_str());
        DeleteRegistryTree(HKEY_CLASSES_ROOT, (std::string(product) + "SearchFile").c_str());
    }
    const char* testClasses[] = {".NetQuilloTestType", "NetQuilloTestTypeFile",
                                 "NetQuilloTestOther"};
    for (const char* name : testClasses)
        DeleteRegistryTree(HKEY_CLASSES_ROOT, name);
    DeleteRegistryTree(HKEY_CLASSES_ROOT, "CLSID\\{fe7634c0-f7b3-11cf-b9b4-444553540000}");
    HKEY approved;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved",
                      0, KEY_SET_VALUE, &approved) == ERROR_SUCCESS) {
        RegDeleteValueA(approved, "{fe7634c0-f7b3-11cf-b9b4-444553540000}");
        RegCloseKey(approved);
    }
}

void ClearTestKeys() {
    for (const TestKey& key : kTestKeys)
        DeleteRegistryTree(key.root, key.path);
    ClearInstallActionKeys();
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

bool ReadBuildFile(const std::string& path, std::string& bytes) {
    return ReadTestFile(path, bytes);
}
