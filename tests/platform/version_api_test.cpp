// GetVersionExA as Windows answers it: the size field must name one of the two structures.
#include <cstring>

#include "tests/support/test_world.h"

namespace {

class VersionApi : public TestWorld {};

// Calls GetVersionExA with `size` in the size field of a structure filled with 0xCC.
BOOL QueryWithSize(DWORD size, OSVERSIONINFOEXA& info) {
    std::memset(&info, 0xCC, sizeof info);
    info.dwOSVersionInfoSize = size;
    return GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info));
}

} // namespace

TEST_F(VersionApi, AcceptsOnlyTheSizesOfTheTwoStructures) {
    OSVERSIONINFOEXA info;
    EXPECT_TRUE(QueryWithSize(sizeof(OSVERSIONINFOA), info));
    EXPECT_EQ(static_cast<DWORD>(VER_PLATFORM_WIN32_NT), info.dwPlatformId);
    EXPECT_GE(info.dwMajorVersion, 4u);
    EXPECT_LT(std::strlen(info.szCSDVersion), sizeof info.szCSDVersion);
    // The short structure ends at the service-pack text: nothing after it is written.
    EXPECT_EQ(0xCCCCu, info.wServicePackMajor);

    EXPECT_TRUE(QueryWithSize(sizeof(OSVERSIONINFOEXA), info));
    EXPECT_EQ(static_cast<DWORD>(VER_PLATFORM_WIN32_NT), info.dwPlatformId);
    EXPECT_EQ(VER_NT_WORKSTATION, info.wProductType);

    const DWORD wrongSizes[] = {0, sizeof(OSVERSIONINFOA) - 1, sizeof(OSVERSIONINFOA) + 1, 1000};
    for (DWORD size : wrongSizes) {
        SetLastError(0);
        EXPECT_FALSE(QueryWithSize(size, info)) << size;
        EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError()) << size;
        EXPECT_EQ(0xCCCCCCCCu, info.dwPlatformId) << size;
    }
}

TEST_F(VersionApi, Win9xFamilyRepeatsTheVersionInTheBuildNumber) {
    ASSERT_TRUE(UseWin9xFamily()) << "needs the 95 family (Wine in win98 mode)";
    OSVERSIONINFOEXA info;
    ASSERT_TRUE(QueryWithSize(sizeof(OSVERSIONINFOA), info));
    EXPECT_EQ(static_cast<DWORD>(VER_PLATFORM_WIN32_WINDOWS), info.dwPlatformId);
    EXPECT_EQ(4u, info.dwMajorVersion);
    EXPECT_EQ(info.dwMajorVersion, info.dwBuildNumber >> 24);
    EXPECT_EQ(info.dwMinorVersion, (info.dwBuildNumber >> 16) & 0xFF);
}
