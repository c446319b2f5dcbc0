// The fault sweep: setup's default install of all six modules, played from the process entry by
// the tests' scripted user on the host emulation, once for every call the program makes that
// can fail, with that call failing. Each run starts from the same machine, because each is a
// child process forked at the moment of its call: everything before it happened exactly as in
// the clean run. A run passes when it neither crashes nor hangs, setup exits with 0, it
// reports at most one outcome, and the machine is left installed (whole, apart from the steps
// whose failure setup ignores by design) or as it was (apart from the survivors the rollback
// leaves by design, each named). Nothing outside the suite's own keys, files and folders may
// change in any run. Prints a summary of the whole failure surface and answers 1 when any run
// failed.
//
// Usage: fault_sweep nt|win9x [reinstall] [persistent|cut|recut] [power] [then=FUNCTION] [jobs=N]
//                    [first=K] [last=K] [every=N] [show] [summary=FILE]
//   reinstall   the machine already holds a first install of all six modules
//   persistent  every later call of the swept call's function fails too (a disk that fills
//               up, a registry that turns read-only)
//   cut         the cut-off sweep: at the swept call the process ends there, as if it were
//               killed (no rollback, no destructor, nothing after it); then setup starts again
//               with /S and arguments it refuses, which leaves the repair alone to be judged
//               (the machine as before the run, or the install whole), and then once more with
//               /S, which must install whole. No journal, no kept copy may be left.
//   recut       with cut: the first repair is itself ended, at its (swept call mod 31 + 1)th
//               call that may change the machine, before the judged one starts
//   power       with cut or recut: each end is a power cut, which besides ending the process
//               loses what was not flushed (hostemu::CutPower): the names of files and
//               folders, the files' bytes and the registry's hives, each lost or kept, in the
//               seven mixes that lose something, one after the other from swept call to swept
//               call
//   then=F      (NT family) besides each swept call, each later call of the function F fails
//               too, one at a time, in a run of its own: two calls failing in one run, as when
//               putting a file back meets a second refusal. Such a run is judged on the machine
//               as the next restart leaves it, since that is where what could not be done then
//               was scheduled for.
//   every=N     only every Nth call from `first` on: a sample of the surface in a fraction of
//               the time, for the test command; the whole sweep is scripts/sweep.sh
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <csetjmp>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "driver/entry.h"
#include "platform/host/emulation.h"
#include "platform/win32.h"
#include "tests/support/scripted_user.h"
#include "tests/sweep/machine_items.h"

namespace {

namespace Do = scripted::Do;

const char kComplete[] = "Installation complete.";
const char kFailed[] = "Installation failed.";
const char kNoSpace[] = "Insufficient free drive space to complete installation.";
// A run that has not ended in this time hangs.
const unsigned kSecondsPerRun = 120;

struct Options {
    hostemu::PlatformFamily family = hostemu::PlatformFamily::NT;
    bool reinstall = false;
    bool persistent = false;
    std::string then; // the function whose later calls fail as a second fault
    bool cut = false;
    bool recut = false;
    bool power = false;
    bool show = false; // each run prints how the machine differs from the one before
    unsigned jobs = 2;
    unsigned first = 1;
    unsigned last = ~0u;
    unsigned every = 1;
};


Options TheOptions;
// The calls to sweep, in order: every `every`th from `first` to `last`, of those that may be
// swept. A cut-off sweep passes over the calls that only read or ask: the process ended before
// one of them leaves the machine as it is before the next call that changes anything.
std::vector<unsigned> SweptCalls;
bool OnlyReads(const std::string& function) {
    static const std::set<std::string> reading = {
        "BeginPaint", "CoCreateInstance", "CoInitialize", "ConvertSidToStringSidA",
        "CreateCompatibleDC", "CreateDIBSection", "CreateDialogParamA", "CreatePalette",
        "CreateRectRgn", "CreateSolidBrush", "CreateWindowExA", "DestroyWindow", "FindFirstFileA",
        "FindResourceA", "GetDiskFreeSpaceA", "GetFileAttributesA", "GetModuleFileNameA",
        "GetSecurityInfo", "GetSystemDirectoryA", "GetTempPathA", "GetVersionExA",
        "GetWindowsDirectoryA", "LZRead", "LoadCursorA", "LoadIconA", "LoadResource",
        "MessageBoxA", "MultiByteToWideChar", "PropertySheetA", "ReadFile", "RegEnumKeyExA",
        "RegEnumValueA", "RegOpenKeyExA", "RegQueryValueExA", "RegQueryValueExW",
        "RegisterClassA", "SHGetPathFromIDListA", "SHGetSpecialFolderLocation",
        "WideCharToMultiByte"};
    return reading.count(function) != 0;
}
void ChooseSweptCalls(const std::vector<std::string>& calls, unsigned last) {
    unsigned candidate = 0;
    for (unsigned number = TheOptions.first; number <= last; ++number) {
        if (TheOptions.cut && OnlyReads(calls[number - 1]))
            continue;
        if (candidate++ % TheOptions.every == 0)
            SweptCalls.push_back(number);
    }
}
bool Swept(unsigned number) {
    return std::binary_search(SweptCalls.begin(), SweptCalls.end(), number);
}
FILE* SummaryFile = nullptr;

// The summary goes to the output and, when asked, to a file of its own.
void Say(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Say(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vprintf(format, arguments);
    va_end(arguments);
    if (SummaryFile) {
        va_start(arguments, format);
        std::vfprintf(SummaryFile, format, arguments);
        va_end(arguments);
    }
}

// --- The machine and the user -----------------------------------------------------------------

void WriteKey(HKEY root, const char* path, const char* name, const char* value) {
    HKEY key;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    if (value)
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>(std::strlen(value) + 1));
    RegCloseKey(key);
}

// One run of setup with the default answers: through the wizard with Next and Finish, then OK
// to the outcome. When anything else shows, the user closes it and cancels the wizard.
int PlaySetup() {
    hostemu::ClearUserLog();
    std::vector<scripted::Step> steps(5, Do::Next());
    steps.push_back(Do::Finish());
    steps.push_back(Do::Answer(IDOK));
    scripted::ScriptedUser user(steps);
    return static_cast<int>(user.Play([] { return static_cast<INT_PTR>(RunSetup()); }));
}

// What PrepareMachine plants where the suite's own things are, by path.
const char* const kPlanted[] = {"C:\\Program Files\\QuilloSoft\\",
                                "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\NeighbourClass",
                                "C:\\WINDOWS\\WebQuilloUninstall.exe.old",
                                "C:\\WINDOWS\\TEMP\\\\u{416}\\u{E9}.tmp"};

// A deletion at restart of a name outside the ANSI code page, which only the wide calls can
// write or read back unchanged.
void AddPendingDeletion(const std::wstring& path) {
    HKEY key;
    const std::wstring name = L"PendingFileRenameOperations";
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                      0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    std::wstring data(4096, L'\0');
    DWORD size = static_cast<DWORD>(data.size() * sizeof(WCHAR));
    DWORD type = 0;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data[0]),
                         &size) != ERROR_SUCCESS)
        size = 0;
    // Each pair is a source and an empty target; the list ends with one more empty string.
    data.resize(size / sizeof(WCHAR));
    if (!data.empty())
        data.pop_back();
    data += path + L'\0' + L'\0' + L'\0';
    RegSetValueExW(key, name.c_str(), 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size() * sizeof(WCHAR)));
    RegCloseKey(key);
}

