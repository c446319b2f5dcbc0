#include "tests/sweep/machine_items.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "platform/ascii_case.h"
#include "platform/host/emulation.h"
#include "platform/win32.h"

namespace {

const char kSessionManager[] =
    "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Session Manager";
const char kPendingValue[] = "PendingFileRenameOperations";
const char kWininit[] = "C:\\WINDOWS\\wininit.ini";

std::string Upper(std::string text) {
    for (char& c : text)
        c = AsciiUpper(c);
    return text;
}

bool StartsWith(const std::string& text, const std::string& start) {
    return Upper(text.substr(0, start.size())) == Upper(start);
}

// The export with every continued line joined to the one it continues.
std::vector<std::string> ExportLines() {
    std::string text = hostemu::ExportRegistry();
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    std::string pending;
    while (std::getline(in, line)) {
        if (!pending.empty()) {
            size_t start = line.find_first_not_of(' ');
            line = pending + (start == std::string::npos ? "" : line.substr(start));
            pending.clear();
        }
        if (!line.empty() && line.back() == '\\' && line.find('=') != std::string::npos &&
            line.find("hex") != std::string::npos) {
            pending = line.substr(0, line.size() - 1);
            continue;
        }
        lines.push_back(line);
    }
    return lines;
}

} // namespace

std::vector<PendingRename> PendingRenames() {
    std::vector<PendingRename> renames;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return renames;
    // Read in UTF-16, as the system keeps it: a name outside the ANSI code page must not come
    // back the same as a garbled one.
    DWORD size = 0;
    DWORD type = 0;
    const std::wstring name(kPendingValue, kPendingValue + sizeof kPendingValue - 1);
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::wstring data(size / sizeof(WCHAR), L'\0');
        RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data[0]),
                         &size);
        std::vector<std::string> strings(1);
        for (WCHAR c : data) {
            if (c == L'\0') {
                strings.emplace_back();
            } else if (c < 0x80) {
                strings.back() += static_cast<char>(c);
            } else {
                char escaped[16];
                std::snprintf(escaped, sizeof escaped, "\\u{%X}", static_cast<unsigned>(c));
                strings.back() += escaped;
            }
        }
        while (!strings.empty() && strings.back().empty())
            strings.pop_back();
        for (size_t i = 0; i < strings.size(); i += 2) {
            std::string source = strings[i];
            if (StartsWith(source, "\\??\\"))
                source = source.substr(4);
            renames.push_back({source, i + 1 < strings.size() ? strings[i + 1] : ""});
        }
    }
    RegCloseKey(key);
    return renames;
}

namespace {

// The pending renames as "AT-RESTART source" (deletions) or "RENAME source -> target" items.
void AddPendingRenames(MachineItems& items) {
    for (const PendingRename& rename : PendingRenames())
        items.insert(rename.target.empty() ? "AT-RESTART " + rename.source
                                           : "RENAME " + rename.source + " -> " + rename.target);
}

void AddWininit(MachineItems& items) {
    std::string text;
    if (!hostemu::ReadFileBytes(kWininit, text))
        return;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (StartsWith(line, "NUL="))
            items.insert("AT-RESTART " + line.substr(4));
        else
            items.insert("WININIT " + line);
    }
}

} // namespace

MachineItems CaptureMachine() {
    MachineItems items;
    std::string key;
    for (const std::string& line : ExportLines()) {
        if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
            key = line.substr(1, line.size() - 2);
            items.insert("KEY " + key);
        } else if (!line.empty() && (line[0] == '"' || line[0] == '@')) {
            // The pending renames are items of their own, one a file.
            if (Upper(key) == Upper(kSessionManager) && StartsWith(line, "\"PendingFileRename"))
                continue;
            items.insert("VALUE " + key + "|" + line);
        }
    }
    std::istringstream files(hostemu::ListFiles());
    std::string line;
    while (std::getline(files, line)) {
        if (Upper(line).rfind(Upper(kWininit) + " ", 0) == 0)
            continue;
        items.insert((!line.empty() && line.back() == '\\' ? "FOLDER " : "FILE ") + line);
    }
    AddPendingRenames(items);
    AddWininit(items);
    return items;
}

std::vector<std::string> ItemsMissingFrom(const MachineItems& a, const MachineItems& b) {
    std::vector<std::string> missing;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(missing));
    return missing;
}

