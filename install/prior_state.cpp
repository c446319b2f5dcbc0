#include "install/prior_state.h"

#include <cstdlib>
#include <cstring>

#include "driver/setup_context.h"
#include "driver/string_helpers.h"
#include "install/document_types.h"
#include "install/find_menu.h"
#include "install/registry_names.h"
#include "install/restart_deletions.h"
#include "install/run_journal.h"

// The registry is kept as a run of records, each a kind letter and its fields:
//   'T' base, existed, shallow, path   a kept key: what follows up to the next 'T' is its tree
//   'K' path                           a key of that tree, parents before children
//   'V' name, wide, type, size, data   a value of the key before it, as stored: `wide` when
//                                      the wide calls read it (the NT family)
//   'A' existed                        the approval value, its 'V' after it when it existed
// A shallow key is kept for whether it was there only: the run never writes into it.
// The files are kept as 'F' path, kept copy ("" when there was no file) and 'D' folder.

namespace {

const char kKeptSuffix[] = ".nqkeep";
// The run's own file, moved aside while the earlier one goes back.
const char kAsideSuffix[] = ".nqundo";
// Deeper than any tree of the suite's; a deeper one is refused rather than read on a stack
// that would not hold it.
const int kDeepestKept = 32;

struct Record {
    char kind = 0;
    KeyBase base = CurrentUser;
    bool existed = false;
    bool shallow = false;
    bool wide = false;
    const char* text = nullptr; // the path or the value's name; the kept copy after a file's path
    DWORD type = 0;
    DWORD size = 0;
    const BYTE* data = nullptr;
};

DWORD ReadNumber(const BYTE* at) {
    DWORD number;
    std::memcpy(&number, at, sizeof number);
    return number;
}

// The record at `at`, which moves past it; false at the end, and at a record that does not lie
// whole within the buffer or is of no known kind (read back from a journal, the records are
// input like any other).
bool Next(const PriorState::Buffer& buffer, DWORD& at, Record& record) {
    if (at >= buffer.size)
        return false;
    const BYTE* p = buffer.data + at;
    const BYTE* const end = buffer.data + buffer.size;
    auto text = [&p, end](const char*& out) {
        const void* nul = std::memchr(p, 0, static_cast<size_t>(end - p));
        if (nul == nullptr)
            return false;
        out = reinterpret_cast<const char*>(p);
        p = static_cast<const BYTE*>(nul) + 1;
        return true;
    };
    record = Record();
    record.kind = static_cast<char>(*p++);
    const char* second = nullptr;
    switch (record.kind) {
    case 'T':
        if (end - p < 3 || (p[0] != CurrentUser && p[0] != LocalMachine && p[0] != ClassesRoot))
            return false;
        record.base = static_cast<KeyBase>(p[0]);
        record.existed = p[1] != 0;
        record.shallow = p[2] != 0;
        p += 3;
        return text(record.text) && (at = static_cast<DWORD>(p - buffer.data), true);
    case 'A':
        if (p == end)
            return false;
        record.existed = *p++ != 0;
        break;
    case 'K':
    case 'D':
        if (!text(record.text))
            return false;
        break;
    case 'F':
    case 'f':
        if (!text(record.text) || !text(second))
            return false;
        break;
    case 'V':
        if (!text(record.text) || end - p < 9)
            return false;
        record.wide = *p++ != 0;
        record.type = ReadNumber(p);
        record.size = ReadNumber(p + 4);
        if (record.size > static_cast<DWORD>(end - p - 8))
            return false;
        record.data = p + 8;
        p += 8 + record.size;
        break;
    default:
        return false;
    }
    at = static_cast<DWORD>(p - buffer.data);
    return true;
}

const char* KeptCopyOf(const Record& file) {
    return file.text + std::strlen(file.text) + 1;
}

// Whether `path` is `tree` or lies below it, ignoring letter case as the registry does.
bool WithinTree(const char* path, const char* tree) {
    size_t length = std::strlen(tree);
    char head[kKeyPathCapacity];
    if (std::strlen(path) < length || length >= sizeof head)
        return false;
    std::memcpy(head, path, length);
    head[length] = '\0';
    return EqualIgnoringCase(head, tree) && (path[length] == '\0' || path[length] == '\\');
}

// Appends the value `name` as stored. One that is not there (`present` clear) adds nothing: a
// name the listing's code page garbled names no value, and the suite writes no such name, so
// the run never touches it and it stops nothing.
bool AddValue(PriorState::Buffer& out, RegKey& key, const char* name, bool& present) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    bool wide = false;
    if (!key.ReadStored(name, type, nullptr, size, wide, present) || !present)
        return !present;
    const BYTE kind = 'V';
    if (!out.Add(&kind, 1) || !out.AddText(name))
        return false;
    DWORD header = out.size;
    BYTE* fields = out.Reserve(9 + size);
    if (fields == nullptr)
        return false;
    DWORD read = size;
    // A value that changed since it was sized is read again by the next attempt; here it only
    // fails the keeping.
    if (!key.ReadStored(name, type, out.data + header + 9, read, wide, present) || !present ||
        read > size)
        return false;
    out.data[header] = wide;
    std::memcpy(out.data + header + 1, &type, 4);
    std::memcpy(out.data + header + 5, &read, 4);
    out.size = header + 9 + read;
    return true;
}