// A machine as users have them: the system's standing keys and folders, and a neighbour's
// document type, uninstall entry, settings, files and restart-time deletions, which no run may
// touch; among them an empty folder of the user's where setup would make its install folder, a
// class that a planted extension of the suite's names, a deletion whose path holds one of the
// suite's, and one whose name is outside the ANSI code page.
void PrepareMachine() {
    hostemu::Reset();
    hostemu::SetPlatformFamily(TheOptions.family);
    hostemu::SetDesktopDirectory("C:\\WINDOWS\\Desktop");
    CreateDirectoryA("C:\\Program Files", nullptr);
    CreateDirectoryA("C:\\Program Files\\QuilloSoft", nullptr);
    WriteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\.WebQuilloSearch", nullptr, "NeighbourClass");
    WriteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\NeighbourClass", nullptr, "Neighbour's");
    hostemu::WriteFileBytes("C:\\Program Files\\Neighbour\\neighbour.exe", "MZ neighbour");
    hostemu::WriteFileBytes("C:\\WINDOWS\\notepad.exe", "MZ notepad");
    const char* windows = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    for (const char* path :
         {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer\\FindExtensions\\Static",
          "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved",
          "SOFTWARE\\Classes\\CLSID", "System\\CurrentControlSet\\Control\\Session Manager"})
        WriteKey(HKEY_LOCAL_MACHINE, path, nullptr, nullptr);
    WriteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\.txt", nullptr, "txtfile");
    WriteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\txtfile", nullptr, "Text Document");
    WriteKey(HKEY_LOCAL_MACHINE, (std::string(windows) + "\\Uninstall\\Neighbour").c_str(),
             "DisplayName", "Neighbour");
    WriteKey(HKEY_LOCAL_MACHINE, (std::string(windows) + "\\Shell Extensions\\Approved").c_str(),
             "{00000000-1111-2222-3333-444444444444}", "Neighbour");
    WriteKey(HKEY_CURRENT_USER, "Software\\Neighbour", "Setting", "kept");
    hostemu::WriteFileBytes("C:\\WINDOWS\\TEMP\\neighbour.tmp", "scratch");
    if (TheOptions.family == hostemu::PlatformFamily::Win9x) {
        hostemu::WriteFileBytes("C:\\WINDOWS\\wininit.ini",
                                "[rename]\r\nNUL=C:\\WINDOWS\\TEMP\\neighbour.tmp\r\n");
    } else {
        MoveFileExA("C:\\WINDOWS\\TEMP\\neighbour.tmp", nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        MoveFileExA("C:\\WINDOWS\\WebQuilloUninstall.exe.old", nullptr,
                    MOVEFILE_DELAY_UNTIL_REBOOT);
        AddPendingDeletion(L"\\??\\C:\\WINDOWS\\TEMP\\\u0416\u00e9.tmp");
    }
    if (TheOptions.reinstall) {
        PlaySetup();
        // The earlier install's files differ from the new ones in their length, as an earlier
        // version's would, so that a run that leaves a new file in place of an earlier one shows.
        std::istringstream files(hostemu::ListFiles());
        for (std::string line; std::getline(files, line);) {
            const std::string path = line.substr(0, line.rfind(' '));
            std::string bytes;
            if (SuiteRegion("FILE " + line).empty() || SuiteRegion("FILE " + line) == "temporary files" ||
                !hostemu::ReadFileBytes(path.c_str(), bytes))
                continue;
            hostemu::WriteFileBytes(path.c_str(), bytes + "earlier");
        }
    }
    hostemu::ClearFaults();
    // The machine as prepared is on the disk: a power cut loses only what the run does.
    if (TheOptions.power)
        hostemu::TrackDurability();
}

// The outcome messages setup showed or meant to show, in order.
std::vector<std::string> Outcomes() {
    std::vector<std::string> outcomes;
    std::istringstream log(hostemu::UserLog());
    std::string line;
    while (std::getline(log, line)) {
        if (line.rfind("message ", 0) != 0)
            continue;
        for (const char* outcome : {kComplete, kFailed, kNoSpace}) {
            size_t at = line.find("\": ");
            if (at != std::string::npos && line.substr(at + 3) == outcome)
                outcomes.push_back(outcome);
        }
    }
    return outcomes;
}

// --- Judging a run --------------------------------------------------------------------------

struct Verdict {
    std::string outcome;
    std::set<std::string> survivors;
    std::set<std::string> ignored;
    std::string fault;
};

MachineItems Before;
MachineItems Reference;
// The paths the clean install touches: the suite's own, whatever a run leaves of them.
std::set<std::string> OwnPaths;

bool Own(const std::string& item) {
    return !SuiteRegion(item).empty() || OwnPaths.count(ItemPath(item)) != 0;
}

std::string UpperNoBlanks(const std::string& text) {
    std::string upper;
    for (char c : text) {
        if (c != ' ')
            upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return upper;
}

bool ScheduledForRestart(const MachineItems& after, const std::string& item) {
    std::string path = ItemPath(item);
    if (!path.empty() && path.back() == '\\')
        path.pop_back();
    // "wininit.ini" names a file by its short path, which may differ only in letter case.
    for (auto it = after.lower_bound("AT-RESTART "); it != after.end(); ++it) {
        if (it->rfind("AT-RESTART ", 0) != 0)
            break;
        if (UpperNoBlanks(ItemPath(*it)) == UpperNoBlanks(path))
            return true;
    }
    return false;
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
}

// The install's root folder ("C:\Program Files\QuilloSoft\"): the parent of the folder that
// the Web module's uninstall entry names; empty without one. The entry, not a new folder, so
// that a second install into another folder is seen too.
std::string InstallRoot(const MachineItems& items) {
    const std::string start = "VALUE HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\"
                              "CurrentVersion\\Uninstall\\WebQuillo|\"InstallLocation\"=\"";
    const std::string ending = "WebQuillo\"";
    auto it = items.lower_bound(start);
    if (it == items.end() || it->rfind(start, 0) != 0 || it->size() < start.size() + ending.size() ||
        it->compare(it->size() - ending.size(), ending.size(), ending) != 0)
        return std::string();
    std::string root = it->substr(start.size(), it->size() - start.size() - ending.size());
    ReplaceAll(root, "\\\\", "\\");
    return root;
}

// What the question pages store: the shared settings key and the news server's values. One
// that could not be stored leaves the modules on their own defaults, which is no failure.
bool WizardAnswer(const std::string& item) {
    const std::string path = ItemPath(item);
    const std::string suite = "HKEY_CURRENT_USER\\Software\\QuilloSoft\\NetQuillo\\CurrentVersion\\";
    return path == suite + "Updates" ||
           (path == suite + "News" && item.find("|\"Server") != std::string::npos);
}

// Whether the short name "WEBQUI~1.EXE" can be that of the long name "WebQuilloUninstall.exe":
// the first letters of the long name without blanks, a tilde and a number, the extension cut
// to three letters. Names without a tilde must be equal.
bool ShortNameOf(const std::string& shortName, const std::string& longName) {
    std::string longUpper = UpperNoBlanks(longName);
    size_t tilde = shortName.find('~');
    if (tilde == std::string::npos)
        return UpperNoBlanks(shortName) == longUpper;
    size_t shortDot = shortName.rfind('.');
    size_t longDot = longUpper.rfind('.');
    std::string shortExtension =
        shortDot == std::string::npos ? "" : shortName.substr(shortDot + 1);
    std::string longExtension =
        longDot == std::string::npos ? "" : longUpper.substr(longDot + 1, 3);
    return UpperNoBlanks(shortExtension) == longExtension &&
           longUpper.compare(0, tilde, UpperNoBlanks(shortName.substr(0, tilde))) == 0;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) {
        if (!part.empty())
            parts.push_back(part);
    }
    return parts;
}

// The 95 family's "wininit.ini" names files by their short paths: the long path of a file or
// folder the machine had before or after the clean run, or has now (a copy of an earlier file
// kept during the run and left for restart is on neither), that `path` can be the short path of.
std::string LongPathOf(const std::string& path, const MachineItems& now) {
    std::vector<std::string> parts = Split(path, '\\');
    const MachineItems* const sources[] = {&Reference, &Before, &now};
    for (const MachineItems* items : sources) {
        for (const std::string& item : *items) {
            if (item.rfind("FILE ", 0) != 0 && item.rfind("FOLDER ", 0) != 0)
                continue;
            std::string candidate = ItemPath(item);
            if (!candidate.empty() && candidate.back() == '\\')
                candidate.pop_back();
            std::vector<std::string> long_ = Split(candidate, '\\');
            if (long_.size() != parts.size())
                continue;
            bool matches = true;
            for (size_t i = 0; i < parts.size() && matches; ++i)
                matches = ShortNameOf(parts[i], long_[i]);
            if (matches)
                return candidate;
        }
    }
    return path;
}

// Deletions at restart under their long paths.
MachineItems WithLongPaths(const MachineItems& items) {
    MachineItems named;
    for (const std::string& item : items) {
        if (item.rfind("AT-RESTART ", 0) == 0 && item.find('~') != std::string::npos)
            named.insert("AT-RESTART " + LongPathOf(ItemPath(item), items));
        else
            named.insert(item);
    }
    return named;
}

// The machine as if setup had installed under the reference run's folder: a failed call may
// make the options page propose another one, which the user accepts.
MachineItems Relocated(const MachineItems& after) {
    std::string root = InstallRoot(after);
    std::string referenceRoot = InstallRoot(Reference);
    if (root.empty() || referenceRoot.empty() || root == referenceRoot)
        return after;
    std::string escaped = root, referenceEscaped = referenceRoot;
    ReplaceAll(escaped, "\\", "\\\\");
    ReplaceAll(referenceEscaped, "\\", "\\\\");
    MachineItems moved;
    for (std::string item : after) {
        ReplaceAll(item, root, referenceRoot);
        ReplaceAll(item, escaped.substr(0, escaped.size() - 2),
                   referenceEscaped.substr(0, referenceEscaped.size() - 2));
        moved.insert(item);
    }
    return moved;
}

// Whether the file a deletion at restart names was on the machine before the run.
bool ExistedBefore(const std::string& deletion) {
    const std::string path = UpperNoBlanks(ItemPath(deletion));
    for (auto it = Before.lower_bound("FILE "); it != Before.end() && it->rfind("FILE ", 0) == 0;
         ++it) {
        if (UpperNoBlanks(ItemPath(*it)) == path)
            return true;
    }
    return false;
}

unsigned SecondCall = 0; // in a run with two failing calls, the later one

// `outcome`, when given, is what the run is judged as instead of what it showed.
void Judge(int exitCode, const char* failedFunction, Verdict& verdict,
           const char* outcome = nullptr) {
    std::vector<std::string> outcomes = outcome ? std::vector<std::string>{outcome} : Outcomes();
    verdict.outcome = outcomes.empty() ? "none" : outcomes.front();
    std::string& fault = verdict.fault;
    if (exitCode != 0)
        fault += "setup answered " + std::to_string(exitCode) + "; ";
    if (outcomes.size() > 1)
        fault += std::to_string(outcomes.size()) + " outcomes; ";
    MachineItems after = Relocated(WithLongPaths(CaptureMachine()));
    if (SecondCall != 0) {
        // The machine after the next restart, before and after the run alike; the neighbours'
        // pending deletions are carried out on both.
        std::vector<PendingRename> beforeRenames;
        for (const std::string& item : Before) {
            if (item.rfind("AT-RESTART ", 0) == 0)
                beforeRenames.push_back({ItemPath(item), ""});
        }
        Before = AfterRestart(Before, beforeRenames);
        Reference = AfterRestart(Reference, beforeRenames);
        after = AfterRestart(after, PendingRenames());
    }
    if (TheOptions.show) {
        for (const std::string& item : ItemsMissingFrom(after, Before))
            std::printf("  + %s\n", item.c_str());
        for (const std::string& item : ItemsMissingFrom(Before, after))
            std::printf("  - %s\n", item.c_str());
        std::string wininit;
        if (hostemu::ReadFileBytes("C:\\WINDOWS\\wininit.ini", wininit))
            std::printf("  wininit.ini:\n%s\n", wininit.c_str());
    }
    // The neighbours planted among the suite's own paths stay in every run.
    for (const std::string& item : Before) {
        if (SecondCall != 0 && item.rfind("AT-RESTART ", 0) == 0)
            continue;
        if (std::find(std::begin(kPlanted), std::end(kPlanted), ItemPath(item)) !=
                std::end(kPlanted) &&
            after.count(item) == 0)
            fault += "a neighbour's item changed: " + item + "; ";
    }
    // Nothing of anyone else's changes, whatever happened.
    for (const auto& changed : {ItemsMissingFrom(Before, after), ItemsMissingFrom(after, Before)}) {
        for (const std::string& item : changed) {
            // The journal goes at the restart when it cannot go at once.
            if (item.find("\\NetQuilloSetup.nqj") != std::string::npos &&
                ScheduledForRestart(after, item))
                verdict.survivors.insert("journal left for deletion at restart");
            else if (!Own(item))
                fault += "changed outside the suite: " + item + "; ";
        }
    }
    if (verdict.outcome == kComplete) {
        // Whole: every file and every setting the wizard and the patches wrote. Steps whose
        // failure setup ignores by design may be missing.
        for (const std::string& item : ItemsMissingFrom(Reference, after)) {
            std::string region = SuiteRegion(item);
            std::string valueStart = item.substr(0, item.find("\"=") + 2);
            bool otherValue = item.rfind("VALUE ", 0) == 0 &&
                              after.lower_bound(valueStart) != after.end() &&
                              after.lower_bound(valueStart)->rfind(valueStart, 0) == 0;
            if (region == "suite settings" && otherValue)
                // A failed call made the wizard propose another default, which the user took.
                verdict.ignored.insert("a wizard default proposed otherwise and accepted");
            else if (region == "suite settings" && WizardAnswer(item))
                verdict.ignored.insert("a wizard answer that could not be stored");
            else if (region == "suite settings" &&
                     std::strcmp(failedFunction, "FindResourceA") == 0)
                // A patch resource the image lacks is a module without a patch.
                verdict.ignored.insert("registry patch whose resource was reported absent");
            else if (region == "module files" || region == "uninstallers" || region == "library" ||
                     region == "suite settings")
                fault += "incomplete install lacks " + item + "; ";
            else
                verdict.ignored.insert(region.empty() ? "other" : region);
        }
        // And nothing of the suite's lies about that the clean install does not leave.
        for (const std::string& item : ItemsMissingFrom(after, Reference)) {
            if (SuiteRegion(item).empty())
                continue;
            if (SuiteRegion(item) == "restart-time deletions")
                verdict.survivors.insert("restart-time deletion of the suite's own file");
            else if (ScheduledForRestart(after, item))
                verdict.survivors.insert(SuiteRegion(item) + " left for deletion at restart");
            else if (ItemPath(item).empty() || SuiteRegion(item) != "temporary files")
                continue; // a value written otherwise is judged above
            else
                fault += "complete install left behind: " + item + "; ";
        }
        return;
    }
    // Otherwise as it was, apart from the suite's own new files that could only go at restart.
    // Whatever was there before is there again as it was, and is not left for deletion; but a
    // value the run changed cannot be written back once the registry refuses every write.
    const std::vector<std::string> lost = ItemsMissingFrom(Before, after);
    const bool writesRefused =
        TheOptions.persistent && std::strcmp(failedFunction, "RegSetValueExA") == 0;
    auto unwritable = [&](const std::string& item) {
        if (!writesRefused || item.rfind("VALUE ", 0) != 0)
            return false;
        const std::string name = item.substr(0, item.find("\"=") + 2);
        for (const std::string& earlier : lost)
            if (earlier.rfind(name, 0) == 0)
                return true;
        return false;
    };
    for (const std::string& item : ItemsMissingFrom(after, Before)) {
        std::string region = SuiteRegion(item);
        if (unwritable(item))
            verdict.survivors.insert("earlier value not written back: every write refused");
        else if (item.rfind("AT-RESTART ", 0) == 0 && ExistedBefore(item))
            fault += "an earlier file left for deletion at restart: " + item + "; ";
        else if (region == "restart-time deletions")
            verdict.survivors.insert("restart-time deletion of the suite's own file");
        else if (ScheduledForRestart(after, item))
            verdict.survivors.insert(region + " left for deletion at restart");
        else
            fault += "left behind: " + item + "; ";
    }
    for (const std::string& item : lost) {
        if (!unwritable(item))
            fault += "lost: " + item + "; ";
    }
}

// What a cut-off run or its repair may never leave: the journal, or a copy kept or moved aside.
void JudgeLeftovers(const char* when, Verdict& verdict) {
    for (const std::string& item : CaptureMachine()) {
        if (item.rfind("FILE ", 0) == 0 &&
            (item.find(".nqkeep") != std::string::npos ||
             item.find(".nqundo") != std::string::npos ||
             item.find("NetQuilloSetup.nqj") != std::string::npos))
            verdict.fault += std::string(when) + " left " + item + "; ";
    }
}

// A repair that is itself ended part way.
std::jmp_buf RepairCutOff;
// How the swept call's run ends: the process ended, or the power cut with the `mix`th of the
// seven mixes of losses.
void EndRun(unsigned mix) {
    if (!TheOptions.power) {
        hostemu::EndProcess();
        return;
    }
    hostemu::PowerCutLoss lose;
    const unsigned bits = mix % 7 + 1;
    lose.names = (bits & 1) != 0;
    lose.fileBytes = (bits & 2) != 0;
    lose.registry = (bits & 4) != 0;
    hostemu::CutPower(lose);
}

unsigned RepairCallsLeft = 0;
DWORD CutRepair(const char* function, const std::string&) {
    if (!OnlyReads(function) && --RepairCallsLeft == 0)
        std::longjmp(RepairCutOff, 1);
    return 0;
}

// The process ended at the swept call: setup starts again, first to repair alone (its /S run
// then refuses an argument it does not know), then to install.
void JudgeCut(unsigned number, Verdict& verdict) {
    // The sweep's own count of the swept calls, so that neighbours in a sample mix differently.
    const unsigned position = static_cast<unsigned>(
        std::lower_bound(SweptCalls.begin(), SweptCalls.end(), number) - SweptCalls.begin());
    EndRun(position);
    hostemu::SetUser(nullptr);
    if (TheOptions.recut) {
        RepairCallsLeft = number % 31 + 1;
        hostemu::SetCallObserver(CutRepair);
        if (setjmp(RepairCutOff) == 0)
            RunSetup("/S /NOSUCHSWITCH");
        hostemu::SetCallObserver(nullptr);
        EndRun(position + 3);
    }
    RunSetup("/S /NOSUCHSWITCH");
    Verdict asBefore, whole;
    Judge(0, "", asBefore, kFailed);
    Judge(0, "", whole, kComplete);
    const bool rolledBack = asBefore.fault.empty();
    verdict = rolledBack ? asBefore : whole;
    verdict.outcome = rolledBack ? "repaired: as before the run" : "repaired: the install whole";
    if (!rolledBack && !whole.fault.empty())
        verdict.fault = "after the repair, neither as before (" + asBefore.fault +
                        ") nor whole (" + whole.fault + "); ";
    JudgeLeftovers("the repair", verdict);
    Verdict installed;
    const int code = RunSetup("/S");
    Judge(code, "", installed, kComplete);
    if (!installed.fault.empty())
        verdict.fault += "after the silent run: " + installed.fault;
    JudgeLeftovers("the silent run", verdict);
}

// --- The sweep ------------------------------------------------------------------------------

enum class Mode { Record, Sweep };
Mode TheMode = Mode::Record;
unsigned CallNumber = 0;
std::vector<std::string> CallsMade;
bool InChild = false;
// Where a child whose process is cut off goes on, outside everything the run had begun.
std::jmp_buf CutOff;
unsigned FailedCall = 0;
const char* FailedFunction = "";
std::map<pid_t, unsigned> Children;
int ResultsFile = -1;

void WriteResult(const std::string& run, const Verdict& verdict) {
    auto join = [](const std::set<std::string>& items) {
        std::string text;
        for (const std::string& item : items)
            text += (text.empty() ? "" : ",") + item;
        return text;
    };
    std::string line = run + "\t" + verdict.outcome + "\t" +
                       join(verdict.survivors) + "\t" + join(verdict.ignored) + "\t" +
                       verdict.fault + "\n";
    if (write(ResultsFile, line.data(), line.size()) < 0)
        _exit(3);
}

// Waits for children until fewer than `limit` run; a child that ended without its result
// crashed, failed a sanitizer check or hung.
std::map<unsigned, std::string> Deaths;
void Reap(size_t limit) {
    while (Children.size() >= limit && !Children.empty()) {
        int status = 0;
        pid_t pid = wait(&status);
        if (pid < 0)
            return;
        auto it = Children.find(pid);
        if (it == Children.end())
            continue;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            Deaths[it->second] = WIFSIGNALED(status)
                                     ? "killed by signal " + std::to_string(WTERMSIG(status)) +
                                           (WTERMSIG(status) == SIGALRM ? " (hang)" : "")
                                     : "exited with " + std::to_string(WEXITSTATUS(status));
        Children.erase(it);
    }
}

std::string SecondRun(unsigned second) {
    return std::to_string(FailedCall) + "+" + std::to_string(second);
}

// In a run whose swept call failed: a run of its own in which `number` fails too, waited for
// here, so that two such runs never share a machine.
DWORD SweepSecondCall(unsigned number, const char* function) {
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        SecondCall = number;
        alarm(kSecondsPerRun);
        return hostemu::UsualError(function);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        Verdict death;
        death.outcome = "none";
        death.fault = pid < 0 ? "could not fork"
                      : WIFSIGNALED(status)
                          ? "killed by signal " + std::to_string(WTERMSIG(status)) +
                                (WTERMSIG(status) == SIGALRM ? " (hang)" : "")
                          : "exited with " + std::to_string(WEXITSTATUS(status));
        WriteResult(SecondRun(number), death);
    }
    alarm(kSecondsPerRun);
    return 0;
}

