#include "tests/install/install_test_support.h"

#include "payloads/payload_files.h"

std::string PayloadSource(const std::string& name) {
    std::string bytes;
    EXPECT_TRUE(ReadBuildFile(std::string(NQ_PAYLOAD_FILES_DIR) + name, bytes)) << name;
    return bytes;
}

std::set<std::string> FolderNames(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA data;
    std::string pattern = folder;
    if (pattern.empty() || pattern.back() != '\\')
        pattern += '\\';
    HANDLE search = FindFirstFileA((pattern + "*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = data.cFileName;
        if (name != "." && name != "..")
            names.insert(name);
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return names;
}

std::string TempFolder() {
    char folder[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, folder);
    return length > 0 && length < MAX_PATH ? folder : "";
}

std::string WindowsFolderFile(const char* name) {
    char folder[MAX_PATH];
    GetWindowsDirectoryA(folder, MAX_PATH);
    std::string path = folder;
    if (path.back() != '\\')
        path += '\\';
    return path + name;
}

std::string SystemFolderFile(const char* name) {
    char folder[MAX_PATH];
    GetSystemDirectoryA(folder, MAX_PATH);
    std::string path = folder;
    if (path.back() != '\\')
        path += '\\';
    return path + name;
}