std::string ItemPath(const std::string& item) {
    size_t space = item.find(' ');
    std::string kind = item.substr(0, space);
    std::string rest = item.substr(space + 1);
    if (kind == "KEY" || kind == "FOLDER" || kind == "AT-RESTART")
        return rest;
    if (kind == "VALUE")
        return rest.substr(0, rest.find('|'));
    if (kind == "FILE")
        return rest.substr(0, rest.rfind(' '));
    if (kind == "RENAME")
        return rest.substr(0, rest.find(" -> "));
    return std::string();
}

std::string SuiteRegion(const std::string& item) {
    const std::string path = Upper(ItemPath(item));
    const std::string kind = item.substr(0, item.find(' '));
    // A deletion at restart is the suite's when the file is.
    if (kind == "AT-RESTART" || kind == "RENAME")
        return SuiteRegion("FILE " + ItemPath(item) + " 0").empty() ? "" : "restart-time deletions";
    if (kind == "WININIT" ||
        StartsWith(path, std::string(kSessionManager) + "\\FileRenameOperations"))
        return "restart-time deletions";
    if (path.size() > 2 && path[1] == ':' && path.find("\\QUILLOSOFT\\") != std::string::npos)
        return "module files";
    // The payload extractor's files, and those the modules keep there.
    if (StartsWith(path, "C:\\WINDOWS\\TEMP\\NQ") ||
        (StartsWith(path, "C:\\WINDOWS\\TEMP\\") && path.size() > 4 &&
         path.compare(path.size() - 4, 4, ".NQA") == 0))
        return "temporary files";
    if (StartsWith(path, "C:\\WINDOWS\\DESKTOP\\") && path.find("QUILLO") != std::string::npos)
        return "desktop links";
    if (StartsWith(path, "C:\\WINDOWS\\SYSTEM32\\NETQUILLO.DLL") ||
        StartsWith(path, "C:\\WINDOWS\\SYSTEM\\NETQUILLO.DLL"))
        return "library";
    if (StartsWith(path, "C:\\WINDOWS\\") && path.find("QUILLOUNINSTALL.EXE") != std::string::npos)
        return "uninstallers";
    if (StartsWith(path, "HKEY_CURRENT_USER\\SOFTWARE\\QUILLOSOFT"))
        return item.find("|\"Distributor\"=") != std::string::npos ? "Distributor value"
                                                                   : "suite settings";
    const std::string classes = "HKEY_LOCAL_MACHINE\\SOFTWARE\\CLASSES\\";
    if (StartsWith(path, classes) && path.find("QUILLOSEARCH") != std::string::npos)
        return "document types";
    const std::string windows =
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\";
    if (StartsWith(path, classes + "CLSID\\{FE7634C0-F7B3-11CF-B9B4-444553540000}") ||
        StartsWith(path, windows + "EXPLORER\\FINDEXTENSIONS\\QUILLOS") ||
        (StartsWith(path, windows + "SHELL EXTENSIONS\\APPROVED") &&
         Upper(item).find("{FE7634C0-F7B3-11CF-B9B4-444553540000}") != std::string::npos))
        return "Find-menu registration";
    if (StartsWith(path, windows + "UNINSTALL\\") && path.find("QUILLO") != std::string::npos)
        return "uninstall entries";
    return std::string();
}

MachineItems AfterRestart(const MachineItems& items, const std::vector<PendingRename>& renames) {
    MachineItems after;
    for (const std::string& item : items) {
        if (item.rfind("AT-RESTART ", 0) != 0 && item.rfind("RENAME ", 0) != 0)
            after.insert(item);
    }
    auto findFile = [&after](const std::string& path) {
        for (auto it = after.lower_bound("FILE "); it != after.end() && it->rfind("FILE ", 0) == 0;
             ++it) {
            if (Upper(ItemPath(*it)) == Upper(path))
                return it;
        }
        return after.end();
    };
    for (const PendingRename& rename : renames) {
        auto source = findFile(rename.source);
        if (source == after.end())
            continue;
        const std::string length = source->substr(source->rfind(' '));
        after.erase(source);
        if (rename.target.empty())
            continue;
        std::string target = rename.target;
        if (StartsWith(target, "!"))
            target = target.substr(1);
        if (StartsWith(target, "\\??\\"))
            target = target.substr(4);
        auto existing = findFile(target);
        if (existing != after.end()) {
            target = ItemPath(*existing);
            after.erase(existing);
        }
        after.insert("FILE " + target + length);
    }
    return after;
}
