#include "install/run_journal.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>

#include "driver/image_crc.h"
#include "driver/object_owner.h"
#include "driver/setup_context.h"
#include "driver/shell_helpers.h"
#include "driver/string_helpers.h"
#include "driver/system_libraries.h"
#include "install/restart_deletions.h"
#include "install/rollback.h"

namespace {

const char kJournalFile[] = "NetQuilloSetup.nqj";
const BYTE kTag[8] = {'N', 'Q', 'J', 'R', 'N', 'L', 0x1A, 1};
// Only SYSTEM and the administrators may read or write it, whatever the folder lets others do.
const char kJournalSecurity[] = "O:BAD:P(A;;FA;;;SY)(A;;FA;;;BA)";
// Far above any journal setup writes (a few kilobytes of registry, one record a file); a larger
// file is refused unread.
const DWORD kLargestJournal = 16u << 20;
const DWORD kFrameHead = 8;

DWORD ReadNumber(const BYTE* at) {
    DWORD number;
    std::memcpy(&number, at, sizeof number);
    return number;
}

// Windows writes the registry's hives to the disk when it likes. Before a frame that vouches
// for the registry (the commit), and before the journal goes, the hives setup changes are
// written out: otherwise a power cut could keep the frame, or the journal's deletion, and lose
// the keys. The machine's software and system hives (restart-time deletions live in the
// latter) and the user's.
void FlushRegistry() {
    RegFlushKey(HKEY_CURRENT_USER);
    for (const char* hive : {"SOFTWARE", "SYSTEM"}) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, hive, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
            RegFlushKey(key);
            RegCloseKey(key);
        }
    }
}

bool JournalPath(char (&path)[MAX_PATH]) {
    const UINT length = GetWindowsDirectoryA(path, MAX_PATH);
    return length > 0 && length < MAX_PATH && JoinPath(path, kJournalFile);
}

// The header frame's body: the modules, their folders and the kept registry.
JournalRead ReadHeader(const BYTE* body, DWORD size, DWORD moduleCount, JournalContents& out) {
    if (size < 8)
        return JournalRead::Refused;
    out.moduleCount = ReadNumber(body);
    out.selected = ReadNumber(body + 4);
    if (out.moduleCount != moduleCount || moduleCount > 32 ||
        (moduleCount < 32 && (out.selected >> moduleCount) != 0))
        return JournalRead::Refused;
    const BYTE* p = body + 8;
    const BYTE* const end = body + size;
    for (DWORD i = 0; i < moduleCount; ++i) {
        if (!(out.selected & (1u << i)))
            continue;
        const void* nul = std::memchr(p, 0, static_cast<size_t>(end - p));
        const char* path = reinterpret_cast<const char*>(p);
        if (nul == nullptr || static_cast<const BYTE*>(nul) - p >= MAX_PATH ||
            PathRootLength(path) == 0)
            return JournalRead::Refused;
        out.installPaths[i] = path;
        p = static_cast<const BYTE*>(nul) + 1;
    }
    out.registry = p;
    out.registrySize = static_cast<DWORD>(end - p);
    return JournalRead::Whole;
}

// The rollback of a failed run, with the run's selection and folders from the journal in the
// context for as long as it takes.
void RollBackJournalled(SetupContext& context, const JournalContents& contents,
                        PriorState& prior) {
    const DWORD count = context.moduleCount;
    std::unique_ptr<BYTE[]> selection(new BYTE[count]);
    std::memcpy(selection.get(), context.selected.get(), count);
    for (DWORD i = 0; i < count; ++i) {
        context.selected[i] = (contents.selected >> i) & 1;
        if (context.selected[i]) {
            context.modules[i].installPath.reset(new char[MAX_PATH]);
            CopyString(context.modules[i].installPath.get(), contents.installPaths[i], MAX_PATH);
        }
    }
    context.prior = &prior;
    RollBack(context);
    context.prior = nullptr;
    std::memcpy(context.selected.get(), selection.get(), count);
    for (DWORD i = 0; i < count; ++i)
        context.modules[i].installPath.reset();
}

enum class FileRead { Read, NotOurs, Unreadable };

