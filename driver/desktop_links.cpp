#include <cstring>

#include "driver/setup_context.h"
#include "driver/shell_helpers.h"
#include "driver/string_helpers.h"
#include "driver/user_folders.h"

namespace {

const char kLinkExtension[] = ".LNK";

// The link's path: desktop, product name and ".LNK"; false when it would not fit.
bool LinkPath(const char* desktop, const char* productName, char (&path)[MAX_PATH]) {
    return CopyString(path, desktop, sizeof path) && JoinPath(path, productName) &&
           std::strlen(path) + sizeof kLinkExtension <= sizeof path &&
           std::strcat(path, kLinkExtension) != nullptr;
}

} // namespace

bool DesktopLinkPath(HWND owner, const char* productName, char (&path)[MAX_PATH]) {
    char desktop[MAX_PATH];
    return productName != nullptr && DesktopFolder(owner, desktop) &&
           LinkPath(desktop, productName, path);
}

void CreateDesktopShortcuts(SetupContext& context) {
    for (DWORD i = 0; i < context.moduleCount; ++i) {
        if (!context.selected[i])
            continue;
        char desktop[MAX_PATH];
        if (!DesktopFolder(context.backdropWindow, desktop))
            continue;
        const ModuleRow& row = context.modules[i];
        char link[MAX_PATH];
        // A desktop path too long for the link's name costs that link, never a cut-off name.
        if (!LinkPath(desktop, row.productName.get(), link))
            continue;
        const char* target = ModuleFilePath(i, row.programFile.get());
        if (*target == '\0')
            continue;
        CreateShortcut(target, link, row.productName.get());
    }
}

bool CreateShortcut(const char* targetPath, const char* linkPath, const char* description) {
    // The caller may or may not have the library initialised; each link balances its own.
    bool initialised = SUCCEEDED(CoInitialize(nullptr));
    IShellLinkA* link = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkA, reinterpret_cast<void**>(&link));
    if (SUCCEEDED(result)) {
        IPersistFile* file = nullptr;
        result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
        if (SUCCEEDED(result)) {
            WCHAR widePath[MAX_PATH];
            if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, MAX_PATH) == 0) {
                result = E_INVALIDARG;
            } else {
                link->SetPath(targetPath);
                link->SetDescription(description);
                result = file->Save(widePath, TRUE);
            }
            file->Release();
        }
        link->Release();
    }
    if (initialised)
        CoUninitialize();
    return SUCCEEDED(result);
}