// Appends the key at `path` and everything below it.
bool AddTree(PriorState::Buffer& out, KeyBase base, char (&path)[kKeyPathCapacity], int depth) {
    RegKey key("");
    bool present = false;
    const BYTE kind = 'K';
    if (depth > kDeepestKept || !key.Probe(base, path, present))
        return false;
    // A subkey listed but not there went meanwhile, or its name was garbled by the listing's
    // code page: the suite makes no such key, so the run never touches it.
    if (!present)
        return true;
    if (!out.Add(&kind, 1) || !out.AddText(path))
        return false;
    char name[kKeyPathCapacity];
    bool more = true;
    for (DWORD i = 0; more; ++i) {
        DWORD type;
        DWORD size;
        if (!key.EnumValue(i, name, sizeof name, type, size, more) ||
            (more && !AddValue(out, key, name, present)))
            return false;
    }
    const size_t length = std::strlen(path);
    more = true;
    for (DWORD i = 0; more; ++i) {
        if (!key.EnumSubkey(i, name, sizeof name, more))
            return false;
        if (!more)
            break;
        bool kept = ConcatStrings(path + length, sizeof path - length, "\\", name) &&
                    AddTree(out, base, path, depth + 1);
        path[length] = '\0';
        if (!kept)
            return false;
    }
    return true;
}

bool KeepTree(PriorState::Buffer& out, KeyBase base, const char* treePath, bool shallow) {
    char path[kKeyPathCapacity];
    RegKey key("");
    bool present = false;
    if (!CopyString(path, treePath, sizeof path) || !key.Probe(base, path, present))
        return false;
    key.Close();
    const BYTE header[4] = {'T', static_cast<BYTE>(base), present, shallow};
    return out.Add(header, sizeof header) && out.AddText(path) &&
           (!present || shallow || AddTree(out, base, path, 0));
}

bool KeepModuleTrees(PriorState::Buffer& out, const ModuleRow& row) {
    char path[kKeyPathCapacity];
    char extensionKey[MAX_PATH];
    char classKey[MAX_PATH];
    return row.productName && ConcatStrings(path, sizeof path, kUninstallKey, "\\") &&
           AppendString(path, sizeof path, row.productName.get()) &&
           KeepTree(out, LocalMachine, path, false) &&
           ConcatStrings(path, sizeof path, row.productName.get(), "Search") &&
           DocumentTypeKeys(path, extensionKey, classKey) &&
           KeepTree(out, ClassesRoot, extensionKey, false) &&
           KeepTree(out, ClassesRoot, classKey, false);
}

// The records of the kept tree that starts at `tree`: where its records end.
DWORD TreeEnd(const PriorState::Buffer& buffer, DWORD tree) {
    Record record;
    DWORD at = tree;
    Next(buffer, at, record);
    for (DWORD end = at; Next(buffer, at, record); end = at) {
        if (record.kind == 'T' || record.kind == 'A')
            return end;
    }
    return buffer.size;
}