// The journal's bytes, when it is a file of setup's own.
FileRead ReadJournalFile(const char* path, std::unique_ptr<BYTE[]>& data, DWORD& size) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return FileRead::Unreadable;
    // On the 95 family files have no owner, and anybody may write anywhere. Elsewhere the
    // journal is the administrators' (Windows) or the user's setup ran as (Wine gives an
    // administrator's files to the user), in a folder only administrators may write.
    FileRead outcome = IsWin9xPlatform() ||
                               OwnedBy(file, SE_FILE_OBJECT, Owners::AdministratorsOrCaller)
                           ? FileRead::Read
                           : FileRead::NotOurs;
    size = GetFileSize(file, nullptr);
    if (outcome == FileRead::Read && (size == INVALID_FILE_SIZE || size > kLargestJournal))
        outcome = FileRead::NotOurs;
    if (outcome == FileRead::Read) {
        data.reset(new BYTE[size + 1]);
        DWORD got = 0;
        if (!ReadFile(file, data.get(), size, &got, nullptr) || got != size)
            outcome = FileRead::Unreadable;
    }
    CloseHandle(file);
    return outcome;
}

} // namespace

JournalContents::~JournalContents() {
    std::free(files.data);
}

JournalRead ReadJournal(const BYTE* data, DWORD size, DWORD moduleCount, JournalContents& out) {
    if (size < sizeof kTag)
        return std::memcmp(data, kTag, size) == 0 ? JournalRead::Unbegun : JournalRead::Refused;
    if (std::memcmp(data, kTag, sizeof kTag) != 0)
        return JournalRead::Refused;
    bool begun = false;
    for (DWORD at = sizeof kTag; size - at >= kFrameHead;) {
        const DWORD length = ReadNumber(data + at);
        const BYTE* body = data + at + kFrameHead;
        // Cut off while it was written: the change it covers was never made.
        if (length == 0 || length > size - at - kFrameHead ||
            image_crc::Crc32(body, length, image_crc::Crc32(data + at, 4)) !=
                ReadNumber(data + at + 4))
            break;
        at += kFrameHead + length;
        const char kind = static_cast<char>(body[0]);
        if (!begun) {
            if (kind != 'H' || ReadHeader(body + 1, length - 1, moduleCount, out) !=
                                   JournalRead::Whole)
                return JournalRead::Refused;
            begun = true;
        } else if (out.committed) {
            return JournalRead::Refused; // nothing follows the install's end
        } else if (kind == 'C' && length == 1) {
            out.committed = true;
        } else if ((kind != 'F' && kind != 'D') || !out.files.Add(body, length)) {
            return JournalRead::Refused;
        }
    }
    return begun ? JournalRead::Whole : JournalRead::Unbegun;
}

bool AppendJournalTag(PriorState::Buffer& out) {
    return out.Add(kTag, sizeof kTag);
}

bool AppendJournalFrame(PriorState::Buffer& out, char kind, const void* body, DWORD size) {
    if (size >= kLargestJournal)
        return false;
    const DWORD length = size + 1;
    const DWORD start = out.size;
    BYTE* frame = out.Reserve(kFrameHead + length);
    if (frame == nullptr)
        return false;
    std::memcpy(frame, &length, 4);
    frame[kFrameHead] = static_cast<BYTE>(kind);
    if (size > 0)
        std::memcpy(frame + kFrameHead + 1, body, size);
    const DWORD sum = image_crc::Crc32(frame + kFrameHead, length, image_crc::Crc32(frame, 4));
    std::memcpy(out.data + start + 4, &sum, 4);
    return true;
}

RunJournal::~RunJournal() {
    if (file_ != INVALID_HANDLE_VALUE)
        CloseHandle(file_);
}

bool RunJournal::Begin(const SetupContext& context, const PriorState& prior) {
    char (&path)[MAX_PATH] = path_;
    if (context.moduleCount > 32 || !JournalPath(path))
        return false;
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, nullptr, FALSE};
    if (!IsWin9xPlatform())
        attributes.lpSecurityDescriptor = DescriptorFromText(kJournalSecurity);
    // A journal there already is one that the start could not repair: it is never written over.
    file_ = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0,
                        attributes.lpSecurityDescriptor ? &attributes : nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (attributes.lpSecurityDescriptor)
        LocalFree(attributes.lpSecurityDescriptor);
    if (file_ == INVALID_HANDLE_VALUE)
        return false;
    PriorState::Buffer header;
    DWORD numbers[2] = {context.moduleCount, 0};
    for (DWORD i = 0; i < context.moduleCount; ++i)
        numbers[1] |= context.selected[i] ? 1u << i : 0;
    bool built = header.Add(numbers, sizeof numbers);
    for (DWORD i = 0; built && i < context.moduleCount; ++i) {
        const char* folder = context.modules[i].installPath.get();
        built = !context.selected[i] || (folder != nullptr && header.AddText(folder));
    }
    const PriorState::Buffer& registry = prior.KeptRegistry();
    built = built && header.Add(registry.data, registry.size);
    // The tag and the first frame in one write: cut off within it, the journal reads as unbegun.
    PriorState::Buffer start;
    bool begun = built && AppendJournalTag(start) &&
                 AppendJournalFrame(start, 'H', header.data, header.size) && WriteAll(start);
    std::free(header.data);
    std::free(start.data);
    if (!begun)
        Remove();
    return begun;
}

