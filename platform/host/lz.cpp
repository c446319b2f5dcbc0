// The LZ expansion calls over the emulated file system, with our streaming SZDD expander.
// Unlike the system library, which hands back a file without the SZDD magic as it is, this
// one only opens well-formed containers: the program has nothing else to expand.
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include "platform/host/emulation.h"
#include "platform/host/win32_api.h"
#include "tools/szdd/szdd.h"

namespace {

// Compressed handles start where the system library's do, above any plain file handle.
const INT kFirstHandle = 0x400;

class FileSource : public szdd::Source {
  public:
    explicit FileSource(HANDLE file) : file_(file) {}
    ~FileSource() { CloseHandle(file_); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    long Read(uint8_t* buffer, size_t size) override {
        DWORD read = 0;
        if (!ReadFile(file_, buffer, static_cast<DWORD>(size), &read, nullptr))
            return -1;
        return static_cast<long>(read);
    }

  private:
    HANDLE file_;
};

struct LzFile {
    explicit LzFile(HANDLE file) : source(file), expander(source) {}
    FileSource source;
    szdd::Expander expander;
};

std::map<INT, std::unique_ptr<LzFile>>& Files() {
    static std::map<INT, std::unique_ptr<LzFile>> files;
    return files;
}

INT Refuse(LPOFSTRUCT openFile, WORD error, INT code) {
    if (openFile)
        openFile->nErrCode = error;
    return code;
}

} // namespace

namespace hostemu {
namespace detail {
void ResetLz() {
    Files().clear();
}
} // namespace detail
} // namespace hostemu

namespace {

// 0 when the file open as `file` starts with an SZDD container header, else the LZ error; the
// file is left at its start.
INT CheckHeader(HANDLE file) {
    uint8_t header[szdd::kHeaderSize];
    DWORD read = 0;
    bool readOk = ReadFile(file, header, sizeof header, &read, nullptr) &&
                  SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0;
    if (!readOk || read < sizeof header ||
        std::memcmp(header, szdd::kMagic, sizeof szdd::kMagic) != 0)
        return readOk ? LZERROR_BADVALUE : LZERROR_READ;
    if (header[8] != szdd::kModeA)
        return LZERROR_UNKNOWNALG;
    return 0;
}

// A new compressed handle over `file`, which it closes at LZClose.
INT Adopt(HANDLE file) {
    INT handle = kFirstHandle;
    while (Files().count(handle))
        ++handle;
    Files()[handle] = std::make_unique<LzFile>(file);
    return handle;
}

} // namespace

INT LZOpenFileA(LPSTR fileName, LPOFSTRUCT openFile, WORD style) {
    if (DWORD error = hostemu::detail::CheckFault("LZOpenFileA", fileName ? fileName : ""))
        return Refuse(openFile, static_cast<WORD>(error), LZERROR_BADINHANDLE);
    if (fileName == nullptr || openFile == nullptr || style != OF_READ)
        return Refuse(openFile, ERROR_INVALID_PARAMETER, LZERROR_BADVALUE);
    // The open goes through OpenFile, whose record holds the path with its zero in
    // OFS_MAXPATHNAME bytes; a longer path is refused before any file is touched.
    if (std::strlen(fileName) >= OFS_MAXPATHNAME)
        return Refuse(openFile, ERROR_INVALID_PARAMETER, LZERROR_BADINHANDLE);
    std::snprintf(openFile->szPathName, sizeof openFile->szPathName, "%s", fileName);
    HANDLE file = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return Refuse(openFile, static_cast<WORD>(GetLastError()), LZERROR_BADINHANDLE);
    // The header is checked here, so that a file that is no container is refused at once.
    if (INT refused = CheckHeader(file)) {
        CloseHandle(file);
        return Refuse(openFile, 0, refused);
    }
    openFile->nErrCode = 0;
    return Adopt(file);
}

// The file number is a kernel handle's value, as lz32 takes it. A refused file stays open, the
// caller's to close; an adopted one is closed by LZClose.
INT LZInit(INT source) {
    if (DWORD error = hostemu::detail::CheckFault("LZInit")) {
        SetLastError(error);
        return LZERROR_BADINHANDLE;
    }
    HANDLE file = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(source));
    DWORD size = GetFileSize(file, nullptr);
    if (size == INVALID_FILE_SIZE)
        return LZERROR_BADINHANDLE;
    if (INT refused = CheckHeader(file))
        return refused;
    return Adopt(file);
}

INT LZRead(INT file, LPSTR buffer, INT count) {
    if (DWORD error = hostemu::detail::CheckFault("LZRead")) {
        SetLastError(error);
        return LZERROR_READ;
    }
    auto it = Files().find(file);
    if (it == Files().end())
        return LZERROR_BADINHANDLE;
    if (buffer == nullptr || count < 0)
        return LZERROR_BADVALUE;
    long result =
        it->second->expander.Read(reinterpret_cast<uint8_t*>(buffer), static_cast<size_t>(count));
    if (result < 0)
        return LZERROR_READ;
    return static_cast<INT>(result);
}

// LZClose answers nothing, so a fault on it is counted and changes nothing: the program has
// no failure to see.
void LZClose(INT file) {
    hostemu::detail::CountCall("LZClose");
    Files().erase(file);
}