// The 'K' record of `path` between `from` and `to`, or `to` when there is none.
DWORD FindKey(const PriorState::Buffer& buffer, DWORD from, DWORD to, const char* path) {
    Record record;
    for (DWORD at = from, here = from; here < to && Next(buffer, at, record); here = at) {
        if (record.kind == 'K' && EqualIgnoringCase(record.text, path))
            return here;
    }
    return to;
}

// The kept value `name` of the key whose record is at `key`, if it had one.
bool FindValue(const PriorState::Buffer& buffer, DWORD key, const char* name, Record& value) {
    DWORD at = key;
    Next(buffer, at, value);
    while (Next(buffer, at, value) && value.kind == 'V') {
        if (EqualIgnoringCase(value.text, name))
            return true;
    }
    return false;
}

bool SameValue(RegKey& key, const Record& kept) {
    BYTE* live = static_cast<BYTE*>(std::malloc(kept.size + 1));
    DWORD type = REG_NONE;
    DWORD size = kept.size + 1;
    bool wide = false;
    bool present = false;
    bool same = live != nullptr && key.ReadStored(kept.text, type, live, size, wide, present) &&
                present && wide == kept.wide && type == kept.type && size == kept.size &&
                std::memcmp(live, kept.data, size) == 0;
    std::free(live);
    return same;
}

// The key of the record at `at` as it was: the values and subkeys the run added go, the
// values it changed or deleted come back. Its kept subkeys follow as records of their own.
void RestoreKey(const PriorState::Buffer& buffer, KeyBase base, DWORD at, DWORD treeEnd) {
    Record kept;
    DWORD next = at;
    Next(buffer, next, kept);
    const char* path = kept.text;
    RegKey key("");
    if (!key.OpenToRestore(base, path))
        return;
    char name[kKeyPathCapacity];
    char child[kKeyPathCapacity];
    // A deletion moves the later entries down, so the index stays; a name that cannot be
    // deleted, or that the listing's code page garbles so that it names nothing, moves it on. The bound is every entry a key
    // can hold and ends the walk whatever the registry answers.
    bool more = true;
    for (DWORD i = 0, turns = 0; more && turns < 0x10000; ++turns) {
        DWORD type;
        DWORD size;
        Record value;
        if (!key.EnumValue(i, name, sizeof name, type, size, more) || !more)
            break;
        if (FindValue(buffer, at, name, value) || !key.ValueExists(name) ||
            !key.DeleteValue(name) || key.ValueExists(name))
            ++i;
    }
    while (Next(buffer, next, kept) && kept.kind == 'V') {
        if (!SameValue(key, kept))
            key.WriteStored(kept.text, kept.type, kept.data, kept.size, kept.wide);
    }
    more = true;
    for (DWORD i = 0, turns = 0; more && turns < 0x10000; ++turns) {
        if (!key.EnumSubkey(i, name, sizeof name, more) || !more)
            break;
        RegKey doomed("");
        bool present = false;
        if (!ConcatStrings(child, sizeof child, path, "\\") ||
            !AppendString(child, sizeof child, name) ||
            FindKey(buffer, at, treeEnd, child) != treeEnd ||
            !doomed.Probe(base, child, present) || !present || !doomed.DeleteTree(base, child))
            ++i;
    }
}

// The `number`th name beside `path`: "<path><suffix>", then "<path><suffix>2" to "...9".
bool NameBeside(const char* path, const char* suffix, char number, char (&name)[MAX_PATH]) {
    const char digit[] = {number, '\0'};
    return ConcatStrings(name, sizeof name, path, suffix) &&
           (number == '1' || AppendString(name, sizeof name, digit));
}

