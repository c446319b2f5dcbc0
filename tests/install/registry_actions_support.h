// Helpers for the tests of the registry's install actions: a run's selection and install
// folders, and reading single keys and values back through the API.
#pragma once

#include <initializer_list>
#include <string>

#include "driver/setup_context.h"
#include "driver/string_helpers.h"
#include "install/document_types.h"
#include "install/find_menu.h"
#include "registry/reg_key.h"
#include "tests/support/test_world.h"

// The Find-menu group, the uninstall list and the approval key under HKEY_LOCAL_MACHINE.
inline const std::string kGroup =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer\\FindExtensions\\Quillos";
inline const std::string kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline const std::string kApproved =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
inline const std::string kClassKey = "CLSID\\{fe7634c0-f7b3-11cf-b9b4-444553540000}";
inline const char kClassId[] = "{fe7634c0-f7b3-11cf-b9b4-444553540000}";

// Selects exactly `modules`, each installed into `base` + "\" + its product name.
inline void SelectModules(SetupContext& context, std::initializer_list<DWORD> modules,
                          const char* base = "C:\\Program Files\\QuilloSoft") {
    for (DWORD i = 0; i < context.moduleCount; ++i)
        context.selected[i] = 0;
    for (DWORD i : modules) {
        context.selected[i] = 1;
        std::string path = std::string(base) + "\\" + context.modules[i].productName.get();
        context.modules[i].installPath = DuplicateString(path.c_str());
    }
}

inline bool KeyExists(HKEY root, const std::string& path) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// A string value, "<none>" when the key or value is missing, "<type n>" for another type.
inline std::string StringValue(HKEY root, const std::string& path, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<none>";
    char data[2048];
    DWORD size = sizeof data - 1;
    DWORD type = REG_NONE;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return "<none>";
    if (type != REG_SZ)
        return "<type " + std::to_string(type) + ">";
    data[size] = '\0';
    return data;
}

// Creates `path` (and its parents) and, with a `name`, sets that string value.
inline void PutString(HKEY root, const std::string& path, const char* name = nullptr,
                      const char* text = nullptr) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    if (text)
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                       static_cast<DWORD>(std::string(text).size() + 1));
    RegCloseKey(key);
}

inline std::string SystemDirectory() {
    char buffer[MAX_PATH];
    GetSystemDirectoryA(buffer, MAX_PATH);
    return buffer;
}

// The suite key under HKEY_CURRENT_USER.
inline const std::string kSuiteKey = "Software\\QuilloSoft\\NetQuillo\\CurrentVersion";

// What an install writes into the registry for the context's selected modules.
inline void WriteInstallRegistry(SetupContext& context) {
    for (DWORD i = 0; i < context.moduleCount; ++i) {
        if (!context.selected[i])
            continue;
        RegKey module(context.modules[i].shortName.get());
        ASSERT_TRUE(module.Open(Module, nullptr, false));
        module.WriteString("Distributor", "Tests");
        std::string type = std::string(context.modules[i].productName.get()) + "Search";
        RegisterDocumentType(type.c_str(), "Search", "x.exe,-10000", "x.exe /load:%1");
    }
    RegKey updates("Web");
    ASSERT_TRUE(updates.Open(Updates, nullptr, false));
    updates.WriteString("User", "Tester");
    RegisterFindMenu(context);
    RegisterUninstallEntries(context);
}

// A type of the tests' own, so that nothing of the suite's is touched on a real system.
inline const char kType[] = "NetQuilloTestType";
inline const char kOtherClass[] = "NetQuilloTestOther";

inline void RegisterTestType() {
    RegisterDocumentType(kType, "Test Type", "C:\\Tools\\Test.exe,-10000",
                         "C:\\Tools\\Test.exe /load:%1");
}
