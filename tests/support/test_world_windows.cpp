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

} // namespace

void TestWorld::SetUp() { ClearTestKeys(); }

void TestWorld::TearDown() { ClearTestKeys(); }

bool UseWin9xFamily() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}