// Renames `path` to the first free name beside it, named in `kept`.
bool KeepBeside(const char* path, char (&kept)[MAX_PATH], const char* keptSuffix) {
    for (char number = '1'; number <= '9'; ++number) {
        if (!NameBeside(path, keptSuffix, number, kept))
            return false;
        if (MoveFileA(path, kept))
            return true;
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}

// Whether nothing is at `path`; false too when that cannot be told.
bool Absent(const char* path) {
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The first free name of "<path>.nqkeep", "<path>.nqkeep2" to "...9", in `kept`. A copy already
// there was left by a run that never ended or could not put it back: it may be the only copy of
// an earlier file, so it stays as it is.
bool FreeKeptName(const char* path, char (&kept)[MAX_PATH]) {
    for (char number = '1'; number <= '9'; ++number) {
        if (!NameBeside(path, kKeptSuffix, number, kept))
            return false;
        if (Absent(kept))
            return true;
    }
    return false;
}

// Whether `kept` is "" or one of the names FreeKeptName gives `path`: a journal that names any
// other would have the repair rename a stranger's file over one of the suite's.
bool KeptNameOf(const char* path, const char* kept) {
    char name[MAX_PATH];
    for (char number = '1'; kept[0] != '\0' && number <= '9'; ++number) {
        if (NameBeside(path, kKeptSuffix, number, name) && std::strcmp(name, kept) == 0)
            return true;
    }
    return kept[0] == '\0';
}

// A run's own files moved aside while the earlier ones went back, which a run cut off
// there left: they are the run's, never anyone else's.
void DeleteAsideCopies(const char* path) {
    char aside[MAX_PATH];
    for (char number = '1'; number <= '9'; ++number) {
        if (NameBeside(path, kAsideSuffix, number, aside))
            DeleteFileA(aside);
    }
}

// Whether the folder or file `path` has a record of `kind`.
bool FindFile(const PriorState::Buffer& buffer, char kind, const char* path, Record& found) {
    for (DWORD at = 0; Next(buffer, at, found);) {
        if (found.kind == kind && EqualIgnoringCase(found.text, path))
            return true;
    }
    return false;
}

} // namespace

BYTE* PriorState::Buffer::Reserve(DWORD bytes) {
    if (failed || bytes > 0x7FFFFFFFu - size) {
        failed = true;
        return nullptr;
    }
    if (size + bytes > capacity) {
        DWORD wanted = capacity < 4096 ? 4096 : capacity;
        while (wanted < size + bytes && wanted <= 0x3FFFFFFFu)
            wanted *= 2;
        BYTE* grown = wanted < size + bytes ? nullptr : static_cast<BYTE*>(std::realloc(data, wanted));
        if (grown == nullptr) {
            failed = true;
            return nullptr;
        }
        data = grown;
        capacity = wanted;
    }
    BYTE* at = data + size;
    size += bytes;
    return at;
}

bool PriorState::Buffer::Add(const void* bytes, DWORD count) {
    if (count == 0)
        return !failed;
    BYTE* at = Reserve(count);
    if (at != nullptr && count > 0)
        std::memcpy(at, bytes, count);
    return at != nullptr;
}

bool PriorState::Buffer::AddText(const char* text) {
    return Add(text, static_cast<DWORD>(std::strlen(text) + 1));
}

PriorState::~PriorState() {
    std::free(registry_.data);
    std::free(files_.data);
}

bool PriorState::KeepRegistry(const SetupContext& context) {
    char suitePath[kKeyPathCapacity];
    if (!CopyString(suitePath, kSuiteKeyPath, sizeof suitePath))
        return false;
    // "Software\QuilloSoft\NetQuillo": the suite key, the modules' keys and the settings.
    *std::strrchr(suitePath, '\\') = '\0';
    bool kept = KeepTree(registry_, CurrentUser, suitePath, false) &&
                KeepTree(registry_, CurrentUser, "Software\\QuilloSoft", true) &&
                KeepTree(registry_, LocalMachine, kFindGroupKey, false) &&
                KeepTree(registry_, ClassesRoot, kFindMenuClassKey, false);
    for (DWORD i = 0; kept && i < context.moduleCount; ++i)
        kept = !context.selected[i] || KeepModuleTrees(registry_, context.modules[i]);
    RegKey approved("");
    bool keyPresent = false;
    bool present = false;
    DWORD size = 0;
    kept = kept && approved.Probe(LocalMachine, kApprovedExtensionsKey, keyPresent) &&
           (!keyPresent || approved.ProbeValue(kFindMenuClassId, present, size));
    const BYTE header[2] = {'A', present};
    // Gone since it was probed, the value would leave the record without its 'V': the keeping
    // fails and is tried again.
    return kept && registry_.Add(header, sizeof header) &&
           (!present || (AddValue(registry_, approved, kFindMenuClassId, present) && present));
}

bool PriorState::KeyExisted(KeyBase base, const char* shortName, const char* subPath) const {
    HKEY root;
    char path[kKeyPathCapacity];
    if (!ComposeKeyPath(base, shortName ? shortName : "", subPath, root, path))
        return false;
    // The kept keys are named by the roots' own codes; the suite's codes live in one of them.
    KeyBase rootBase = root == HKEY_LOCAL_MACHINE ? LocalMachine
                       : root == HKEY_CLASSES_ROOT ? ClassesRoot
                                                   : CurrentUser;
    Record record;
    for (DWORD at = 0, here = 0; Next(registry_, at, record); here = at) {
        if (record.kind != 'T' || record.base != rootBase || !WithinTree(path, record.text))
            continue;
        if (!record.existed || record.shallow)
            return record.existed && EqualIgnoringCase(path, record.text);
        DWORD end = TreeEnd(registry_, here);
        return FindKey(registry_, at, end, path) != end;
    }
    return false;
}

bool PriorState::ApprovalExisted() const {
    Record record;
    for (DWORD at = 0; Next(registry_, at, record);) {
        if (record.kind == 'A')
            return record.existed;
    }
    return false;
}

void PriorState::RestoreRegistry() const {
    Record record;
    KeyBase base = CurrentUser;
    DWORD treeEnd = 0;
    // Only a kept tree that was there has 'K' records; each is restored within its tree.
    for (DWORD at = 0, here = 0; Next(registry_, at, record); here = at) {
        if (record.kind == 'T') {
            base = record.base;
            treeEnd = TreeEnd(registry_, here);
        } else if (record.kind == 'K') {
            RestoreKey(registry_, base, here, treeEnd);
        } else if (record.kind == 'A' && record.existed && Next(registry_, at, record)) {
            RegKey approved("");
            if (approved.OpenToRestore(LocalMachine, kApprovedExtensionsKey) &&
                !SameValue(approved, record))
                approved.WriteStored(record.text, record.type, record.data, record.size,
                                     record.wide);
        }
    }
}

bool PriorState::Note(char kind, const char* path, const char* kept) {
    Buffer record;
    const BYTE kindByte = static_cast<BYTE>(kind);
    bool noted = record.Add(&kindByte, 1) && record.AddText(path) &&
                 (kind != 'F' || record.AddText(kept)) &&
                 (journal_ == nullptr || journal_->Add(record.data, record.size));
    std::free(record.data);
    return noted;
}

bool PriorState::AddFileRecord(char kind, const char* path, const char* kept) {
    const BYTE kindByte = static_cast<BYTE>(kind);
    return files_.Add(&kindByte, 1) && files_.AddText(path) &&
           (kind != 'F' || files_.AddText(kept));
}

bool PriorState::KeepFile(const char* path) {
    char kept[MAX_PATH];
    // Written already by this run (the shared library, asked for by every module): the first
    // note tells how to undo it, and a second keeping would take the run's own file for the
    // earlier one.
    Record noted;
    if (FindFile(files_, 'F', path, noted))
        return true;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            return false;
        kept[0] = '\0';
        // On disk before the payload is written: a run cut off after it leaves a file that the
        // next start knows to be the run's.
        return Note('F', path, kept) && AddFileRecord('F', path, kept);
    }
    // The name is chosen and journalled before the rename, so that a run cut off between the
    // two leaves the earlier file findable under it.
    if (!FreeKeptName(path, kept) || !Note('F', path, kept) || !MoveFileA(path, kept))
        return false;
    if (AddFileRecord('F', path, kept))
        return true;
    // Not noted, the rollback would not know to put it back: it goes back at once.
    MoveFileA(kept, path);
    return false;
}