DWORD Observe(const char* function, const std::string&) {
    unsigned number = ++CallNumber;
    if (TheMode == Mode::Record) {
        CallsMade.push_back(function);
        return 0;
    }
    if (InChild && SecondCall == 0 && TheOptions.then == function)
        return SweepSecondCall(number, function);
    if (InChild)
        return TheOptions.persistent && std::strcmp(function, FailedFunction) == 0
                   ? hostemu::UsualError(function)
                   : 0;
    if (!Swept(number))
        return 0;
    Reap(TheOptions.jobs);
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        InChild = true;
        FailedCall = number;
        FailedFunction = function;
        alarm(kSecondsPerRun);
        if (TheOptions.cut)
            std::longjmp(CutOff, 1);
        return hostemu::UsualError(function);
    }
    if (pid > 0)
        Children[pid] = number;
    else
        Deaths[number] = "could not fork";
    return 0;
}

bool ParseOptions(int argc, char** argv) {
    if (argc < 2)
        return false;
    std::string family = argv[1];
    if (family == "win9x")
        TheOptions.family = hostemu::PlatformFamily::Win9x;
    else if (family != "nt")
        return false;
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "reinstall")
            TheOptions.reinstall = true;
        else if (arg == "persistent")
            TheOptions.persistent = true;
        else if (arg == "cut")
            TheOptions.cut = true;
        else if (arg == "recut")
            TheOptions.cut = TheOptions.recut = true;
        else if (arg == "power")
            TheOptions.power = true;
        else if (arg == "show")
            TheOptions.show = true;
        else if (arg.rfind("then=", 0) == 0 && TheOptions.family == hostemu::PlatformFamily::NT)
            TheOptions.then = arg.substr(5);
        else if (arg.rfind("summary=", 0) == 0)
            SummaryFile = std::fopen(arg.c_str() + 8, "w");
        else if (arg.rfind("jobs=", 0) == 0)
            TheOptions.jobs = static_cast<unsigned>(std::max(1, std::atoi(arg.c_str() + 5)));
        else if (arg.rfind("first=", 0) == 0)
            TheOptions.first = static_cast<unsigned>(std::atoi(arg.c_str() + 6));
        else if (arg.rfind("last=", 0) == 0)
            TheOptions.last = static_cast<unsigned>(std::atoi(arg.c_str() + 5));
        else if (arg.rfind("every=", 0) == 0)
            TheOptions.every = static_cast<unsigned>(std::max(1, std::atoi(arg.c_str() + 6)));
        else
            return false;
    }
    return true;
}

