// The file rules the program relies on, checked against whichever Win32 this runs on, so the
// host emulation keeps to what Windows (here Wine) does.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "platform/ascii_case.h"
#include "tests/support/test_world.h"

namespace {

class FileApi : public TestWorld {
  protected:
    HANDLE Open(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
        return CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    }
    std::string Contents(const std::string& path) {
        std::string bytes;
        EXPECT_TRUE(ReadTestFile(path, bytes)) << path;
        return bytes;
    }
};

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), AsciiUpper);
    return text;
}

std::set<std::string> Search(const std::string& pattern, DWORD* error = nullptr) {
    std::set<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        if (error)
            *error = GetLastError();
        return names;
    }
    do {
        names.insert(data.cFileName);
    } while (FindNextFileA(search, &data));
    if (error)
        *error = GetLastError();
    FindClose(search);
    return names;
}

} // namespace

TEST_F(FileApi, DispositionsOnMissingAndExistingFiles) {
    const std::string path = ScratchPath("a.txt");
    SetLastError(12345);
    HANDLE file = Open(path, GENERIC_WRITE, 0, OPEN_EXISTING);
    EXPECT_EQ(INVALID_HANDLE_VALUE, file);
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(path, GENERIC_WRITE, 0, TRUNCATE_EXISTING));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());

    // A new file: success with a clear last-error code.
    SetLastError(12345);
    file = Open(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_EQ(0u, GetLastError());
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, "hello", 5, &written, nullptr));
    EXPECT_EQ(5u, written);
    EXPECT_TRUE(CloseHandle(file));

    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(path, GENERIC_WRITE, 0, CREATE_NEW));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_EXISTS), GetLastError());

    // Opening an existing file "always" keeps it and says it was there.
    file = Open(path, GENERIC_READ, 0, OPEN_ALWAYS);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    EXPECT_EQ(5u, GetFileSize(file, nullptr));
    CloseHandle(file);

    // Creating it "always" succeeds too, truncates it, and also says it was there: a success
    // that leaves a non-zero last-error code.
    file = Open(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    EXPECT_EQ(0u, GetFileSize(file, nullptr));
    CloseHandle(file);

    ASSERT_TRUE(WriteTestFile(path, "abc"));
    file = Open(path, GENERIC_WRITE, 0, TRUNCATE_EXISTING);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_EQ(0u, GetFileSize(file, nullptr));
    CloseHandle(file);
}

TEST_F(FileApi, MissingFolderAndFolderTargetsAreRefused) {
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              Open(ScratchPath("no\\such\\a.txt"), GENERIC_WRITE, 0, CREATE_ALWAYS));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(kScratchFolder, GENERIC_READ, 0, OPEN_EXISTING));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_FALSE(FileExists(ScratchPath("no")));
}

TEST_F(FileApi, NamesIgnoreLetterCaseAndKeepTheirOwn) {
    ASSERT_TRUE(WriteTestFile(ScratchPath("MixedCase.Txt"), "x"));
    EXPECT_EQ("x", Contents(ScratchPath("MIXEDCASE.TXT")));
    EXPECT_EQ(std::set<std::string>{"MixedCase.Txt"}, Search(ScratchPath("mixed*")));
    // Rewriting under another spelling keeps the name the file was created with.
    ASSERT_TRUE(WriteTestFile(ScratchPath("mixedcase.txt"), "y"));
    EXPECT_EQ(std::set<std::string>{"MixedCase.Txt"}, Search(ScratchPath("*.txt")));
}