bool PriorState::UndoFile(const char* path) {
    Record file;
    if (!FindFile(files_, 'F', path, file))
        return false;
    const char* kept = KeptCopyOf(file);
    if (kept[0] == '\0')
        return true;
    files_.data[file.text - 1 - reinterpret_cast<const char*>(files_.data)] = 'f';
    // No kept copy: the run never renamed the file (it was cut off before), or the copy went
    // back already (a repair finishes one that was cut off). The file there is the earlier one.
    if (Absent(kept)) {
        DeleteAsideCopies(path);
        return false;
    }
    // The run's file moves aside before the earlier one comes back, so that the name never
    // stands empty with the earlier copy stuck beside it: a deletion would leave the name
    // pending while another program (a virus scanner, the indexer) holds the file with delete
    // sharing, and no rename could take it then.
    char aside[MAX_PATH];
    const bool moved = KeepBeside(path, aside, kAsideSuffix);
    const DWORD error = moved ? ERROR_SUCCESS : GetLastError();
    if (!moved && error != ERROR_FILE_NOT_FOUND) {
        // Held without delete sharing: the earlier copy replaces it at the next restart.
        ScheduleReplaceAtRestart(kept, path);
        return false;
    }
    if (MoveFileA(kept, path)) {
        if (moved)
            DeleteNowOrAtRestart(aside, kKeptCopyKey);
        else
            DeleteAsideCopies(path); // a repair: the cut-off undo had moved the file aside
        return false;
    }
    // The earlier copy cannot come back now: the run's file keeps the name until the restart.
    if (moved && !MoveFileA(aside, path))
        ScheduleReplaceAtRestart(aside, path);
    ScheduleReplaceAtRestart(kept, path);
    return false;
}