struct Result {
    std::string function;
    std::string outcome;
    std::vector<std::string> survivors;
    std::vector<std::string> ignored;
    std::string fault;
};

std::map<std::string, Result> ReadResults(const char* path) {
    std::map<std::string, Result> results;
    FILE* file = std::fopen(path, "r");
    if (!file)
        return results;
    char buffer[8192];
    while (std::fgets(buffer, sizeof buffer, file)) {
        std::string line(buffer);
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        std::vector<std::string> fields;
        size_t start = 0;
        for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
            fields.push_back(line.substr(start, tab - start));
        fields.push_back(line.substr(start));
        if (fields.size() != 5)
            continue;
        Result& result = results[fields[0]];
        result.outcome = fields[1];
        result.survivors = Split(fields[2], ',');
        result.ignored = Split(fields[3], ',');
        result.fault = fields[4];
    }
    std::fclose(file);
    return results;
}

void PrintTable(const char* title, const std::map<std::string, unsigned>& counts) {
    Say("%s\n", title);
    if (counts.empty())
        Say("  (none)\n");
    for (const auto& entry : counts)
        Say("  %-58s %6u\n", entry.first.c_str(), entry.second);
}

} // namespace

int main(int argc, char** argv) {
    if (!ParseOptions(argc, argv)) {
        std::fprintf(stderr, "usage: fault_sweep nt|win9x [reinstall] [persistent|cut|recut] "
                             "[power] [then=FUNCTION] [jobs=N] [first=K] [last=K] [every=N]\n");
        return 2;
    }
    if (TheOptions.power && !TheOptions.cut) {
        std::fprintf(stderr, "power goes with cut or recut\n");
        return 2;
    }
    const char* scenario =
        TheOptions.family == hostemu::PlatformFamily::NT ? "NT family" : "95 family";
    Say("%s sweep: %s, %s, %s\n",
        TheOptions.power ? "power-cut" : TheOptions.cut ? "cut-off" : "fault", scenario,
        TheOptions.reinstall ? "second install over a first" : "first install",
        TheOptions.power ? "the power cut at the swept call, then setup started again"
        : TheOptions.cut ? "the process ended at the swept call, then started again"
        : TheOptions.persistent ? "its function failing from the swept call on"
        : TheOptions.then.empty()
            ? "one call failing"
            : ("and each later " + TheOptions.then + " failing too").c_str());

    // The clean run: the calls it makes, and the machine it leaves.
    PrepareMachine();
    Before = CaptureMachine();
    const unsigned emulatedBefore = hostemu::TotalCallCount();
    hostemu::SetCallObserver(Observe);
    int cleanExit = PlaySetup();
    hostemu::SetCallObserver(nullptr);
    const unsigned emulatedCalls = hostemu::TotalCallCount() - emulatedBefore;
    Reference = CaptureMachine();
    Before = WithLongPaths(Before);
    Reference = WithLongPaths(Reference);
    for (const char* planted : kPlanted) {
        // The neighbour's deletions at restart are planted on the NT family only.
        const bool atRestart = std::strncmp(planted, "C:\\WINDOWS\\", 11) == 0;
        if ((!atRestart || TheOptions.family == hostemu::PlatformFamily::NT) &&
            std::none_of(Before.begin(), Before.end(),
                         [&](const std::string& item) { return ItemPath(item) == planted; })) {
            std::printf("the neighbour %s could not be planted\n", planted);
            return 1;
        }
    }
    std::vector<std::string> outcomes = Outcomes();
    if (cleanExit != 0 || outcomes.size() != 1 || outcomes[0] != kComplete) {
        std::printf("the clean run did not complete: %s\n", hostemu::UserLog().c_str());
        return 1;
    }
    for (const auto& changed :
         {ItemsMissingFrom(Before, Reference), ItemsMissingFrom(Reference, Before)})
        for (const std::string& item : changed)
            OwnPaths.insert(ItemPath(item));
    const std::vector<std::string> calls = CallsMade;
    std::map<std::string, unsigned> callsByFunction;
    for (const std::string& function : calls)
        ++callsByFunction[function];
    unsigned last = std::min<unsigned>(TheOptions.last, static_cast<unsigned>(calls.size()));
    ChooseSweptCalls(calls, last);

    // The sweep: the same run again, forking a child at every call.
    char resultsPath[] = "/tmp/fault-sweep.XXXXXX";
    ResultsFile = mkstemp(resultsPath);
    if (ResultsFile < 0) {
        std::perror("mkstemp");
        return 1;
    }
    PrepareMachine();
    if (WithLongPaths(CaptureMachine()) != Before) {
        std::printf("the machine could not be made again as it was\n");
        return 1;
    }
    TheMode = Mode::Sweep;
    CallNumber = 0;
    hostemu::SetCallObserver(Observe);
    volatile int exitCode = 0;
    // Only a child of the cut-off sweep comes back here a second time.
    if (setjmp(CutOff) == 0)
        exitCode = PlaySetup();
    hostemu::SetCallObserver(nullptr);
    if (InChild) {
        Verdict verdict;
        if (TheOptions.cut)
            JudgeCut(FailedCall, verdict);
        else
            Judge(exitCode, FailedFunction, verdict);
        WriteResult(SecondCall != 0 ? SecondRun(SecondCall) : std::to_string(FailedCall), verdict);
        std::fflush(nullptr);
        _exit(0);
    }
    Reap(1);
    close(ResultsFile);
    std::map<std::string, Result> results = ReadResults(resultsPath);
    unlink(resultsPath);

    // The summary.
    std::map<std::string, unsigned> byOutcome, bySurvivor, byIgnored, faults;
    std::map<std::string, std::map<std::string, unsigned>> ignoredByFunction;
    unsigned failures = 0, swept = 0;
    // Each run by its name: the swept call's number, and "K+J" for a run in which call J
    // failed after call K.
    std::vector<std::pair<std::string, std::string>> runs;
    for (unsigned number : SweptCalls)
        runs.emplace_back(std::to_string(number), calls[number - 1]);
    const unsigned singleRuns = static_cast<unsigned>(runs.size());
    for (const auto& entry : results) {
        const size_t plus = entry.first.find('+');
        if (plus != std::string::npos)
            runs.emplace_back(entry.first,
                              calls[std::atoi(entry.first.c_str()) - 1] + " then " + TheOptions.then);
    }
    for (const auto& [run, function] : runs) {
        ++swept;
        auto death = Deaths.find(static_cast<unsigned>(std::atoi(run.c_str())));
        auto found = results.find(run);
        std::string fault = run.find('+') == std::string::npos && death != Deaths.end()
                                ? death->second
                            : found == results.end() ? "no result"
                                                     : found->second.fault;
        if (!fault.empty()) {
            ++failures;
            Say("FAULT call %s (%s): %.400s\n", run.c_str(), function.c_str(), fault.c_str());
            ++faults[function];
            continue;
        }
        const Result& result = found->second;
        ++byOutcome[result.outcome];
        for (const std::string& survivor : result.survivors)
            ++bySurvivor[survivor];
        for (const std::string& region : result.ignored) {
            ++byIgnored[region];
            ++ignoredByFunction[function][region];
        }
    }
    Say("calls the program made that can fail: %zu", calls.size());
    Say(" (emulated calls counted in the run, the user's and those that cannot fail "
        "included: %u)\n",
        emulatedCalls);
    Say("calls swept: %u (every %u from %u to %u%s)\n", singleRuns, TheOptions.every,
        TheOptions.first, last, TheOptions.cut ? ", of the calls that may change the machine" : "");
    if (!TheOptions.then.empty())
        Say("runs with a later %s failing too: %u\n", TheOptions.then.c_str(), swept - singleRuns);
    PrintTable("calls by function:", callsByFunction);
    PrintTable("outcomes:", byOutcome);
    PrintTable("survivors (runs that left each):", bySurvivor);
    PrintTable("completed with a step missing that setup ignores by design (runs):", byIgnored);
    Say("failures setup ignores by design, by function:\n");
    if (ignoredByFunction.empty())
        Say("  (none)\n");
    for (const auto& entry : ignoredByFunction) {
        std::string regions;
        for (const auto& region : entry.second)
            regions +=
                (regions.empty() ? "" : ", ") + region.first + " " + std::to_string(region.second);
        Say("  %-22s %s\n", entry.first.c_str(), regions.c_str());
    }
    PrintTable("runs that failed the check, by function:", faults);
    Say("%s: %u of %u runs failed the check\n", failures ? "FAILED" : "PASSED", failures, swept);
    return failures ? 1 : 0;
}
