#include "install/restart_deletions.h"

#include <cstring>
#include <memory>

#include "driver/setup_context.h"
#include "driver/shell_helpers.h"
#include "driver/string_helpers.h"
#include "platform/ascii_case.h"
#include "platform/file_stream.h"
#include "registry/reg_key.h"

namespace {

const char kWininitName[] = "wininit.ini";
const char kSessionManagerKey[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char kFileRenameKey[] =
    "System\\CurrentControlSet\\Control\\Session Manager\\FileRenameOperations";
const WCHAR kPendingValue[] = L"PendingFileRenameOperations";

// The line buffer of the "wininit.ini" scans.
constexpr int kLineCapacity = 1024;
constexpr DWORD kValueNameCapacity = 1024;

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// The length of the string at `text`, or `limit` when no zero comes within `limit` characters.
DWORD BoundedLength(const WCHAR* text, DWORD limit) {
    DWORD length = 0;
    while (length < limit && text[length] != 0)
        ++length;
    return length;
}

const char* SkipBlanks(const char* text) {
    while (IsWhiteSpace(*text))
        ++text;
    return text;
}

// "wininit.ini" in the Windows directory, opened for editing in place; null when it is not
// there (it is never created here) or its path does not fit. Binary mode: the edits seek to
// positions taken with TellFileStream, and the runtime's text-mode positions are byte counts
// only in a file whose every line ends in CR LF.
FileStream* OpenWininit() {
    char path[MAX_PATH];
    UINT length = GetWindowsDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || !JoinPath(path, kWininitName))
        return nullptr;
    return OpenFileStream(path, "r+b");
}

// Overwrites `count` bytes at `offset` with blanks.
bool BlankBytes(FileStream* stream, long offset, long count) {
    char blanks[kLineCapacity];
    std::memset(blanks, ' ', sizeof blanks);
    if (!SeekFileStream(stream, offset))
        return false;
    while (count > 0) {
        size_t chunk = count < kLineCapacity ? static_cast<size_t>(count) : sizeof blanks;
        if (!WriteFileStream(stream, blanks, chunk))
            return false;
        count -= static_cast<long>(chunk);
    }
    return true;
}

// After "NUL", blanks, "=" and blanks: the entry's path, or null when the line is no deletion.
const char* DeletionPath(const char* line) {
    const char* p = SkipBlanks(line);
    if (AsciiUpper(p[0]) != 'N' || AsciiUpper(p[1]) != 'U' || AsciiUpper(p[2]) != 'L')
        return nullptr;
    p = SkipBlanks(p + 3);
    if (*p != '=')
        return nullptr;
    return SkipBlanks(p + 1);
}

// The installed-file set as a scan compares entries with it: the selected modules'
// uninstallers, then the library. Each member is widened, and for "wininit.ini" lines put in
// its short form, once, on the first entry that needs it, rather than again for every line or
// value the scan meets. A member whose form cannot be had matches nothing.
class InstalledFileSet {
  public:
    InstalledFileSet(const SetupContext& context, bool shortForm)
        : context_(context), shortForm_(shortForm) {}

    // Whether an entry, `length` characters, names a member. Short form (a "wininit.ini"
    // line): it begins with the member's short path, character for character. Otherwise it is
    // the whole path, with or without the "\??\" that MoveFileEx puts before a path, ignoring
    // the case of ASCII letters as file names compare: a path that merely holds ours is not
    // ours. Compared in UTF-16, so that no character of another program's entry is lost to the
    // ANSI code page.
    bool Matches(const WCHAR* entry, DWORD length) {
        if (!paths_)
            Collect();
        if (!shortForm_ && length >= 4 && std::memcmp(entry, L"\\??\\", 4 * sizeof(WCHAR)) == 0) {
            entry += 4;
            length -= 4;
        }
        for (DWORD member = 0; member < count_; ++member) {
            if (Names(entry, length, paths_.get() + member * MAX_PATH, lengths_[member]))
                return true;
        }
        return false;
    }

    // An ANSI entry (a "wininit.ini" path, a value name), widened as the A calls widened it.
    bool Matches(const char* entry) {
        WCHAR wide[kLineCapacity];
        int size = MultiByteToWideChar(CP_ACP, 0, entry, -1, wide, kLineCapacity);
        return size > 0 && Matches(wide, static_cast<DWORD>(size - 1));
    }

