// The component object library and the shell link object. A link is saved in the shell's
// binary link format (header, location information with the target's local path, and the
// description as name string, all ANSI), so that Load reads back what Save wrote.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/host/emulation.h"
#include "platform/host/win32_api.h"

const CLSID CLSID_ShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IUnknown = {0x00000000, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IPersist = {0x0000010C, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IShellLinkA = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

namespace {

unsigned& Initialisations() {
    static unsigned count = 0;
    return count;
}

// Link file layout.
constexpr DWORD kHeaderSize = 0x4C;
constexpr DWORD kHasLinkInfo = 0x2;
constexpr DWORD kHasName = 0x4;
constexpr DWORD kVolumeIdAndLocalBasePath = 0x1;
constexpr DWORD kLinkInfoHeaderSize = 0x1C;
constexpr DWORD kVolumeIdSize = 0x11;
constexpr DWORD kDriveFixed = 3;

void PutDword(std::string& out, DWORD value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void PutWord(std::string& out, WORD value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

bool GetDword(const std::string& in, size_t at, DWORD& value) {
    if (at > in.size() || in.size() - at < 4)
        return false;
    value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(in[at + i]);
    return true;
}

std::string Narrow(LPCOLESTR wide) {
    char text[MAX_PATH];
    if (WideCharToMultiByte(CP_ACP, 0, wide, -1, text, MAX_PATH, nullptr, nullptr) == 0)
        return std::string();
    return text;
}

std::string EncodeLink(const std::string& target, const std::string& description) {
    std::string out;
    PutDword(out, kHeaderSize);
    out.append(reinterpret_cast<const char*>(&CLSID_ShellLink), sizeof(CLSID));
    PutDword(out, kHasLinkInfo | kHasName);
    out.append(kHeaderSize - out.size(), '\0'); // attributes, times, size, icon, show, hotkey
    // Location: a fixed volume without label, the target as local base path, no suffix.
    const DWORD volumeOffset = kLinkInfoHeaderSize;
    const DWORD pathOffset = volumeOffset + kVolumeIdSize;
    const DWORD suffixOffset = pathOffset + static_cast<DWORD>(target.size()) + 1;
    PutDword(out, suffixOffset + 1);
    PutDword(out, kLinkInfoHeaderSize);
    PutDword(out, kVolumeIdAndLocalBasePath);
    PutDword(out, volumeOffset);
    PutDword(out, pathOffset);
    PutDword(out, 0);
    PutDword(out, suffixOffset);
    PutDword(out, kVolumeIdSize);
    PutDword(out, kDriveFixed);
    PutDword(out, 0);    // serial number
    PutDword(out, 0x10); // label offset
    out.push_back('\0'); // empty label
    out.append(target.c_str(), target.size() + 1);
    out.push_back('\0'); // empty suffix
    PutWord(out, static_cast<WORD>(description.size()));
    out += description;
    PutDword(out, 0); // no extra data
    return out;
}

bool DecodeLink(const std::string& in, std::string& target, std::string& description) {
    DWORD size, flags;
    if (!GetDword(in, 0, size) || size != kHeaderSize || in.size() < kHeaderSize ||
        std::memcmp(in.data() + 4, &CLSID_ShellLink, sizeof(CLSID)) != 0 ||
        !GetDword(in, 20, flags))
        return false;
    size_t at = kHeaderSize;
    target.clear();
    description.clear();
    if (flags & kHasLinkInfo) {
        DWORD infoSize, infoFlags, pathOffset;
        if (!GetDword(in, at, infoSize) || infoSize > in.size() - at ||
            !GetDword(in, at + 8, infoFlags) || !GetDword(in, at + 16, pathOffset))
            return false;
        if ((infoFlags & kVolumeIdAndLocalBasePath) && pathOffset < infoSize) {
            const char* path = in.data() + at + pathOffset;
            const void* end = std::memchr(path, '\0', infoSize - pathOffset);
            if (end == nullptr)
                return false;
            target.assign(path, static_cast<const char*>(end) - path);
        }
        at += infoSize;
    }
    if (flags & kHasName) {
        if (at > in.size() || in.size() - at < 2)
            return false;
        size_t count = static_cast<unsigned char>(in[at]) |
                       (static_cast<size_t>(static_cast<unsigned char>(in[at + 1])) << 8);
        if (in.size() - at - 2 < count)
            return false;
        description.assign(in, at + 2, count);
    }
    return true;
}

// Copies into a caller's buffer of `capacity` characters, cutting what does not fit.
void CopyOut(const std::string& text, LPSTR buffer, int capacity) {
    if (buffer == nullptr || capacity <= 0)
        return;
    size_t length = text.size() < static_cast<size_t>(capacity) ? text.size() : capacity - 1;
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

class ShellLink final : public IShellLinkA, public IPersistFile {
  public:
    // IUnknown, shared by both interfaces.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IShellLinkA)
            *object = static_cast<IShellLinkA*>(this);
        else if (riid == IID_IPersistFile || riid == IID_IPersist)
            *object = static_cast<IPersistFile*>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

    // IShellLinkA
    HRESULT STDMETHODCALLTYPE GetPath(LPSTR file, int capacity, WIN32_FIND_DATAA* data,
                                      DWORD) override {
        if (data)
            std::memset(data, 0, sizeof *data);
        CopyOut(target_, file, capacity);
        return target_.empty() ? S_FALSE : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDList(PIDLIST_ABSOLUTE* items) override {
        if (items)
            *items = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetIDList(PCIDLIST_ABSOLUTE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDescription(LPSTR name, int capacity) override {
        CopyOut(description_, name, capacity);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetDescription(LPCSTR name) override {
        description_ = name ? name : "";
        dirty_ = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetWorkingDirectory(LPSTR directory, int capacity) override {
        CopyOut("", directory, capacity);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetWorkingDirectory(LPCSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetArguments(LPSTR arguments, int capacity) override {
        CopyOut("", arguments, capacity);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetArguments(LPCSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetHotkey(WORD* hotkey) override {
        if (hotkey)
            *hotkey = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetHotkey(WORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetShowCmd(int* showCommand) override {
        if (showCommand)
            *showCommand = 1; // SW_SHOWNORMAL
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetShowCmd(int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIconLocation(LPSTR iconPath, int capacity, int* index) override {
        CopyOut("", iconPath, capacity);
        if (index)
            *index = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetIconLocation(LPCSTR, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetRelativePath(LPCSTR, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Resolve(HWND, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPath(LPCSTR file) override {
        if (file == nullptr)
            return E_INVALIDARG;
        target_ = file;
        dirty_ = true;
        return S_OK;
    }

    // IPersistFile
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* classId) override {
        if (classId == nullptr)
            return E_POINTER;
        *classId = CLSID_ShellLink;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE IsDirty() override { return dirty_ ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE Load(LPCOLESTR fileName, DWORD) override {
        if (fileName == nullptr)
            return E_INVALIDARG;
        std::string path = Narrow(fileName);
        if (DWORD error = hostemu::detail::CheckFault("IPersistFile::Load", path))
            return HRESULT_FROM_WIN32(error);
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return HRESULT_FROM_WIN32(GetLastError());
        std::string bytes;
        char chunk[4096];
        DWORD read = 0;
        while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0)
            bytes.append(chunk, read);
        CloseHandle(file);
        std::string target, description;
        if (!DecodeLink(bytes, target, description))
            return E_FAIL;
        target_ = target;
        description_ = description;
        current_ = path;
        dirty_ = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Save(LPCOLESTR fileName, BOOL remember) override {
        std::string path = fileName ? Narrow(fileName) : current_;
        if (path.empty())
            return E_INVALIDARG;
        if (DWORD error = hostemu::detail::CheckFault("IPersistFile::Save", path))
            return HRESULT_FROM_WIN32(error);
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return HRESULT_FROM_WIN32(GetLastError());
        std::string bytes = EncodeLink(target_, description_);
        DWORD written = 0;
        BOOL ok =
            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        DWORD error = ok ? 0 : GetLastError();
        CloseHandle(file);
        if (!ok)
            return HRESULT_FROM_WIN32(error);
        if (remember || fileName == nullptr) {
            current_ = path;
            dirty_ = false;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SaveCompleted(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetCurFile(LPOLESTR* fileName) override {
        if (fileName)
            *fileName = nullptr;
        return E_NOTIMPL;
    }

  private:
    ULONG references_ = 1;
    std::string target_;
    std::string description_;
    std::string current_;
    bool dirty_ = false;
};

} // namespace

namespace hostemu {
namespace detail {
void ResetCom() {
    Initialisations() = 0;
}
} // namespace detail
} // namespace hostemu

HRESULT CoInitialize(LPVOID) {
    if (DWORD error = hostemu::detail::CheckFault("CoInitialize"))
        return HRESULT_FROM_WIN32(error);
    return Initialisations()++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    hostemu::detail::CountCall("CoUninitialize");
    if (Initialisations() > 0)
        --Initialisations();
}

HRESULT CoCreateInstance(REFCLSID classId, LPUNKNOWN outer, DWORD context, REFIID riid,
                         LPVOID* object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (DWORD error = hostemu::detail::CheckFault("CoCreateInstance"))
        return HRESULT_FROM_WIN32(error);
    if (Initialisations() == 0)
        return CO_E_NOTINITIALIZED;
    if (classId != CLSID_ShellLink || !(context & CLSCTX_INPROC_SERVER))
        return REGDB_E_CLASSNOTREG;
    if (outer != nullptr)
        return CLASS_E_NOAGGREGATION;
    ShellLink* link = new ShellLink;
    HRESULT result = link->QueryInterface(riid, object);
    link->Release();
    return result;
}

LPVOID CoTaskMemAlloc(SIZE_T size) {
    return std::malloc(size ? size : 1);
}

void CoTaskMemFree(LPVOID memory) {
    std::free(memory);
}
