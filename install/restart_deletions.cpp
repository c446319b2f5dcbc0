#include "install/restart_deletions.h"

#include <cstring>

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
const char kPendingValue[] = "PendingFileRenameOperations";

// The line buffer of the "wininit.ini" scans and the most of the pending list that is read.
constexpr int kLineCapacity = 1024;
constexpr DWORD kPendingCapacity = 16384;
constexpr DWORD kValueNameCapacity = 1024;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// The length of the string at `text`, or `limit` when no zero comes within `limit` bytes.
DWORD BoundedLength(const char* text, DWORD limit) {
    const void* zero = std::memchr(text, '\0', limit);
    return zero ? static_cast<DWORD>(static_cast<const char*>(zero) - text) : limit;
}

const char* SkipBlanks(const char* text) {
    while (IsBlank(*text))
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

bool MatchesMember(const char* entry, const char* member, bool shortForm) {
    if (member == nullptr)
        return false;
    if (!shortForm)
        return std::strstr(entry, member) != nullptr;
    char shortPath[MAX_PATH];
    DWORD length = GetShortPathNameA(member, shortPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    return std::strncmp(entry, shortPath, length) == 0;
}

bool MatchesFileOf(const SetupContext& context, const char* entry, bool shortForm) {
    for (DWORD i = 0; i < context.moduleCount; ++i) {
        if (context.selected[i] &&
            MatchesMember(entry, context.modules[i].uninstallerPath.get(), shortForm))
            return true;
    }
    return MatchesMember(entry, context.findMenuLibraryPath.get(), shortForm);
}

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
    EditWininitLines([&context](FileStream* stream, long lineStart, const char* line) {
        const char* path = DeletionPath(line);
        if (path == nullptr || !MatchesFileOf(context, path, true))
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
    DWORD index = 0;
    DWORD removed = 0;
    while (removed < valueCount && key.EnumValueName(index, name, sizeof name)) {
        if (MatchesFileOf(context, name, false) && key.ValueExists(name) && key.DeleteValue(name) &&
            !key.ValueExists(name)) {
            ++removed;
            index = 0;
        } else {
            ++index;
        }
    }
}

// Removes from the list every pair whose source names an installed file; true when any went.
bool RemoveMatchingPairs(const SetupContext& context, char* list, DWORD& size) {
    bool removed = false;
    DWORD offset = 0;
    while (offset < size && list[offset] != '\0') {
        DWORD sourceLength = BoundedLength(list + offset, size - offset);
        if (offset + sourceLength >= size)
            break;
        DWORD destination = offset + sourceLength + 1;
        if (destination >= size)
            break;
        DWORD destinationLength = BoundedLength(list + destination, size - destination);
        if (destination + destinationLength >= size)
            break;
        DWORD pairSize = sourceLength + 1 + destinationLength + 1;
        if (MatchesFileOf(context, list + offset, false)) {
            std::memmove(list + offset, list + offset + pairSize, size - offset - pairSize);
            size -= pairSize;
            removed = true;
        } else {
            offset += pairSize;
        }
    }
    return removed;
}

void CancelPendingRenames(const SetupContext& context) {
    RegKey key(GetModuleShortName(0));
    if (!key.Open(LocalMachine, kSessionManagerKey, false) || !key.ValueExists(kPendingValue))
        return;
    char list[kPendingCapacity];
    DWORD size = sizeof list;
    if (!key.ReadMultiString(kPendingValue, list, size))
        return;
    if (RemoveMatchingPairs(context, list, size))
        key.WriteMultiString(kPendingValue, list, size);
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
    return g_currentContext != nullptr && MatchesFileOf(*g_currentContext, entry, shortForm);
}
