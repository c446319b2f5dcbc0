#include "platform/regedit_export.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

void AppendQuoted(std::string& out, const char* text, size_t length) {
    out += '"';
    for (size_t i = 0; i < length && text[i]; ++i) {
        if (text[i] == '\\' || text[i] == '"')
            out += '\\';
        out += text[i];
    }
    out += '"';
}

// Hexadecimal data as regedit writes it: comma-separated bytes, lines continued with a
// backslash so that none grows past 80 columns.
void AppendHex(std::string& out, size_t column, const BYTE* data, DWORD size) {
    char byte[4];
    for (DWORD i = 0; i < size; ++i) {
        std::snprintf(byte, sizeof byte, "%02x", data[i]);
        if (i > 0) {
            out += ',';
            ++column;
            if (column + 3 > 78) {
                out += "\\\n  ";
                column = 2;
            }
        }
        out += byte;
        column += 2;
    }
}

void AppendValue(std::string& out, const char* name, DWORD nameLength, DWORD type,
                 const std::vector<BYTE>& data, DWORD size) {
    size_t lineStart = out.size();
    if (nameLength == 0)
        out += '@';
    else
        AppendQuoted(out, name, nameLength);
    out += '=';
    if (type == REG_SZ && (size == 0 || data[size - 1] == 0)) {
        AppendQuoted(out, reinterpret_cast<const char*>(data.data()), size);
    } else if (type == REG_DWORD && size == 4) {
        char number[16];
        DWORD value = static_cast<DWORD>(data[0]) | static_cast<DWORD>(data[1]) << 8 |
                      static_cast<DWORD>(data[2]) << 16 | static_cast<DWORD>(data[3]) << 24;
        std::snprintf(number, sizeof number, "%08x", static_cast<unsigned>(value));
        out += "dword:";
        out += number;
    } else {
        if (type == REG_BINARY) {
            out += "hex:";
        } else {
            char prefix[24];
            std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(type));
            out += prefix;
        }
        AppendHex(out, out.size() - lineStart, data.data(), size);
    }
    out += '\n';
}

void ExportKey(std::string& out, HKEY key, const std::string& section, bool ownSection) {
    if (ownSection)
        out += "[" + section + "]\n";
    std::vector<char> name(16384);
    std::vector<BYTE> data(1024);
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(data.size());
        LONG result =
            RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &size);
        if (result == ERROR_MORE_DATA && size > data.size()) {
            data.resize(size);
            --index;
            continue;
        }
        if (result != ERROR_SUCCESS)
            break;
        AppendValue(out, name.data(), nameLength, type, data, size);
    }
    if (ownSection)
        out += '\n';
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        if (RegEnumKeyExA(key, index, name.data(), &nameLength, nullptr, nullptr, nullptr,
                          nullptr) != ERROR_SUCCESS)
            break;
        HKEY child;
        if (RegOpenKeyExA(key, name.data(), 0, KEY_READ, &child) != ERROR_SUCCESS)
            continue;
        std::string childSection = section + "\\" + name.data();
        ExportKey(out, child, childSection, true);
        RegCloseKey(child);
    }
}

} // namespace

const char* RootKeyName(HKEY root) {
    if (root == HKEY_LOCAL_MACHINE)
        return "HKEY_LOCAL_MACHINE";
    if (root == HKEY_CURRENT_USER)
        return "HKEY_CURRENT_USER";
    if (root == HKEY_CLASSES_ROOT)
        return "HKEY_CLASSES_ROOT";
    if (root == HKEY_USERS)
        return "HKEY_USERS";
    return "";
}

std::string ExportRegistryKey(HKEY root, const char* path, bool header) {
    std::string out = header ? "REGEDIT4\n\n" : "";
    HKEY key;
    if (RegOpenKeyExA(root, path ? path : "", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return out;
    std::string section = RootKeyName(root);
    if (path && *path)
        section += std::string("\\") + path;
    // A root has no section line of its own; its subkeys' lines name it.
    ExportKey(out, key, section, path && *path);
    RegCloseKey(key);
    return out;
}

std::string ExportRegistryValue(HKEY root, const char* path, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "";
    std::vector<BYTE> data;
    DWORD type = 0;
    DWORD size = 0;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
    if (result == ERROR_SUCCESS) {
        data.resize(size);
        result = RegQueryValueExA(key, name, nullptr, &type, data.data(), &size);
    }
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return "";
    std::string out = std::string("[") + RootKeyName(root) + "\\" + path + "]\n";
    AppendValue(out, name, static_cast<DWORD>(std::strlen(name)), type, data, size);
    return out + "\n";
}