  private:
    void Collect() {
        const DWORD members = context_.moduleCount + 1;
        paths_.reset(new WCHAR[members * MAX_PATH]);
        lengths_.reset(new DWORD[members]);
        for (DWORD i = 0; i < members; ++i) {
            const char* member = i == context_.moduleCount ? context_.findMenuLibraryPath.get()
                                 : context_.selected[i] ? context_.modules[i].uninstallerPath.get()
                                                        : nullptr;
            if (member == nullptr)
                continue;
            char shortPath[MAX_PATH];
            if (shortForm_) {
                DWORD shortLength = GetShortPathNameA(member, shortPath, MAX_PATH);
                if (shortLength == 0 || shortLength >= MAX_PATH)
                    continue;
                member = shortPath;
            }
            WCHAR* path = paths_.get() + count_ * MAX_PATH;
            int size = MultiByteToWideChar(CP_ACP, 0, member, -1, path, MAX_PATH);
            if (size < 1)
                continue;
            lengths_[count_++] = static_cast<DWORD>(size - 1);
        }
    }

    bool Names(const WCHAR* entry, DWORD length, const WCHAR* path, DWORD pathLength) const {
        if (shortForm_ ? length < pathLength : length != pathLength)
            return false;
        for (DWORD i = 0; i < pathLength; ++i) {
            if (entry[i] != path[i] &&
                (shortForm_ || AsciiUpperWide(entry[i]) != AsciiUpperWide(path[i])))
                return false;
        }
        return true;
    }

    const SetupContext& context_;
    const bool shortForm_;
    std::unique_ptr<WCHAR[]> paths_; // `count_` rows of MAX_PATH characters
    std::unique_ptr<DWORD[]> lengths_;
    DWORD count_ = 0;
};

// Hands every line of "wininit.ini", whatever its section, to `edit` with the position of its
// start. Edits overwrite bytes in place, so the file keeps its length, and seek back to the
// line's start so that the changed line is read again. An edit that could not be made answers
// false and ends the walk: the unchanged line would match again for ever. False when the file
// could not be opened, read or edited to its end.
template <typename Edit> bool EditWininitLines(Edit edit) {
    FileStream* stream = OpenWininit();
    if (stream == nullptr)
        return false;
    char line[kLineCapacity];
    bool edited = true;
    while (!FileStreamAtEnd(stream)) {
        long lineStart = TellFileStream(stream);
        if (lineStart < 0 || !ReadFileStreamLine(stream, line, sizeof line))
            break;
        if (!edit(stream, lineStart, line)) {
            edited = false;
            break;
        }
    }
    edited = edited && !FileStreamFailed(stream);
    CloseFileStream(stream);
    return edited;
}

void CancelWininitDeletions(const SetupContext& context) {
    InstalledFileSet installed(context, true);
    EditWininitLines([&installed](FileStream* stream, long lineStart, const char* line) {
        const char* path = DeletionPath(line);
        if (path == nullptr || !installed.Matches(path))
            return true;
        // Blanked with its line end, the line joins the next one, which is examined in turn.
        long lineEnd = TellFileStream(stream);
        return lineEnd > lineStart && BlankBytes(stream, lineStart, lineEnd - lineStart) &&
               SeekFileStream(stream, lineStart);
    });
}

void CancelRenameKeyValues(const SetupContext& context) {
    RegKey key(GetModuleShortName(0));
    if (!key.Open(LocalMachine, kFileRenameKey, false))
        return;
    char name[kValueNameCapacity];
    DWORD valueCount = 0;
    while (key.EnumValueName(valueCount, name, sizeof name))
        ++valueCount;
    // A deletion shifts the later values down, so the scan starts over, but only after a value
    // really went: a name that the enumeration hands out and the deletion cannot find (one
    // whose characters did not survive the ANSI conversion) would otherwise be met for ever.
    // No scan restarts more often than there were values to begin with.
    InstalledFileSet installed(context, false);
    DWORD index = 0;
    DWORD removed = 0;
    while (removed < valueCount && key.EnumValueName(index, name, sizeof name)) {
        if (installed.Matches(name) && key.ValueExists(name) && key.DeleteValue(name) &&
            !key.ValueExists(name)) {
            ++removed;
            index = 0;
        } else {
            ++index;
        }
    }
}

// Removes from the list, `count` characters, every deletion of an installed file, moving the
// rest down; whatever follows the list's empty string stays. True when any went and every pair
// up to that end was whole: a list cut short is left as it was.
bool RemoveOurDeletions(const SetupContext& context, WCHAR* list, DWORD& count) {
    InstalledFileSet installed(context, false);
    bool removed = false;
    DWORD offset = 0;
    while (offset < count && list[offset] != 0) {
        DWORD destination = offset + BoundedLength(list + offset, count - offset) + 1;
        if (destination >= count)
            return false;
        DWORD destinationLength = BoundedLength(list + destination, count - destination);
        DWORD end = destination + destinationLength + 1;
        if (end > count)
            return false;
        if (destinationLength == 0 && installed.Matches(list + offset, destination - 1 - offset)) {
            std::memmove(list + offset, list + end, (count - end) * sizeof(WCHAR));
            count -= end - offset;
            removed = true;
        } else {
            offset = end;
        }
    }
    return removed;
}

void CancelPendingRenames(const SetupContext& context) {
    RegKey key(GetModuleShortName(0));
    if (!key.Open(LocalMachine, kSessionManagerKey, false))
        return;
    // Read whole, however long updates have made it: a list read in part would keep the
    // deletion of a fresh uninstaller that lies further on. Another program may lengthen it
    // between asking its size and reading it, hence a few tries.
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD size = 0;
        if (!key.ReadWideMultiString(kPendingValue, nullptr, size) || size == 0)
            return;
        std::unique_ptr<WCHAR[]> list(new WCHAR[size / sizeof(WCHAR) + 1]);
        if (!key.ReadWideMultiString(kPendingValue, list.get(), size))
            continue;
        // A partial character is no list.
        if (size % sizeof(WCHAR) != 0)
            return;
        DWORD count = size / sizeof(WCHAR);
        if (RemoveOurDeletions(context, list.get(), count))
            key.WriteWideMultiString(kPendingValue, list.get(), count * sizeof(WCHAR));
        return;
    }
}

} // namespace

