#include <cstdio>
#include <string>

#include "driver/catalogue.h"
#include "driver/setup_context.h"
#include "driver/shell_helpers.h"
#include "tests/install/install_world.h"

namespace {

using namespace std::string_literals;

std::string DesktopFolder() {
    LPITEMIDLIST items = nullptr;
    char path[MAX_PATH] = "";
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &items))) {
        SHGetPathFromIDListA(items, path);
        CoTaskMemFree(items);
    }
    return path;
}

// What a saved link holds, read back through the shell's own link object.
struct LinkContents {
    bool loaded = false;
    std::string target;
    std::string description;
};

LinkContents ReadLink(const std::string& path) {
    LinkContents contents;
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            WCHAR wide[MAX_PATH];
            MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
            if (SUCCEEDED(file->Load(wide, STGM_READ))) {
                contents.loaded = true;
                char text[MAX_PATH] = "";
                link->GetPath(text, MAX_PATH, nullptr, 0);
                contents.target = text;
                text[0] = '\0';
                link->GetDescription(text, MAX_PATH);
                contents.description = text;
            }
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return contents;
}

class DesktopLinksTest : public InstallWorld {
  protected:
    void SetUp() override {
        InstallWorld::SetUp();
        desktop_ = DesktopFolder();
        ASSERT_FALSE(desktop_.empty());
        RemoveLinks();
    }
    void TearDown() override {
        RemoveLinks();
        InstallWorld::TearDown();
    }
    std::string LinkPath(DWORD module) const {
        return JoinedPath(desktop_, kProductCatalogue[module].productName + ".LNK"s);
    }
    void RemoveLinks() {
        for (DWORD i = 0; i < kCatalogueRowCount; ++i)
            DeleteFileA(LinkPath(i).c_str());
    }
    // Each selected module installed into C:\NQTest\<product name>.
    void Install(SetupContext& context) {
        for (DWORD i = 0; i < context.moduleCount; ++i) {
            if (!context.selected[i])
                continue;
            std::string folder = JoinedPath(kScratchFolder, kProductCatalogue[i].productName);
            ASSERT_TRUE(MakeFolders(folder));
            context.modules[i].installPath.reset(new char[MAX_PATH]);
            std::snprintf(context.modules[i].installPath.get(), MAX_PATH, "%s", folder.c_str());
            ASSERT_TRUE(WriteTestFile(ProgramPath(i), "program"));
        }
    }
    static std::string ProgramPath(DWORD module) {
        return JoinedPath(JoinedPath(kScratchFolder, kProductCatalogue[module].productName),
                          kProductCatalogue[module].programFile);
    }

    std::string desktop_;
};

} // namespace

TEST_F(DesktopLinksTest, OneLinkPerSelectedModuleWithTargetAndDescription) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    for (DWORD i = 0; i < context.moduleCount; ++i)
        context.selected[i] = i == 0 || i == 2 || i == 5;
    Install(context);
    // An older link of the same name gives way.
    ASSERT_TRUE(WriteTestFile(LinkPath(0), "not a link at all"));

    CreateDesktopShortcuts(context);

    for (DWORD i = 0; i < context.moduleCount; ++i) {
        LinkContents link = ReadLink(LinkPath(i));
        if (!context.selected[i]) {
            EXPECT_FALSE(PathExists(LinkPath(i))) << i;
            continue;
        }
        ASSERT_TRUE(link.loaded) << i;
        EXPECT_EQ(ProgramPath(i), link.target);
        EXPECT_EQ(kProductCatalogue[i].productName, link.description);
    }
}

TEST_F(DesktopLinksTest, NoSelectedModuleMakesNoLink) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    for (DWORD i = 0; i < context.moduleCount; ++i)
        context.selected[i] = 0;
    CreateDesktopShortcuts(context);
    for (DWORD i = 0; i < kCatalogueRowCount; ++i)
        EXPECT_FALSE(PathExists(LinkPath(i))) << i;
}

TEST_F(DesktopLinksTest, ShortcutAnswersWhetherTheLinkWasSaved) {
    const std::string target = JoinedPath(kScratchFolder, "Target.exe");
    ASSERT_TRUE(WriteTestFile(target, "program"));
    const std::string link = JoinedPath(kScratchFolder, "Saved.LNK");
    EXPECT_TRUE(CreateShortcut(target.c_str(), link.c_str(), "Saved"));
    EXPECT_EQ("Saved", ReadLink(link).description);
    EXPECT_FALSE(CreateShortcut(target.c_str(),
                                JoinedPath(kScratchFolder, "No Folder\\x.LNK").c_str(), "Lost"));
    // The library is initialised by the caller here: the link must not end that.
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    EXPECT_TRUE(CreateShortcut(target.c_str(), link.c_str(), "Again"));
    IShellLinkA* still = nullptr;
    EXPECT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkA, reinterpret_cast<void**>(&still))));
    if (still)
        still->Release();
    CoUninitialize();
}
