// Private profile files. The 95 family keeps the last profile file it touched in a cache and
// writes it back only when another file is used or the program asks for the flush (all
// arguments null); the NT family writes every change through at once. Either way the file on
// disk is the one the Win32 file calls see.
#include <cstring>
#include <string>
#include <vector>

#include "platform/host/emulation.h"
#include "platform/host/win32_api.h"

namespace {

struct ProfileLine {
    std::string key; // empty for a line that is no entry
    std::string value;
    std::string text; // the line as read, for lines that are no entry
};

struct ProfileSection {
    std::string name; // empty for lines before the first section
    bool hasHeader = false;
    std::vector<ProfileLine> lines;
};

struct CachedProfile {
    bool loaded = false;
    std::string path;
    std::vector<ProfileSection> sections;
    bool dirty = false;
};

CachedProfile& TheCache() {
    static CachedProfile cache;
    return cache;
}

std::string Trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// A bare file name lies in the Windows directory.
std::string ProfilePath(const char* fileName) {
    if (std::strpbrk(fileName, "\\/:") != nullptr)
        return fileName;
    char directory[MAX_PATH];
    hostemu::detail::NotTheProgram system;
    UINT length = GetWindowsDirectoryA(directory, MAX_PATH);
    std::string path(directory, length < MAX_PATH ? length : 0);
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path + fileName;
}

std::vector<ProfileSection> Parse(const std::string& bytes) {
    std::vector<ProfileSection> sections(1);
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        std::string line = bytes.substr(start, end == std::string::npos ? end : end - start);
        start = end == std::string::npos ? bytes.size() : end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::string trimmed = Trimmed(line);
        if (!trimmed.empty() && trimmed[0] == '[') {
            size_t close = trimmed.find(']');
            ProfileSection section;
            section.name =
                Trimmed(trimmed.substr(1, close == std::string::npos ? close : close - 1));
            section.hasHeader = true;
            sections.push_back(section);
            continue;
        }
        ProfileLine entry;
        size_t equals = trimmed.find('=');
        if (equals != std::string::npos && equals > 0 && trimmed[0] != ';') {
            entry.key = Trimmed(trimmed.substr(0, equals));
            entry.value = Trimmed(trimmed.substr(equals + 1));
        } else {
            entry.text = line;
        }
        sections.back().lines.push_back(entry);
    }
    return sections;
}

std::string Serialise(const std::vector<ProfileSection>& sections) {
    std::string bytes;
    for (const ProfileSection& section : sections) {
        if (section.hasHeader)
            bytes += "[" + section.name + "]\r\n";
        for (const ProfileLine& line : section.lines)
            bytes += (line.key.empty() ? line.text : line.key + "=" + line.value) + "\r\n";
    }
    return bytes;
}

// The profile calls read and write a file whole, as one call: a sweep fails the call itself,
// never half of it.
bool ReadWhole(const std::string& path, std::string& bytes) {
    hostemu::detail::NotTheProgram system;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    CloseHandle(file);
    return true;
}

bool WriteWhole(const std::string& path, const std::string& bytes) {
    hostemu::detail::NotTheProgram system;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    DWORD error = ok ? 0 : GetLastError();
    CloseHandle(file);
    if (!ok)
        SetLastError(error);
    return ok != FALSE;
}

// Writes the cached file back if it changed; false when that failed.
bool FlushCache() {
    CachedProfile& cache = TheCache();
    bool ok = true;
    if (cache.loaded && cache.dirty)
        ok = WriteWhole(cache.path, Serialise(cache.sections));
    cache = CachedProfile();
    return ok;
}

// The profile file in the cache, read afresh unless it is the one already there.
CachedProfile& Load(const std::string& path) {
    CachedProfile& cache = TheCache();
    if (cache.loaded && hostemu::detail::EqualNames(cache.path, path))
        return cache;
    FlushCache();
    std::string bytes;
    ReadWhole(path, bytes);
    cache.loaded = true;
    cache.path = path;
    cache.sections = Parse(bytes);
    return cache;
}

ProfileSection* FindSection(CachedProfile& cache, const char* name) {
    for (ProfileSection& section : cache.sections) {
        if (section.hasHeader && hostemu::detail::EqualNames(section.name, name))
            return &section;
    }
    return nullptr;
}

// Copies a string into the caller's buffer, cutting it to fit; the count copied without zero.
DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size) {
    if (size == 0)
        return 0;
    DWORD length = text.size() < size ? static_cast<DWORD>(text.size()) : size - 1;
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return length;
}

