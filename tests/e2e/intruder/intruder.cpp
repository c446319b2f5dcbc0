// nq_intruder STOP-FILE LOG-FILE
// Another program of the same user as setup, which needs no rights: until STOP-FILE exists it
// goes over every file in the user's temporary folder, again and again, and tries to rewrite
// it with bytes of its own, to hold it open sharing nothing, to replace it with a file of its
// own and to delete it. Each attempt that succeeds is written to LOG-FILE, one a line.
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

const char kForeign[] = "MZ another program's bytes";

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WriteForeign(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    WriteFile(file, kForeign, sizeof kForeign - 1, &written, nullptr);
    CloseHandle(file);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: nq_intruder STOP-FILE LOG-FILE\n");
        return 2;
    }
    const std::string stop = argv[1];
    FILE* log = std::fopen(argv[2], "w");
    if (!log)
        return 1;
    char folder[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    // The replacement is made beside the log, outside the folder under attack.
    const std::string replacement = std::string(argv[2]) + ".replacement";
    const std::string tempFolder = folder;
    std::set<std::string> reported;
    const DWORD deadline = GetTickCount() + 300000;
    auto report = [&](const char* what, const std::string& name) {
        if (reported.insert(std::string(what) + " " + name).second) {
            std::fprintf(log, "%s %s\n", what, name.c_str());
            std::fflush(log);
        }
    };
    while (!Exists(stop) && GetTickCount() < deadline) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((tempFolder + "*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            Sleep(1);
            continue;
        }
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            const std::string name = found.cFileName;
            const std::string path = tempFolder + name;
            HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                DWORD written = 0;
                if (WriteFile(file, kForeign, sizeof kForeign - 1, &written, nullptr) &&
                    SetEndOfFile(file))
                    report("rewrote", name);
                CloseHandle(file);
            }
            file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                report("held", name);
                Sleep(20);
                CloseHandle(file);
            }
            if (WriteForeign(replacement) &&
                MoveFileExA(replacement.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
                report("replaced", name);
            if (DeleteFileA(path.c_str()))
                report("deleted", name);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    std::fclose(log);
    DeleteFileA(replacement.c_str());
    return 0;
}