bool PriorState::NoteFolderToMake(const char* folder) {
    // Only a folder that is not there is the run's to make; one there already is left alone.
    return journal_ == nullptr || !Absent(folder) || Note('D', folder, nullptr);
}

bool PriorState::NoteFolderMade(const char* folder) {
    return AddFileRecord('D', folder, nullptr);
}

bool PriorState::FolderMade(const char* folder) const {
    Record found;
    return FindFile(files_, 'D', folder, found);
}

DWORD PriorState::MadeLevels(const char* folder) const {
    char level[MAX_PATH];
    if (!CopyString(level, folder, sizeof level))
        return 0;
    size_t length = std::strlen(level);
    if (length > 0 && IsPathSeparator(level[length - 1]))
        level[length - 1] = '\0';
    DWORD levels = 0;
    for (char* separator; FolderMade(level) && (separator = LastPathSeparator(level));) {
        ++levels;
        *separator = '\0';
    }
    return levels;
}

void PriorState::Drop() {
    Record file;
    for (DWORD at = 0; Next(files_, at, file);) {
        // A copy gone already was deleted by the run that kept it, before it was cut off.
        if (file.kind == 'F' && KeptCopyOf(file)[0] != '\0' && !Absent(KeptCopyOf(file)))
            DeleteNowOrAtRestart(KeptCopyOf(file), kKeptCopyKey);
    }
}

bool PriorState::Load(const BYTE* registry, DWORD registrySize, const BYTE* files,
                      DWORD filesSize) {
    if (!registry_.Add(registry, registrySize) || !files_.Add(files, filesSize))
        return false;
    // Every record whole and of its own buffer's kinds; each key within the kept tree before
    // it, which the first record opens; each kept copy named as setup names them.
    Record record;
    DWORD at = 0;
    const char* tree = nullptr;
    while (Next(registry_, at, record)) {
        if (record.kind == 'T') {
            tree = record.text;
        } else if (record.kind == 'F' || record.kind == 'f' || record.kind == 'D' ||
                   tree == nullptr || (record.kind == 'K' && !WithinTree(record.text, tree))) {
            return false;
        }
    }
    if (at != registry_.size)
        return false;
    at = 0;
    while (Next(files_, at, record)) {
        if (record.kind != 'F' && record.kind != 'D')
            return false;
        if (std::strlen(record.text) >= MAX_PATH ||
            (record.kind == 'F' && !KeptNameOf(record.text, KeptCopyOf(record))))
            return false;
    }
    return at == files_.size;
}
