// The component library and shell calls behind desktop links and the folder picker.
#include "tests/support/test_world.h"

namespace {

class ShellApi : public TestWorld {};

// {00000000-0000-0000-0000-0000000000AB}: no interface anyone implements.
const IID kUnknownInterface = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0xAB}};

} // namespace

TEST_F(ShellApi, LinkObjectNeedsTheLibraryInitialised) {
    IShellLinkA* link = reinterpret_cast<IShellLinkA*>(1);
    EXPECT_EQ(CO_E_NOTINITIALIZED,
              CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                               reinterpret_cast<void**>(&link)));
    EXPECT_EQ(nullptr, link);

    EXPECT_EQ(S_OK, CoInitialize(nullptr));
    EXPECT_EQ(S_FALSE, CoInitialize(nullptr)) << "a second initialisation is counted";
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkA, reinterpret_cast<void**>(&link)));
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, link->QueryInterface(kUnknownInterface, &other));
    EXPECT_EQ(nullptr, other);
    char text[MAX_PATH] = "x";
    link->GetDescription(text, MAX_PATH);
    EXPECT_STREQ("", text) << "a new link has no description";
    link->Release();
    CoUninitialize();
    CoUninitialize();
}

TEST_F(ShellApi, DesktopIsTheRootItemListAndAFolderOfItsOwn) {
    LPITEMIDLIST items = nullptr;
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &items));
    ASSERT_NE(nullptr, items);
    EXPECT_EQ(0, items->mkid.cb) << "the namespace's root is the empty list";
    char path[MAX_PATH] = "";
    EXPECT_TRUE(SHGetPathFromIDListA(items, path));
    CoTaskMemFree(items);
    DWORD attributes = GetFileAttributesA(path);
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes) << path;
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
