#include "registry/reg_key.h"

#include <cstring>

const char kSuiteKeyPath[] = "Software\\QuilloSoft\\NetQuillo\\CurrentVersion";

namespace {

// Appends `text` at `length`; false when it would not fit with its zero.
bool Append(char (&path)[kKeyPathCapacity], size_t& length, const char* text) {
    size_t size = std::strlen(text);
    if (length + size + 1 > kKeyPathCapacity)
        return false;
    std::memcpy(path + length, text, size + 1);
    length += size;
    return true;
}

} // namespace

bool ComposeKeyPath(KeyBase base, const char* shortName, const char* subPath, HKEY& root,
                    char (&path)[kKeyPathCapacity]) {
    size_t length = 0;
    path[0] = '\0';
    bool ok = true;
    switch (base) {
    case Updates:
    case Module:
    case Suite:
        root = HKEY_CURRENT_USER;
        ok = Append(path, length, kSuiteKeyPath);
        if (base == Updates)
            ok = ok && Append(path, length, "\\Updates");
        else if (base == Module)
            ok = ok && Append(path, length, "\\") && Append(path, length, shortName);
        if (subPath)
            ok = ok && Append(path, length, "\\") && Append(path, length, subPath);
        break;
    case LocalMachine:
    case CurrentUser:
    case ClassesRoot:
        root = base == LocalMachine  ? HKEY_LOCAL_MACHINE
               : base == CurrentUser ? HKEY_CURRENT_USER
                                     : HKEY_CLASSES_ROOT;
        ok = Append(path, length, subPath ? subPath : "");
        break;
    default:
        root = nullptr;
        ok = false;
        break;
    }
    if (!ok || length == 0) {
        path[0] = '\0';
        return false;
    }
    return true;
}

RegKey::RegKey(const char* shortName) {
    size_t size = std::strlen(shortName) + 1;
    shortNameFits_ = size <= sizeof shortName_;
    std::memcpy(shortName_, shortName, shortNameFits_ ? size : 1);
    if (!shortNameFits_)
        shortName_[0] = '\0';
}

RegKey::~RegKey() { Close(); }

bool RegKey::CloseAndCompose(KeyBase base, const char* subPath, HKEY& root,
                             char (&path)[kKeyPathCapacity]) {
    Close();
    // A module key for a name that did not fit would be some other module's key.
    return (base != Module || shortNameFits_) &&
           ComposeKeyPath(base, shortName_, subPath, root, path);
}

bool RegKey::Open(KeyBase base, const char* subPath, bool readOnly) {
    HKEY root;
    char path[kKeyPathCapacity];
    if (!CloseAndCompose(base, subPath, root, path))
        return false;
    HKEY key = nullptr;
    LONG result = readOnly ? RegOpenKeyExA(root, path, 0, KEY_READ, &key)
                           : RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS)
        return false;
    key_ = key;
    return true;
}

bool RegKey::OpenToRestore(KeyBase base, const char* subPath) {
    HKEY root;
    char path[kKeyPathCapacity];
    if (!CloseAndCompose(base, subPath, root, path))
        return false;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return Open(base, subPath, false);
    key_ = key;
    return true;
}

bool RegKey::Probe(KeyBase base, const char* subPath, bool& present) {
    present = false;
    HKEY root;
    char path[kKeyPathCapacity];
    if (!CloseAndCompose(base, subPath, root, path))
        return false;
    HKEY key = nullptr;
    LONG result = RegOpenKeyExA(root, path, 0, KEY_READ, &key);
    present = result == ERROR_SUCCESS;
    if (present)
        key_ = key;
    // A missing parent may be reported as a missing path rather than a missing key.
    return present || result == ERROR_FILE_NOT_FOUND || result == ERROR_PATH_NOT_FOUND;
}

void RegKey::Close() {
    if (key_) {
        RegCloseKey(key_);
        key_ = nullptr;
    }
}

bool RegKey::HasSubkeys() {
    if (!key_)
        return true;
    char name[1024];
    DWORD length = sizeof name;
    return RegEnumKeyExA(key_, 0, name, &length, nullptr, nullptr, nullptr, nullptr) !=
           ERROR_NO_MORE_ITEMS;
}