bool ScheduleDeleteAtRestart(const char* path, unsigned keyNumber, bool& wininitWritten) {
    if (path == nullptr || path[0] == '\0')
        return false;
    if (!IsWin9xPlatform())
        return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
    char shortPath[MAX_PATH];
    DWORD length = GetShortPathNameA(path, shortPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    char key[16] = "NQ";
    AppendHexNumber(key, sizeof key, keyNumber);
    if (!WritePrivateProfileStringA("Rename", key, shortPath, kWininitName))
        return false;
    wininitWritten = true;
    return true;
}

bool FinishWininitEntries() {
    // The profile calls may still hold the new entries in their cache; the file is edited
    // directly next, so they must be on disk first.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, kWininitName);
    return RewriteWininitKeys();
}

void WithdrawWininitEntry(unsigned keyNumber) {
    char key[16] = "NQ";
    AppendHexNumber(key, sizeof key, keyNumber);
    WritePrivateProfileStringA("Rename", key, nullptr, kWininitName);
}

bool ScheduleReplaceAtRestart(const char* from, const char* to) {
    return !IsWin9xPlatform() &&
           MoveFileExA(from, to, MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING) != FALSE;
}

void DeleteNowOrAtRestart(const char* path, unsigned keyNumber) {
    if (path == nullptr || DeleteFileA(path))
        return;
    bool wininitWritten = false;
    if (ScheduleDeleteAtRestart(path, keyNumber, wininitWritten) && wininitWritten &&
        IsWin9xPlatform() && !FinishWininitEntries())
        WithdrawWininitEntry(keyNumber);
}

bool RewriteWininitKeys() {
    return EditWininitLines([](FileStream* stream, long lineStart, const char* line) {
        const char* key = SkipBlanks(line);
        if (key[0] != 'N' || key[1] != 'Q' || !IsHexDigit(key[2]))
            return true;
        return SeekFileStream(stream, lineStart + static_cast<long>(key - line)) &&
               WriteFileStream(stream, "NUL", 3) && SeekFileStream(stream, lineStart);
    });
}

void CancelPendingDeletes(SetupContext& context) {
    if (IsWin9xPlatform()) {
        CancelWininitDeletions(context);
        return;
    }
    CancelRenameKeyValues(context);
    CancelPendingRenames(context);
}

bool MatchesInstalledFile(const char* entry, bool shortForm) {
    return g_currentContext != nullptr &&
           InstalledFileSet(*g_currentContext, shortForm).Matches(entry);
}