bool RunJournal::WriteAll(const PriorState::Buffer& bytes) {
    DWORD written = 0;
    return file_ != INVALID_HANDLE_VALUE && !bytes.failed &&
           WriteFile(file_, bytes.data, bytes.size, &written, nullptr) && written == bytes.size &&
           FlushFileBuffers(file_);
}

bool RunJournal::WriteFrame(char kind, const void* body, DWORD size) {
    PriorState::Buffer frame;
    const bool written = AppendJournalFrame(frame, kind, body, size) && WriteAll(frame);
    std::free(frame.data);
    return written;
}

bool RunJournal::Add(const void* record, DWORD size) {
    // The record's own first byte is its kind.
    return size > 0 &&
           WriteFrame(static_cast<char>(*static_cast<const BYTE*>(record)),
                      static_cast<const BYTE*>(record) + 1, size - 1);
}

bool RunJournal::Commit() {
    // The payloads were flushed as each was written; the registry's patches are flushed here.
    // A hive that cannot be flushed now is still written by Windows in time: rolling back for
    // it would lean on the same registry that just refused, and undo a whole install.
    FlushRegistry();
    return WriteFrame('C', nullptr, 0);
}

void RunJournal::Remove() {
    if (file_ == INVALID_HANDLE_VALUE)
        return;
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    // As at the commit, a hive that cannot be flushed does not stop the journal's end: a run
    // that ended must not be repaired again.
    FlushRegistry();
    // Left until the restart, it is finished again by any start before it, which changes nothing.
    DeleteNowOrAtRestart(path_, kJournalKey);
}

JournalRepair RepairCutOffRun(SetupContext& context) {
    char path[MAX_PATH];
    if (!JournalPath(path))
        return JournalRepair::None;
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return JournalRepair::None;
    // A folder or a link in its place is nobody's journal: taken away, never followed.
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryA(path);
        return JournalRepair::Refused;
    }
    std::unique_ptr<BYTE[]> data;
    DWORD size = 0;
    const FileRead read = attributes & FILE_ATTRIBUTE_REPARSE_POINT
                              ? FileRead::NotOurs
                              : ReadJournalFile(path, data, size);
    if (read == FileRead::Unreadable)
        return JournalRepair::None; // there, but not readable now: the next start tries again
    JournalContents contents;
    const JournalRead whole = read == FileRead::Read
                                  ? ReadJournal(data.get(), size, context.moduleCount, contents)
                                  : JournalRead::Refused;
    PriorState prior;
    if (whole == JournalRead::Refused ||
        (whole == JournalRead::Whole &&
         !prior.Load(contents.registry, contents.registrySize, contents.files.data,
                     contents.files.size))) {
        DeleteFileA(path);
        return JournalRepair::Refused;
    }
    JournalRepair repair = JournalRepair::None;
    if (whole == JournalRead::Whole && contents.committed) {
        prior.Drop();
        repair = JournalRepair::Completed;
    } else if (whole == JournalRead::Whole) {
        RollBackJournalled(context, contents, prior);
        repair = JournalRepair::RolledBack;
    }
    // Last, once what the repair put back is on the disk: cut off before this, it is made again.
    if (repair != JournalRepair::None)
        FlushRegistry();
    DeleteFileA(path);
    return repair;
}

const char* RepairMessage(JournalRepair repair) {
    switch (repair) {
    case JournalRepair::RolledBack:
        return "An earlier installation was cut off before it ended; what it had changed has "
               "been put back as it was.";
    case JournalRepair::Completed:
        return "An earlier installation was cut off as it ended; it has been completed.";
    case JournalRepair::Refused:
        return "A file in the place of setup's journal was not setup's own; it was deleted "
               "unread.";
    case JournalRepair::None:
        break;
    }
    return nullptr;
}