// A list of names, each with its zero, ended by one more zero; cut to fit with both zeros.
DWORD CopyList(const std::vector<std::string>& names, LPSTR buffer, DWORD size) {
    if (size < 2) {
        if (size == 1)
            buffer[0] = '\0';
        return 0;
    }
    DWORD at = 0;
    for (const std::string& name : names) {
        if (at + name.size() + 1 > size - 1) {
            // Cut: as much as fits, then the two zeros; the answer is size - 2.
            DWORD room = size - 1 - at;
            if (room > 0) {
                std::memcpy(buffer + at, name.data(), room - 1);
                buffer[at + room - 1] = '\0';
            }
            buffer[size - 1] = '\0';
            return size - 2;
        }
        std::memcpy(buffer + at, name.c_str(), name.size() + 1);
        at += static_cast<DWORD>(name.size()) + 1;
    }
    buffer[at] = '\0';
    return at;
}

// The NT family keeps no cache: every call reads the file and writes its change at once.
bool WritesThrough() {
    return hostemu::CurrentPlatformFamily() == hostemu::PlatformFamily::NT;
}

DWORD LookUp(CachedProfile& cache, LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer,
             DWORD size) {
    if (section == nullptr) {
        std::vector<std::string> names;
        for (const ProfileSection& each : cache.sections)
            if (each.hasHeader)
                names.push_back(each.name);
        return CopyList(names, buffer, size);
    }
    ProfileSection* found = FindSection(cache, section);
    if (key == nullptr) {
        std::vector<std::string> names;
        if (found)
            for (const ProfileLine& line : found->lines)
                if (!line.key.empty())
                    names.push_back(line.key);
        return CopyList(names, buffer, size);
    }
    if (found) {
        for (const ProfileLine& line : found->lines)
            if (!line.key.empty() && hostemu::detail::EqualNames(line.key, key))
                return CopyOut(line.value, buffer, size);
    }
    // The default loses its trailing blanks, as Windows trims it.
    std::string fallback = defaultValue ? defaultValue : "";
    while (!fallback.empty() && fallback.back() == ' ')
        fallback.pop_back();
    SetLastError(ERROR_FILE_NOT_FOUND);
    return CopyOut(fallback, buffer, size);
}

} // namespace

namespace hostemu {
namespace detail {
void ResetProfiles() {
    TheCache() = CachedProfile();
}
} // namespace detail
} // namespace hostemu

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer,
                               DWORD size, LPCSTR fileName) {
    if (buffer == nullptr || fileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string path = ProfilePath(fileName);
    if (DWORD error = hostemu::detail::CheckFault("GetPrivateProfileStringA", path)) {
        SetLastError(error);
        return CopyOut("", buffer, size);
    }
    DWORD copied = LookUp(Load(path), section, key, defaultValue, buffer, size);
    if (WritesThrough())
        TheCache() = CachedProfile();
    return copied;
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
    if (fileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string path = ProfilePath(fileName);
    if (DWORD error = hostemu::detail::CheckFault("WritePrivateProfileStringA", path)) {
        SetLastError(error);
        return FALSE;
    }
    if (section == nullptr && key == nullptr && value == nullptr) {
        // Only a flush: Windows answers FALSE here whatever happened.
        FlushCache();
        return FALSE;
    }
    if (section == nullptr)
        return FALSE;
    CachedProfile& cache = Load(path);
    ProfileSection* found = FindSection(cache, section);
    if (key == nullptr) {
        if (found) {
            cache.sections.erase(cache.sections.begin() + (found - cache.sections.data()));
            cache.dirty = true;
        }
    } else if (value == nullptr) {
        if (found) {
            for (size_t i = 0; i < found->lines.size(); ++i) {
                if (!found->lines[i].key.empty() &&
                    hostemu::detail::EqualNames(found->lines[i].key, key)) {
                    found->lines.erase(found->lines.begin() + i);
                    cache.dirty = true;
                    break;
                }
            }
        }
    } else {
        if (found == nullptr) {
            ProfileSection added;
            added.name = section;
            added.hasHeader = true;
            cache.sections.push_back(added);
            found = &cache.sections.back();
        }
        ProfileLine* entry = nullptr;
        for (ProfileLine& line : found->lines)
            if (!line.key.empty() && hostemu::detail::EqualNames(line.key, key))
                entry = &line;
        if (entry == nullptr) {
            found->lines.push_back(ProfileLine{key, value, std::string()});
        } else {
            entry->value = value;
        }
        cache.dirty = true;
    }
    if (!WritesThrough())
        return TRUE;
    bool ok = !cache.dirty || WriteWhole(cache.path, Serialise(cache.sections));
    TheCache() = CachedProfile();
    return ok ? TRUE : FALSE;
}
