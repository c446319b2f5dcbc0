// The in-memory file system and its control from tests: volumes, names, short names, sharing.
#include "platform/host/file_system.h"

#include <algorithm>
#include <cstring>

#include "platform/ascii_case.h"
#include "platform/host/emulation.h"

namespace hostemu {
namespace fs {

namespace {

const uint64_t kDefaultFreeBytes = 1ull << 30;

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsIllegalNameChar(unsigned char c, bool allowWildcards) {
    if (c < 32)
        return true;
    if (c == '*' || c == '?')
        return !allowWildcards;
    return std::strchr("<>:\"|", c) != nullptr;
}

// Characters an 8.3 name may not hold besides the dot and the blank.
bool IsIllegalShortChar(unsigned char c) {
    return c < 32 || std::strchr("\"*+,/:;<=>?[\\]|", c) != nullptr;
}

// Where the name that starts at `from` ends: at the next separator, or at the end of the text.
size_t NameEnd(std::string_view text, size_t from) {
    while (from < text.size() && !IsSeparator(text[from]))
        ++from;
    return from;
}

// Windows drops trailing dots and blanks from every name of a path.
std::string_view TrimName(std::string_view name) {
    if (name == "." || name == "..")
        return name;
    size_t end = name.size();
    while (end > 0 && (name[end - 1] == '.' || name[end - 1] == ' '))
        --end;
    return name.substr(0, end);
}

std::string ShortPart(const std::string& text, size_t limit) {
    std::string part;
    for (char c : Upper(text)) {
        if (c == ' ' || c == '.')
            continue;
        part += IsIllegalShortChar(static_cast<unsigned char>(c)) ? '_' : c;
        if (part.size() == limit)
            break;
    }
    return part;
}

bool ShortNameTaken(const Node& folder, const std::string& candidate) {
    std::string upper = Upper(candidate);
    for (const auto& entry : folder.children) {
        if (entry.first == upper || Upper(entry.second->shortName) == upper)
            return true;
    }
    return false;
}

// The alias NTFS would give a long name: six characters of the name, "~n" and the extension.
std::string MakeShortName(const Node& folder, const std::string& name) {
    size_t dot = name.find_last_of('.');
    std::string base =
        ShortPart(dot == std::string::npos || dot == 0 ? name : name.substr(0, dot), 8);
    std::string extension =
        dot == std::string::npos || dot == 0 ? std::string() : ShortPart(name.substr(dot + 1), 3);
    if (base.empty())
        base = "_";
    for (unsigned n = 1;; ++n) {
        std::string suffix = "~" + std::to_string(n);
        std::string candidate = base.substr(0, 8 - suffix.size()) + suffix;
        if (!extension.empty())
            candidate += "." + extension;
        if (!ShortNameTaken(folder, candidate))
            return candidate;
    }
}

bool MatchFrom(const std::string& mask, size_t m, const std::string& name, size_t n) {
    while (m < mask.size()) {
        char c = mask[m];
        if (c == '*') {
            for (size_t k = n; k <= name.size(); ++k) {
                if (MatchFrom(mask, m + 1, name, k))
                    return true;
            }
            return false;
        }
        if (n == name.size()) {
            // A trailing ? also matches nothing, as DOS masks do.
            return c == '?' && MatchFrom(mask, m + 1, name, n);
        }
        if (c != '?' && Upper(std::string(1, c)) != Upper(std::string(1, name[n])))
            return false;
        ++m;
        ++n;
    }
    return n == name.size();
}

void FreeTree(Node& node) {
    if (node.volume && !node.directory)
        node.volume->usedBytes -= node.data.size(), node.volume->freeBytes += node.data.size();
    for (auto& entry : node.children)
        FreeTree(*entry.second);
}

Volume& MakeVolume(const std::string& root, uint64_t freeBytes) {
    Volume& volume = State().volumes[Upper(root)];
    volume = Volume();
    volume.root = root;
    volume.freeBytes = freeBytes;
    volume.top = std::make_shared<Node>();
    volume.top->directory = true;
    volume.top->attributes = FILE_ATTRIBUTE_DIRECTORY;
    volume.top->volume = &volume;
    return volume;
}

// The folders of a freshly installed machine as the last full reset made them, so that the next
// reset can keep them when the run left them where they were and remove only what it added.
struct StandingFolder {
    std::shared_ptr<Node> node;
    Node* parent;
    std::string name;
    std::string upperName;
};

struct StandingFolders {
    Volume* volume = nullptr;
    std::shared_ptr<Node> top;
    std::string windowsDirectory;
    std::string systemDirectory;
    std::vector<StandingFolder> folders;
};

StandingFolders& Standing() {
    static StandingFolders standing;
    return standing;
}

void RecordFolders(const Node& folder) {
    for (const auto& entry : folder.children) {
        Standing().folders.push_back(
            {entry.second, const_cast<Node*>(&folder), entry.second->name, entry.first});
        RecordFolders(*entry.second);
    }
}

void RecordStanding(Volume& volume, const char* windowsDirectory, const char* systemDirectory) {
    StandingFolders& standing = Standing();
    standing.volume = &volume;
    standing.top = volume.top;
    standing.windowsDirectory = windowsDirectory;
    standing.systemDirectory = systemDirectory;
    RecordFolders(*volume.top);
}

bool IsStanding(const Node& node) {
    for (const StandingFolder& folder : Standing().folders) {
        if (folder.node.get() == &node)
            return true;
    }
    return false;
}

void PruneToStanding(Node& folder) {
    folder.attributes = FILE_ATTRIBUTE_DIRECTORY;
    for (auto it = folder.children.begin(); it != folder.children.end();) {
        if (IsStanding(*it->second)) {
            PruneToStanding(*it->second);
            ++it;
        } else {
            FreeTree(*it->second);
            it->second->parent = nullptr;
            it->second->volume = nullptr;
            it = folder.children.erase(it);
        }
    }
}

bool ResetToStandingFolders(const char* windowsDirectory, const char* systemDirectory) {
    StandingFolders& standing = Standing();
    FileSystemState& state = State();
    auto drive = state.volumes.find("C:");
    if (!standing.volume || drive == state.volumes.end() || &drive->second != standing.volume ||
        drive->second.top != standing.top || standing.windowsDirectory != windowsDirectory ||
        standing.systemDirectory != systemDirectory)
        return false;
    for (const StandingFolder& folder : standing.folders) {
        const Node& node = *folder.node;
        if (node.parent != folder.parent || node.volume != standing.volume || !node.directory ||
            node.name != folder.name)
            return false;
        auto it = folder.parent->children.find(folder.upperName);
        if (it == folder.parent->children.end() || it->second != folder.node)
            return false;
    }
    for (auto& entry : state.volumes)
        if (&entry.second != standing.volume)
            FreeTree(*entry.second.top);
    FileSystemState fresh;
    fresh.volumes.insert(state.volumes.extract(drive));
    state = std::move(fresh);
    Volume& volume = *standing.volume;
    // Pruned files give their bytes back: the counts are set once they are gone.
    PruneToStanding(*volume.top);
    volume.root = "C:";
    volume.freeBytes = kDefaultFreeBytes;
    volume.usedBytes = 0;
    volume.rootCreateError = Volume().rootCreateError;
    return true;
}

void ListTree(const Node& node, const std::string& path, std::string& text) {
    for (const auto& entry : node.children) {
        const Node& child = *entry.second;
        std::string childPath = path + "\\" + child.name;
        if (child.directory) {
            text += childPath + "\\\n";
            ListTree(child, childPath, text);
        } else {
            text += childPath + " " + std::to_string(child.data.size()) + "\n";
        }
    }
}

} // namespace

FileSystemState& State() {
    static FileSystemState state;
    return state;
}

std::map<uintptr_t, OpenFile>& OpenFiles() {
    return State().files;
}

uintptr_t NewHandleValue() {
    uintptr_t handle = State().nextHandle;
    State().nextHandle += 4;
    return handle;
}

std::string Upper(const std::string& text) {
    std::string upper = text;
    for (char& c : upper)
        c = AsciiUpper(c);
    return upper;
}

bool IsLegalShortName(const std::string& name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    size_t dot = name.find('.');
    std::string base = name.substr(0, dot);
    std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || extension.size() > 3)
        return false;
    if (dot != std::string::npos && extension.empty())
        return false;
    for (char c : base + extension) {
        if (c == ' ' || c == '.' || IsIllegalShortChar(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

bool MatchesMask(const std::string& mask, const std::string& name) {
    if (mask == "*.*" || mask == "*")
        return true;
    return MatchFrom(mask, 0, name, 0);
}

DWORD ParsePath(const char* path, ParsedPath& parsed, bool allowWildcards) {
    parsed = ParsedPath();
    if (path == nullptr || *path == '\0')
        return ERROR_PATH_NOT_FOUND;
    std::string_view text = path;
    std::string_view rest;
    std::string joined; // a relative path put after the current folder
    if (IsSeparator(text[0]) && text.size() > 1 && IsSeparator(text[1])) {
        // \\server\share\...: the share is the volume.
        size_t serverEnd = NameEnd(text, 2);
        if (serverEnd == text.size())
            return ERROR_BAD_NETPATH;
        size_t shareEnd = NameEnd(text, serverEnd + 1);
        if (serverEnd == 2 || shareEnd == serverEnd + 1)
            return ERROR_BAD_NETPATH;
        parsed.share = true;
        parsed.rootText = "\\\\";
        parsed.rootText.append(text.substr(2, serverEnd - 2)).append(1, '\\');
        parsed.rootText.append(text.substr(serverEnd + 1, shareEnd - serverEnd - 1));
        parsed.volumeKey = Upper(parsed.rootText);
        rest = shareEnd < text.size() ? text.substr(shareEnd + 1) : std::string_view();
    } else if (text.size() >= 2 && IsLetter(text[0]) && text[1] == ':') {
        parsed.rootText = std::string(text.substr(0, 2));
        parsed.volumeKey = Upper(parsed.rootText);
        if (text.size() > 2 && IsSeparator(text[2])) {
            rest = text.substr(3);
        } else {
            // Relative to the drive's current folder.
            const std::string& current = State().currentDirectory;
            if (Upper(current.substr(0, 2)) == parsed.volumeKey) {
                joined = current.substr(3) + "\\";
                joined.append(text.substr(2));
                rest = joined;
            } else {
                rest = text.substr(2);
            }
        }
    } else {
        const std::string& current = State().currentDirectory;
        parsed.rootText = current.substr(0, 2);
        parsed.volumeKey = Upper(parsed.rootText);
        if (IsSeparator(text[0])) {
            rest = text.substr(1);
        } else {
            joined = current.substr(3) + "\\";
            joined.append(text);
            rest = joined;
        }
    }
    parsed.trailingBackslash = IsSeparator(text.back());
    for (size_t start = 0;;) {
        size_t end = NameEnd(rest, start);
        bool last = end == rest.size();
        std::string_view name = TrimName(rest.substr(start, end - start));
        if (name == "..") {
            if (!parsed.parts.empty())
                parsed.parts.pop_back();
        } else if (!name.empty() && name != ".") {
            for (char c : name) {
                if (IsIllegalNameChar(static_cast<unsigned char>(c), allowWildcards && last))
                    return ERROR_INVALID_NAME;
            }
            parsed.parts.emplace_back(name);
        }
        if (last)
            break;
        start = end + 1;
    }
    return 0;
}

Volume* FindVolume(const ParsedPath& parsed, DWORD& error) {
    auto it = State().volumes.find(parsed.volumeKey);
    if (it == State().volumes.end()) {
        error = parsed.share ? ERROR_BAD_NETPATH : ERROR_PATH_NOT_FOUND;
        return nullptr;
    }
    return &it->second;
}

Node* FindFolder(Volume& volume, const std::vector<std::string>& parts, size_t count,
                 DWORD& error) {
    Node* folder = volume.top.get();
    for (size_t i = 0; i < count; ++i) {
        std::shared_ptr<Node> child = FindChild(*folder, parts[i]);
        if (!child || !child->directory) {
            error = ERROR_PATH_NOT_FOUND;
            return nullptr;
        }
        folder = child.get();
    }
    return folder;
}

std::shared_ptr<Node> FindChild(const Node& folder, std::string_view name) {
    auto it = folder.children.find(name);
    if (it != folder.children.end())
        return it->second;
    // A short name reaches its file too.
    for (const auto& entry : folder.children) {
        if (!entry.second->shortName.empty() && detail::EqualNames(entry.second->shortName, name))
            return entry.second;
    }
    return nullptr;
}

std::shared_ptr<Node> AddChild(Node& folder, const std::string& name, bool directory,
                               DWORD attributes) {
    auto child = std::make_shared<Node>();
    child->name = name;
    child->directory = directory;
    child->attributes = attributes;
    child->parent = &folder;
    child->volume = folder.volume;
    if (!IsLegalShortName(name))
        child->shortName = MakeShortName(folder, name);
    folder.children[Upper(name)] = child;
    return child;
}

void RemoveChild(Node& folder, const std::string& name) {
    auto it = folder.children.find(name);
    if (it == folder.children.end())
        return;
    FreeTree(*it->second);
    it->second->parent = nullptr;
    it->second->volume = nullptr;
    folder.children.erase(it);
}

bool ResizeData(Node& file, uint64_t size) {
    uint64_t old = file.data.size();
    if (file.volume) {
        if (size > old && size - old > file.volume->freeBytes)
            return false;
        file.volume->freeBytes = file.volume->freeBytes + old - size;
        file.volume->usedBytes = file.volume->usedBytes + size - old;
    }
    file.data.resize(static_cast<size_t>(size));
    return true;
}

bool SharingAllows(const Node& node, DWORD access, DWORD share) {
    auto reads = [](DWORD a) {
        return (a & (GENERIC_READ | GENERIC_EXECUTE | GENERIC_ALL | FILE_READ_DATA)) != 0;
    };
    auto writes = [](DWORD a) {
        return (a & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA)) != 0;
    };
    auto deletes = [](DWORD a) { return (a & (DELETE | GENERIC_ALL)) != 0; };
    for (const auto& entry : OpenFiles()) {
        const OpenFile& open = entry.second;
        if (open.node.get() != &node)
            continue;
        if ((reads(access) && !(open.share & FILE_SHARE_READ)) ||
            (writes(access) && !(open.share & FILE_SHARE_WRITE)) ||
            (deletes(access) && !(open.share & FILE_SHARE_DELETE)) ||
            (reads(open.access) && !(share & FILE_SHARE_READ)) ||
            (writes(open.access) && !(share & FILE_SHARE_WRITE)) ||
            (deletes(open.access) && !(share & FILE_SHARE_DELETE)))
            return false;
    }
    return true;
}

bool EnsureFolder(const char* path) {
    ParsedPath parsed;
    DWORD error = 0;
    if (ParsePath(path, parsed) != 0)
        return false;
    Volume* volume = FindVolume(parsed, error);
    if (!volume)
        return false;
    Node* folder = volume->top.get();
    for (const std::string& name : parsed.parts) {
        std::shared_ptr<Node> child = FindChild(*folder, name);
        if (!child)
            child = AddChild(*folder, name, true, FILE_ATTRIBUTE_DIRECTORY);
        if (!child->directory)
            return false;
        folder = child.get();
    }
    return true;
}

namespace {

// Every folder and file on every volume, the volumes' root folders included.
template <typename Visit> void ForEachNode(const std::shared_ptr<Node>& node, Visit& visit) {
    visit(node);
    for (const auto& entry : node->children)
        ForEachNode(entry.second, visit);
}
template <typename Visit> void ForEachNode(Visit visit) {
    for (auto& entry : State().volumes)
        ForEachNode(entry.second.top, visit);
}

void KeepDurableNames() {
    FileSystemState& state = State();
    state.durableNames.clear();
    ForEachNode([&state](const std::shared_ptr<Node>& node) {
        state.durableNames.push_back({node, node->name, node->shortName, node->attributes,
                                      node->parent, node->volume, node->children});
    });
}

} // namespace

void TrackDurableFiles() {
    FileSystemState& state = State();
    state.trackingDurability = true;
    state.durableBytes.clear();
    KeepDurableNames();
    ForEachNode([&state](const std::shared_ptr<Node>& node) {
        if (!node->directory)
            state.durableBytes[node.get()] = {node, node->data};
    });
}

void FlushedFile(const std::shared_ptr<Node>& file) {
    FileSystemState& state = State();
    if (!state.trackingDurability)
        return;
    state.durableBytes[file.get()] = {file, file->data};
    KeepDurableNames();
}

void CutFilesPower(bool loseNames, bool loseBytes) {
    FileSystemState& state = State();
    if (!state.trackingDurability)
        return;
    if (loseNames) {
        for (const FileSystemState::DurableName& kept : state.durableNames) {
            Node& node = *kept.node;
            node.name = kept.name;
            node.shortName = kept.shortName;
            node.attributes = kept.attributes;
            node.parent = kept.parent;
            node.volume = kept.volume;
            node.children = kept.children;
        }
    }
    // The system is gone with the power: nothing is open, nothing is still to be deleted on a
    // close, and each volume's free space is what its files leave.
    for (auto& entry : state.volumes) {
        Volume& volume = entry.second;
        const uint64_t size = volume.freeBytes + volume.usedBytes;
        uint64_t used = 0;
        auto settle = [&](const std::shared_ptr<Node>& node) {
            node->deleteOnClose = false;
            if (node->directory)
                return;
            if (loseBytes) {
                auto durable = state.durableBytes.find(node.get());
                // Never flushed since it was made: the name may be there, the bytes are not.
                if (durable == state.durableBytes.end())
                    node->data.clear();
                else
                    node->data = durable->second.second;
            }
            used += node->data.size();
        };
        ForEachNode(volume.top, settle);
        volume.usedBytes = used;
        volume.freeBytes = size > used ? size - used : 0;
    }
    // What is on the disk now is what the machine starts again with.
    TrackDurableFiles();
}

} // namespace fs

namespace detail {

void ResetFiles(const char* windowsDirectory, const char* systemDirectory) {
    fs::FileSystemState& state = fs::State();
    if (fs::ResetToStandingFolders(windowsDirectory, systemDirectory))
        return;
    for (auto& entry : state.volumes)
        fs::FreeTree(*entry.second.top);
    state = fs::FileSystemState();
    fs::Standing() = fs::StandingFolders();
    fs::Volume& volume = fs::MakeVolume("C:", fs::kDefaultFreeBytes);
    fs::EnsureFolder(windowsDirectory);
    fs::EnsureFolder(systemDirectory);
    fs::EnsureFolder(state.tempPath.c_str());
    fs::RecordStanding(volume, windowsDirectory, systemDirectory);
}

void EnsureFolder(const char* path) {
    fs::EnsureFolder(path);
}

} // namespace detail

void AddDrive(char letter, unsigned long long freeBytes) {
    fs::MakeVolume(std::string(1, letter) + ":", freeBytes);
}

void AddShare(const char* root, unsigned long long freeBytes, DWORD rootCreateError) {
    std::string text = root;
    while (!text.empty() && text.back() == '\\')
        text.pop_back();
    fs::MakeVolume(text, freeBytes).rootCreateError = rootCreateError;
}

bool SetFreeSpace(const char* root, unsigned long long freeBytes) {
    fs::ParsedPath parsed;
    DWORD error = 0;
    if (fs::ParsePath(root, parsed) != 0)
        return false;
    fs::Volume* volume = fs::FindVolume(parsed, error);
    if (!volume)
        return false;
    volume->freeBytes = freeBytes;
    return true;
}

bool WriteFileBytes(const char* path, const std::string& bytes) {
    fs::ParsedPath parsed;
    DWORD error = 0;
    if (fs::ParsePath(path, parsed) != 0 || parsed.parts.empty())
        return false;
    fs::Volume* volume = fs::FindVolume(parsed, error);
    if (!volume)
        return false;
    std::string folderPath = parsed.rootText;
    for (size_t i = 0; i + 1 < parsed.parts.size(); ++i)
        folderPath += "\\" + parsed.parts[i];
    if (!fs::EnsureFolder((folderPath + "\\").c_str()))
        return false;
    fs::Node* folder = fs::FindFolder(*volume, parsed.parts, parsed.parts.size() - 1, error);
    std::shared_ptr<fs::Node> file = fs::FindChild(*folder, parsed.parts.back());
    if (file && file->directory)
        return false;
    if (!file)
        file = fs::AddChild(*folder, parsed.parts.back(), false, FILE_ATTRIBUTE_ARCHIVE);
    if (!fs::ResizeData(*file, 0) || !fs::ResizeData(*file, bytes.size()))
        return false;
    if (!bytes.empty())
        std::memcpy(file->data.data(), bytes.data(), bytes.size());
    return true;
}

namespace {

// The existing file (not folder) at `path`, or null.
// The file or folder at `path` below a volume's root, or null.
std::shared_ptr<fs::Node> FindExistingEntry(const char* path) {
    fs::ParsedPath parsed;
    DWORD error = 0;
    if (fs::ParsePath(path, parsed) != 0 || parsed.parts.empty())
        return nullptr;
    fs::Volume* volume = fs::FindVolume(parsed, error);
    fs::Node* folder =
        volume ? fs::FindFolder(*volume, parsed.parts, parsed.parts.size() - 1, error) : nullptr;
    return folder ? fs::FindChild(*folder, parsed.parts.back()) : nullptr;
}

std::shared_ptr<fs::Node> FindExistingFile(const char* path) {
    std::shared_ptr<fs::Node> file = FindExistingEntry(path);
    return file && !file->directory ? file : nullptr;
}

} // namespace

bool ReadFileBytes(const char* path, std::string& bytes) {
    std::shared_ptr<fs::Node> file = FindExistingFile(path);
    if (!file)
        return false;
    bytes.assign(file->data.begin(), file->data.end());
    return true;
}

std::string ListFiles() {
    std::string text;
    for (const auto& entry : fs::State().volumes) {
        text += entry.second.root + "\\\n";
        fs::ListTree(*entry.second.top, entry.second.root, text);
    }
    return text;
}

bool HoldFileOpen(const char* path, DWORD shareMode) {
    std::shared_ptr<fs::Node> file = FindExistingFile(path);
    if (!file)
        return false;
    fs::OpenFile open;
    open.node = file;
    open.access = GENERIC_READ | GENERIC_WRITE;
    open.share = shareMode;
    open.heldElsewhere = true;
    fs::OpenFiles()[fs::NewHandleValue()] = open;
    return true;
}

bool RewriteAsAnotherProcess(const char* path, const std::string& bytes) {
    std::shared_ptr<fs::Node> file = FindExistingFile(path);
    const DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    if (!file || !fs::SharingAllows(*file, GENERIC_WRITE, shareAll) ||
        !fs::ResizeData(*file, bytes.size()))
        return false;
    std::copy(bytes.begin(), bytes.end(), file->data.begin());
    return true;
}

bool DeleteAsAnotherProcess(const char* path) {
    std::shared_ptr<fs::Node> file = FindExistingFile(path);
    if (!file || !file->parent ||
        !fs::SharingAllows(*file, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE))
        return false;
    fs::RemoveChild(*file->parent, file->name);
    return true;
}

static std::shared_ptr<fs::Node> FindExistingFolder(const char* path) {
    std::shared_ptr<fs::Node> folder = FindExistingEntry(path);
    return folder && folder->directory ? folder : nullptr;
}

bool MakeReparsePoint(const char* path) {
    std::shared_ptr<fs::Node> entry = FindExistingEntry(path);
    if (!entry)
        return false;
    entry->attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    return true;
}

std::string FolderSecurity(const char* path) {
    std::shared_ptr<fs::Node> folder = FindExistingFolder(path);
    return folder ? folder->security : std::string();
}

void ReleaseHeldFiles() {
    auto& files = fs::OpenFiles();
    for (auto it = files.begin(); it != files.end();) {
        if (it->second.heldElsewhere)
            it = files.erase(it);
        else
            ++it;
    }
}

void SetTempPath(const char* path) {
    std::string text = path;
    if (text.empty() || text.back() != '\\')
        text += '\\';
    fs::State().tempPath = text;
    fs::State().tempPathWide.clear();
    fs::EnsureFolder(text.c_str());
}

void SetTempPathWide(const WCHAR* wideName, const char* shortName) {
    std::wstring wide = wideName;
    if (wide.empty() || wide.back() != L'\\')
        wide += L'\\';
    fs::State().tempPath = fs::AddWideFolder(wide.c_str(), shortName);
    fs::State().tempPathWide = wide;
}

void SetModuleFileName(const char* path) {
    fs::State().moduleFileName = path;
}

namespace fs {

std::wstring Widen(const std::string& text) {
    std::wstring wide;
    for (char c : text)
        wide += detail::AnsiToWide(c);
    return wide;
}

bool Narrow(const std::wstring& text, std::string& narrow) {
    narrow.clear();
    bool whole = true;
    for (WCHAR c : text) {
        narrow += detail::WideToAnsi(c);
        whole = whole && detail::AnsiToWide(narrow.back()) == c;
    }
    return whole;
}

std::string AddWideFolder(const WCHAR* wideName, const char* shortName) {
    std::wstring wide = wideName;
    while (wide.size() > 3 && wide.back() == L'\\')
        wide.pop_back();
    State().wideFolders.emplace_back(wide, shortName ? shortName : "");
    if (shortName)
        EnsureFolder(shortName);
    std::string narrow;
    Narrow(wideName, narrow);
    return narrow;
}

} // namespace fs

} // namespace hostemu
