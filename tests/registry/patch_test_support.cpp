#include "tests/registry/patch_test_support.h"

const std::string kSuitePath = "Software\\QuilloSoft\\NetQuillo\\CurrentVersion";

bool ApplyBody(const std::string& body, PatchStop* stop, const char* shortName) {
    std::string text = "REGPATCH1.0000\r\n" + body;
    RegPatch patch;
    return patch.Apply(shortName, text.c_str(), stop);
}

StoredValue ReadStored(const std::string& subPath, const char* name) {
    StoredValue stored;
    HKEY key;
    std::string path = kSuitePath + "\\" + subPath;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return stored;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &stored.type, nullptr, &size) == ERROR_SUCCESS) {
        stored.bytes.resize(size);
        BYTE* data = size ? reinterpret_cast<BYTE*>(&stored.bytes[0]) : nullptr;
        BYTE empty;
        stored.exists = RegQueryValueExA(key, name, nullptr, &stored.type, data ? data : &empty,
                                         &size) == ERROR_SUCCESS;
        stored.bytes.resize(size);
    }
    RegCloseKey(key);
    return stored;
}

bool KeyExists(const std::string& path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::string DwordBytes(std::initializer_list<DWORD> numbers) {
    std::string bytes;
    for (DWORD number : numbers)
        for (int shift = 0; shift < 32; shift += 8)
            bytes += static_cast<char>((number >> shift) & 0xFF);
    return bytes;
}