TEST_F(FileApi, ReadWriteAndFilePointer) {
    const std::string path = ScratchPath("data.bin");
    HANDLE file = Open(path, GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD count = 0;
    EXPECT_TRUE(WriteFile(file, "0123456789", 10, &count, nullptr));
    EXPECT_EQ(4u, SetFilePointer(file, 4, nullptr, FILE_BEGIN));
    char buffer[16] = {};
    EXPECT_TRUE(ReadFile(file, buffer, 3, &count, nullptr));
    EXPECT_EQ(3u, count);
    EXPECT_EQ(std::string("456"), std::string(buffer, 3));
    EXPECT_EQ(8u, SetFilePointer(file, -2, nullptr, FILE_END));
    EXPECT_EQ(9u, SetFilePointer(file, 1, nullptr, FILE_CURRENT));
    // At the end a read succeeds with no bytes.
    EXPECT_EQ(10u, SetFilePointer(file, 0, nullptr, FILE_END));
    EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &count, nullptr));
    EXPECT_EQ(0u, count);
    EXPECT_EQ(INVALID_SET_FILE_POINTER, SetFilePointer(file, -20, nullptr, FILE_CURRENT));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NEGATIVE_SEEK), GetLastError());
    // Writing past the end grows the file.
    EXPECT_EQ(12u, SetFilePointer(file, 12, nullptr, FILE_BEGIN));
    EXPECT_TRUE(WriteFile(file, "!", 1, &count, nullptr));
    EXPECT_EQ(13u, GetFileSize(file, nullptr));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());

    // Access is what the handle was opened with.
    file = Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_FALSE(WriteFile(file, "x", 1, &count, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    CloseHandle(file);
}

TEST_F(FileApi, ShareModesDecideWhoMayOpenAFileHeldOpen) {
    const std::string path = ScratchPath("held.exe");
    ASSERT_TRUE(WriteTestFile(path, "running program"));
    HANDLE held = Open(path, GENERIC_READ, 0, OPEN_EXISTING);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(path, GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
    EXPECT_FALSE(DeleteFileA(path.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
    CloseHandle(held);
    EXPECT_EQ("running program", Contents(path));

    // Readers that share reading get along; a writer does not join them.
    HANDLE reader = Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    ASSERT_NE(INVALID_HANDLE_VALUE, reader);
    HANDLE second = Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_NE(INVALID_HANDLE_VALUE, second);
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(path, GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
    CloseHandle(second);
    CloseHandle(reader);
}

TEST_F(FileApi, FoldersAreMadeAndRemovedOneLevelAtATime) {
    const std::string parent = ScratchPath("one");
    const std::string child = ScratchPath("one\\two");
    EXPECT_FALSE(CreateDirectoryA(child.c_str(), nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    EXPECT_TRUE(CreateDirectoryA(parent.c_str(), nullptr));
    EXPECT_FALSE(CreateDirectoryA(parent.c_str(), nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    EXPECT_TRUE(CreateDirectoryA((child + "\\").c_str(), nullptr));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY),
              GetFileAttributesA(child.c_str()) & FILE_ATTRIBUTE_DIRECTORY);

    // A file in the way counts as already existing.
    ASSERT_TRUE(WriteTestFile(ScratchPath("one\\file"), ""));
    EXPECT_FALSE(CreateDirectoryA(ScratchPath("one\\file").c_str(), nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());

    EXPECT_FALSE(RemoveDirectoryA(parent.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_DIR_NOT_EMPTY), GetLastError());
    EXPECT_TRUE(DeleteFileA(ScratchPath("one\\file").c_str()));
    EXPECT_FALSE(DeleteFileA(ScratchPath("one\\file").c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_TRUE(RemoveDirectoryA(child.c_str()));
    EXPECT_TRUE(RemoveDirectoryA(parent.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(parent.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(ScratchPath("one\\x").c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    // A drive's root is never made.
    EXPECT_FALSE(CreateDirectoryA("C:\\", nullptr));
}

TEST_F(FileApi, SearchesMatchWildcardsAndEndWithNoMoreFiles) {
    for (const char* name : {"a.exe", "b.exe", "ab.hlp", "readme"})
        ASSERT_TRUE(WriteTestFile(ScratchPath(name), name));
    ASSERT_TRUE(CreateDirectoryA(ScratchPath("sub").c_str(), nullptr));

    EXPECT_EQ((std::set<std::string>{".", "..", "a.exe", "b.exe", "ab.hlp", "readme", "sub"}),
              Search(ScratchPath("*")));
    EXPECT_EQ((std::set<std::string>{"a.exe", "b.exe"}), Search(ScratchPath("*.exe")));
    EXPECT_EQ((std::set<std::string>{"a.exe", "b.exe"}), Search(ScratchPath("?.EXE")));
    EXPECT_EQ((std::set<std::string>{"ab.hlp"}), Search(ScratchPath("a?.*")));
    EXPECT_EQ((std::set<std::string>{"readme"}), Search(ScratchPath("readme")));

    DWORD error = 0;
    Search(ScratchPath("*.exe"), &error);
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_MORE_FILES), error);
    EXPECT_TRUE(Search(ScratchPath("*.cnt"), &error).empty());
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), error);
    EXPECT_TRUE(Search(ScratchPath("none\\*"), &error).empty());
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), error);

    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(ScratchPath("ab.hlp").c_str(), &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    EXPECT_EQ(6u, data.nFileSizeLow);
    EXPECT_EQ(0u, data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    FindClose(search);
}

TEST_F(FileApi, TemporaryFileNamesAreMadeInTheTemporaryFolder) {
    char folder[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, folder);
    ASSERT_GT(length, 0u);
    ASSERT_LT(length, static_cast<DWORD>(MAX_PATH));
    EXPECT_EQ('\\', folder[length - 1]);
    // Too small a buffer gets the size needed.
    char small[2];
    EXPECT_EQ(length + 1, GetTempPathA(sizeof small, small));

    char name[MAX_PATH];
    UINT number = GetTempFileNameA(kScratchFolder, "NQX", 0, name);
    ASSERT_NE(0u, number);
    char expected[MAX_PATH];
    std::snprintf(expected, sizeof expected, "%s\\NQX%X.tmp", kScratchFolder, number);
    // Windows writes the number in upper-case hexadecimal, Wine in lower case.
    EXPECT_EQ(Upper(expected), Upper(name));
    EXPECT_TRUE(FileExists(name));
    std::string bytes;
    EXPECT_TRUE(ReadTestFile(name, bytes));
    EXPECT_TRUE(bytes.empty());
    // Each call finds a name not yet taken.
    char other[MAX_PATH];
    ASSERT_NE(0u, GetTempFileNameA(kScratchFolder, "NQX", 0, other));
    EXPECT_STRNE(name, other);

    // A fixed number only forms the name.
    EXPECT_EQ(0x1234u, GetTempFileNameA(kScratchFolder, "NQ", 0x1234, name));
    EXPECT_EQ(ScratchPath("NQ1234.tmp"), std::string(name));
    EXPECT_FALSE(FileExists(name));

    EXPECT_EQ(0u, GetTempFileNameA(ScratchPath("missing").c_str(), "NQ", 0, name));
}

TEST_F(FileApi, ShortPathNames) {
    // A name that is a legal 8.3 name is its own short name.
    ASSERT_TRUE(WriteTestFile("C:\\NQSHORT.TXT", "s"));
    char buffer[MAX_PATH];
    EXPECT_EQ(14u, GetShortPathNameA("C:\\NQSHORT.TXT", buffer, MAX_PATH));
    EXPECT_STREQ("C:\\NQSHORT.TXT", buffer);
    DeleteFileA("C:\\NQSHORT.TXT");

    const std::string longName = ScratchPath("A Rather Long Name.text");
    ASSERT_TRUE(WriteTestFile(longName, "long"));
    DWORD length = GetShortPathNameA(longName.c_str(), buffer, MAX_PATH);
    ASSERT_GT(length, 0u);
    std::string alias = buffer;
    std::string last = alias.substr(alias.find_last_of('\\') + 1);
    EXPECT_LE(last.size(), 12u);
    EXPECT_EQ(std::string::npos, last.find(' '));
    EXPECT_EQ("long", Contents(alias));
    // Too small a buffer: the size needed, zero included.
    EXPECT_EQ(length + 1, GetShortPathNameA(longName.c_str(), buffer, 4));

    EXPECT_EQ(0u, GetShortPathNameA(ScratchPath("absent.txt").c_str(), buffer, MAX_PATH));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

TEST_F(FileApi, DiskFreeSpaceOfARootAndOfTheCurrentDrive) {
    DWORD sectors = 0, bytes = 0, freeClusters = 0, total = 0;
    ASSERT_TRUE(GetDiskFreeSpaceA("C:\\", &sectors, &bytes, &freeClusters, &total));
    EXPECT_GT(static_cast<unsigned long long>(sectors) * bytes * freeClusters, 0ull);
    EXPECT_LE(freeClusters, total);
    EXPECT_TRUE(GetDiskFreeSpaceA(nullptr, &sectors, &bytes, &freeClusters, &total));
}

TEST_F(FileApi, ModuleFileNameAndItsTruncation) {
    char name[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, name, MAX_PATH);
    ASSERT_GT(length, 4u);
    EXPECT_EQ(std::strlen(name), length);
    EXPECT_EQ(length, GetModuleFileNameA(GetModuleHandleA(nullptr), name, MAX_PATH));
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
    EXPECT_EQ(".exe", lower.substr(lower.size() - 4));
    // Truncated: the buffer filled, its size as the answer. Windows since Vista ends it with a
    // zero; Wine, like XP, does not.
    char small[6] = "#####";
    EXPECT_EQ(5u, GetModuleFileNameA(nullptr, small, 5));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(std::string(name, 4), std::string(small, 4));
}
