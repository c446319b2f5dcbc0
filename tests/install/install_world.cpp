#include "tests/install/install_world.h"

#include <vector>

const char kTestSessionManagerKey[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char kTestFileRenameKey[] =
    "System\\CurrentControlSet\\Control\\Session Manager\\FileRenameOperations";
const char kTestPendingValue[] = "PendingFileRenameOperations";
const WCHAR kTestPendingWideValue[] = L"PendingFileRenameOperations";
const char kTestFindGroupKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer\\FindExtensions\\Quillos";

bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeFolders(const std::string& path) {
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
    return PathExists(path);
}

std::string WindowsFolder() {
    char buffer[MAX_PATH];
    GetWindowsDirectoryA(buffer, MAX_PATH);
    return buffer;
}

std::string SystemFolder() {
    char buffer[MAX_PATH];
    GetSystemDirectoryA(buffer, MAX_PATH);
    return buffer;
}

std::string JoinedPath(std::string folder, const std::string& name) {
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
    return folder + name;
}

std::string ShortPath(const std::string& path) {
    char buffer[MAX_PATH];
    DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(buffer, length);
}

bool ReadPendingList(std::string& data, DWORD* type, bool wide) {
    data.clear();
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTestSessionManagerKey, 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    DWORD valueType = REG_NONE;
    auto query = [&](BYTE* bytes) {
        return wide
                   ? RegQueryValueExW(key, kTestPendingWideValue, nullptr, &valueType, bytes, &size)
                   : RegQueryValueExA(key, kTestPendingValue, nullptr, &valueType, bytes, &size);
    };
    LONG result = query(nullptr);
    if (result == ERROR_SUCCESS) {
        std::vector<BYTE> bytes(size + 1);
        result = query(bytes.data());
        data.assign(reinterpret_cast<const char*>(bytes.data()), size);
    }
    RegCloseKey(key);
    if (type)
        *type = valueType;
    return result == ERROR_SUCCESS;
}

void WritePendingList(const std::string& data, DWORD type, bool wide) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kTestSessionManagerKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    const BYTE* bytes = reinterpret_cast<const BYTE*>(data.data());
    DWORD size = static_cast<DWORD>(data.size());
    if (wide)
        RegSetValueExW(key, kTestPendingWideValue, 0, type, bytes, size);
    else
        RegSetValueExA(key, kTestPendingValue, 0, type, bytes, size);
    RegCloseKey(key);
}

bool ReadWidePendingList(std::wstring& list) {
    std::string bytes;
    bool read = ReadPendingList(bytes, nullptr, true);
    list.assign(reinterpret_cast<const WCHAR*>(bytes.data()), bytes.size() / sizeof(WCHAR));
    return read && bytes.size() % sizeof(WCHAR) == 0;
}

void WriteWidePendingList(const std::wstring& list) {
    WritePendingList(
        std::string(reinterpret_cast<const char*>(list.data()), list.size() * sizeof(WCHAR)),
        REG_MULTI_SZ, true);
}

void DeletePendingList() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTestSessionManagerKey, 0, KEY_ALL_ACCESS, &key) !=
        ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, kTestPendingValue);
    RegCloseKey(key);
}

void InstallWorld::SetUp() {
    TestWorld::SetUp();
    hadPendingList_ = ReadPendingList(pendingList_, &pendingType_, true);
    DeletePendingList();
    std::string wininit = JoinedPath(WindowsFolder(), "wininit.ini");
    hadWininit_ = ReadTestFile(wininit, wininit_);
    DeleteFileA(wininit.c_str());
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, kTestFileRenameKey);
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, kTestFindGroupKey);
}

void InstallWorld::TearDown() {
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, kTestFindGroupKey);
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, kTestFileRenameKey);
    std::string wininit = JoinedPath(WindowsFolder(), "wininit.ini");
    if (hadWininit_)
        WriteTestFile(wininit, wininit_);
    else
        DeleteFileA(wininit.c_str());
    if (hadPendingList_)
        WritePendingList(pendingList_, pendingType_, true);
    else
        DeletePendingList();
    TestWorld::TearDown();
}
