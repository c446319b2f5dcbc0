// Finding and loading resources of the program's own image, on both platforms: the host build
// reads the same compiled resources that the Windows test program carries.
#include <cstring>

#include "tests/support/test_world.h"

namespace {
class ResourceApi : public TestWorld {};
} // namespace

TEST_F(ResourceApi, FindsLoadsAndSizesAResource) {
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(130), RT_DIALOG);
    ASSERT_NE(nullptr, resource);
    HGLOBAL loaded = LoadResource(nullptr, resource);
    ASSERT_NE(nullptr, loaded);
    const BYTE* data = static_cast<const BYTE*>(LockResource(loaded));
    ASSERT_NE(nullptr, data);
    DWORD size = SizeofResource(nullptr, resource);
    EXPECT_GT(size, 18u);
    // A classic template: the style's low word first, then DS_MODALFRAME's bits and a popup.
    DWORD style;
    std::memcpy(&style, data, sizeof style);
    EXPECT_EQ(static_cast<DWORD>(WS_POPUP), style & WS_POPUP);
    FreeResource(loaded);
    // The same resource through its own module handle.
    EXPECT_EQ(resource,
              FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(130), MAKEINTRESOURCEA(5)));
}

TEST_F(ResourceApi, MissingNamesAndTypesAreToldApart) {
    SetLastError(0);
    EXPECT_EQ(nullptr, FindResourceA(nullptr, MAKEINTRESOURCEA(5004), RT_DIALOG));
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND), GetLastError());
    EXPECT_EQ(nullptr, FindResourceA(nullptr, MAKEINTRESOURCEA(130), "NOSUCHTYPE"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND), GetLastError());
    // "#130" names the number 130.
    EXPECT_NE(nullptr, FindResourceA(nullptr, "#130", RT_DIALOG));
}
