#include "tests/wizard/machine_value.h"

#include <algorithm>
#include <cstring>

#include "tests/support/test_world.h"

MachineValue::MachineValue(HKEY root, const char* keyPath, const char* name)
    : root_(root), keyPath_(keyPath), name_(name) {
    HKEY key;
    if (RegOpenKeyExA(root_, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type_, nullptr, &size) == ERROR_SUCCESS) {
        data_.resize(size + 1);
        existed_ =
            RegQueryValueExA(key, name, nullptr, &type_, data_.data(), &size) == ERROR_SUCCESS;
        data_.resize(size);
    }
    RegCloseKey(key);
}

MachineValue::~MachineValue() {
    if (existed_)
        Set(type_, data_.data(), static_cast<DWORD>(data_.size()));
    else
        Delete();
}

bool MachineValue::Set(DWORD type, const void* data, DWORD size) {
    HKEY key;
    if (RegCreateKeyExA(root_, keyPath_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    bool ok = RegSetValueExA(key, name_.c_str(), 0, type, static_cast<const BYTE*>(data), size) ==
              ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

bool MachineValue::SetString(const char* text) {
    return Set(REG_SZ, text, static_cast<DWORD>(std::strlen(text) + 1));
}

bool MachineValue::SetDword(DWORD value) {
    return Set(REG_DWORD, &value, sizeof value);
}

bool MachineValue::SetBinary(const std::string& bytes) {
    return Set(REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

bool MachineValue::Delete() {
    HKEY key;
    if (RegOpenKeyExA(root_, keyPath_.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return true;
    LONG result = RegDeleteValueA(key, name_.c_str());
    RegCloseKey(key);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool PutString(KeyBase base, const char* subPath, const char* name, const char* text) {
    RegKey key("News");
    return key.Open(base, subPath, false) && key.WriteString(name, text);
}

bool PutDword(KeyBase base, const char* subPath, const char* name, DWORD value) {
    RegKey key("News");
    return key.Open(base, subPath, false) && key.WriteDword(name, value);
}

std::string SortedValues(const std::string& path) {
    std::string text = RegistryText(HKEY_CURRENT_USER, path.c_str());
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line[0] == '"')
            lines.push_back(line + "\n");
    }
    std::sort(lines.begin(), lines.end());
    std::string sorted;
    for (const std::string& line : lines)
        sorted += line;
    return sorted;
}
