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
    uint8_t header[szdd::kHeaderSize];
    DWORD read = 0;
    bool readOk = ReadFile(file, header, sizeof header, &read, nullptr) &&
                  SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0;
    if (!readOk || read < sizeof header ||
        std::memcmp(header, szdd::kMagic, sizeof szdd::kMagic) != 0) {
        CloseHandle(file);
        return Refuse(openFile, 0, readOk ? LZERROR_BADVALUE : LZERROR_READ);
    }
    if (header[8] != szdd::kModeA) {
        CloseHandle(file);
        return Refuse(openFile, 0, LZERROR_UNKNOWNALG);
    }
    INT handle = kFirstHandle;
    while (Files().count(handle))
        ++handle;
    Files()[handle] = std::make_unique<LzFile>(file);
    openFile->nErrCode = 0;
    return handle;
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