bool RegKey::DeleteKey(KeyBase base, const char* subPath) {
    HKEY root;
    char path[kKeyPathCapacity];
    if (!CloseAndCompose(base, subPath, root, path))
        return false;
    return RegDeleteKeyA(root, path) == ERROR_SUCCESS;
}

namespace {

// Deletes `path` under `root` and everything below it. The path buffer is extended in place for
// each child and put back; a child that stays ends the walk, so a key that cannot be emptied
// is never enumerated for ever.
bool DeleteKeyTree(HKEY root, char (&path)[kKeyPathCapacity]) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        size_t length = std::strlen(path);
        for (;;) {
            char name[kKeyPathCapacity];
            DWORD nameLength = sizeof name;
            if (RegEnumKeyExA(key, 0, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
                    ERROR_SUCCESS ||
                length + 1 + nameLength >= kKeyPathCapacity)
                break;
            path[length] = '\\';
            std::memcpy(path + length + 1, name, nameLength + 1);
            bool gone = DeleteKeyTree(root, path);
            path[length] = '\0';
            if (!gone)
                break;
        }
        RegCloseKey(key);
    }
    return RegDeleteKeyA(root, path) == ERROR_SUCCESS;
}

} // namespace

bool RegKey::DeleteTree(KeyBase base, const char* subPath) {
    HKEY root;
    char path[kKeyPathCapacity];
    if (!CloseAndCompose(base, subPath, root, path))
        return false;
    return DeleteKeyTree(root, path);
}

bool RegKey::DeleteValue(const char* name) {
    LONG result = RegDeleteValueA(key_, name);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool RegKey::ValueExists(const char* name) {
    return RegQueryValueExA(key_, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool RegKey::ReadTyped(const char* name, DWORD wantedType, void* buffer, DWORD& size) {
    DWORD type = REG_NONE;
    LONG result = RegQueryValueExA(key_, name, nullptr, &type, static_cast<BYTE*>(buffer), &size);
    return result == ERROR_SUCCESS && type == wantedType;
}

bool RegKey::ReadString(const char* name, char* buffer, DWORD capacity) {
    if (capacity == 0)
        return false;
    DWORD size = capacity;
    bool ok = ReadTyped(name, REG_SZ, buffer, size);
    // A stored string may lack its zero; one that fills the buffer without it does not fit.
    if (ok && size < capacity)
        buffer[size] = '\0';
    else if (ok && buffer[size - 1] != '\0')
        ok = false;
    if (!ok)
        buffer[0] = '\0';
    return ok;
}

bool RegKey::ReadMultiString(const char* name, char* buffer, DWORD& size) {
    return ReadTyped(name, REG_MULTI_SZ, buffer, size);
}

bool RegKey::ReadBinary(const char* name, void* buffer, DWORD& size) {
    return ReadTyped(name, REG_BINARY, buffer, size);
}

bool RegKey::ReadDword(const char* name, DWORD& value) {
    DWORD number = 0;
    DWORD size = sizeof number;
    if (!ReadTyped(name, REG_DWORD, &number, size))
        return false;
    value = number;
    return true;
}

bool RegKey::ReadFlag(const char* name, bool& flag) {
    DWORD number;
    if (!ReadDword(name, number))
        return false;
    flag = number != 0;
    return true;
}

bool RegKey::ReadDwordArray(const char* name, DWORD* values, DWORD& count) {
    DWORD capacity = count > 0xFFFFFFFFu / 4 ? 0xFFFFFFFFu / 4 : count;
    DWORD size = capacity * 4;
    if (!ReadTyped(name, REG_BINARY, values, size))
        return false;
    count = size / 4;
    return true;
}

bool RegKey::Write(const char* name, DWORD type, const void* data, DWORD size) {
    return RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), size) ==
           ERROR_SUCCESS;
}

bool RegKey::WriteString(const char* name, const char* text) {
    return Write(name, REG_SZ, text, static_cast<DWORD>(std::strlen(text) + 1));
}

bool RegKey::WriteMultiString(const char* name, const char* data, DWORD size) {
    return Write(name, REG_MULTI_SZ, data, size);
}

bool RegKey::WriteBinary(const char* name, const void* data, DWORD size) {
    return Write(name, REG_BINARY, data, size);
}

bool RegKey::WriteDword(const char* name, DWORD value) {
    return Write(name, REG_DWORD, &value, sizeof value);
}

bool RegKey::WriteFlag(const char* name, bool flag) { return WriteDword(name, flag ? 1 : 0); }

bool RegKey::WriteDwordArray(const char* name, const DWORD* values, DWORD count) {
    // The stored bytes are the numbers little-endian, which is how x86 holds them.
    return Write(name, REG_BINARY, values, count * 4);
}

bool RegKey::EnumValueName(DWORD index, char* name, DWORD capacity) {
    DWORD length = capacity;
    return RegEnumValueA(key_, index, name, &length, nullptr, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

namespace {

// Turns an enumeration's answer into the two outcomes callers can act on.
bool Enumerated(LONG result, bool& more) {
    more = result == ERROR_SUCCESS;
    return more || result == ERROR_NO_MORE_ITEMS;
}

} // namespace

bool RegKey::EnumValue(DWORD index, char* name, DWORD capacity, DWORD& type, DWORD& size,
                       bool& more) {
    DWORD length = capacity;
    size = 0;
    return Enumerated(RegEnumValueA(key_, index, name, &length, nullptr, &type, nullptr, &size),
                      more);
}

bool RegKey::EnumSubkey(DWORD index, char* name, DWORD capacity, bool& more) {
    DWORD length = capacity;
    return Enumerated(
        RegEnumKeyExA(key_, index, name, &length, nullptr, nullptr, nullptr, nullptr), more);
}

bool RegKey::ReadValue(const char* name, DWORD& type, void* buffer, DWORD& size) {
    return RegQueryValueExA(key_, name, nullptr, &type, static_cast<BYTE*>(buffer), &size) ==
           ERROR_SUCCESS;
}

bool RegKey::ProbeValue(const char* name, bool& present, DWORD& size) {
    size = 0;
    LONG result = RegQueryValueExA(key_, name, nullptr, nullptr, nullptr, &size);
    present = result == ERROR_SUCCESS;
    return present || result == ERROR_FILE_NOT_FOUND;
}

bool RegKey::ReadWideMultiString(const WCHAR* name, WCHAR* buffer, DWORD& size) {
    DWORD type = REG_NONE;
    return RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
               ERROR_SUCCESS &&
           type == REG_MULTI_SZ;
}

bool RegKey::WriteWideMultiString(const WCHAR* name, const WCHAR* data, DWORD size) {
    return RegSetValueExW(key_, name, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data), size) ==
           ERROR_SUCCESS;
}

namespace {

// A value name of the 8-bit calls as the wide calls take it; false when it does not convert.
bool WideName(const char* name, WCHAR (&wide)[kKeyPathCapacity]) {
    return name == nullptr || MultiByteToWideChar(CP_ACP, 0, name, -1, wide, kKeyPathCapacity) > 0;
}

} // namespace

bool RegKey::ReadStored(const char* name, DWORD& type, void* buffer, DWORD& size, bool& wide,
                        bool& present) {
    WCHAR wideName[kKeyPathCapacity];
    BYTE* bytes = static_cast<BYTE*>(buffer);
    LONG result = ERROR_CALL_NOT_IMPLEMENTED;
    DWORD wanted = size;
    if (WideName(name, wideName))
        result = RegQueryValueExW(key_, name ? wideName : nullptr, nullptr, &type, bytes, &size);
    // The 95 family has no wide registry calls; its registry holds the code page's text.
    wide = result != ERROR_CALL_NOT_IMPLEMENTED;
    if (!wide) {
        size = wanted;
        result = RegQueryValueExA(key_, name, nullptr, &type, bytes, &size);
    }
    present = result != ERROR_FILE_NOT_FOUND;
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool RegKey::WriteStored(const char* name, DWORD type, const void* data, DWORD size, bool wide) {
    WCHAR wideName[kKeyPathCapacity];
    if (!wide)
        return Write(name, type, data, size);
    return WideName(name, wideName) &&
           RegSetValueExW(key_, name ? wideName : nullptr, 0, type,
                          static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}
