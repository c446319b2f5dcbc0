// The install phase of setup's default install of all six modules, from the user's Finish to
// the outcome message: how long it takes and, on the host emulation, how many platform calls it
// makes. Setup runs whole from its entry with the tests' scripted user at the keyboard, on the
// host emulation or under Windows (Wine). The phase is the gap between the last turn of the
// user while the wizard is open and the user's next turn, at the outcome message; under
// Windows the user's turns come from a timer, so a phase shorter than its 20 ms tick reads as
// one tick.
// Then what the install's journal costs: its frames, size and flushes (counted on the host
// emulation), and the same writes and flushes made alone on this platform's disk, which is
// what the journal adds to the phase.
// Usage: install_bench [runs] [no-links]   (no-links: the desktop-links box cleared)
#include <algorithm>
#include <cstring>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver/entry.h"
#include "platform/system_control_ids.h"
#include "platform/win32.h"
#include "tests/support/scripted_user.h"

#ifndef _WIN32
#include "platform/host/emulation.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;
namespace Do = scripted::Do;
namespace Expect = scripted::Expect;

const char kWizardFinish[] = "Installation complete.";

#ifdef _WIN32
void FreshMachine() {}
long long PlatformCalls() {
    return -1;
}
#else
void FreshMachine() {
    hostemu::Reset();
    CreateDirectoryA("C:\\Program Files", nullptr);
}
long long PlatformCalls() {
    return hostemu::TotalCallCount();
}
#endif

// The journal of one install: its frames, its largest size, and the flushes it brings (one a
// frame, one a payload, and the hives before the commit and before the journal goes).
struct JournalFigures {
    long long frames = -1;
    size_t largest = 0;
    long long fileFlushes = 0;
    long long hiveFlushes = 0;
};
// The default install's, as the host build measures them; the Windows build replays these,
// and the host build says when they no longer hold.
const JournalFigures kDefaultJournal = {34, 2930, 59, 6};
JournalFigures MeasureJournal(bool links);

// The wizard's sheet: the one dialog with a Finish button.
bool WizardOpen() {
    for (HWND window = FindWindowExA(nullptr, nullptr, "#32770", nullptr); window;
         window = FindWindowExA(nullptr, window, "#32770", nullptr)) {
        if (GetDlgItem(window, kWizardFinishButton))
            return true;
    }
    return false;
}

struct Phase {
    double milliseconds = -1;
    long long calls = -1;
};

// `watch`, when given, is called on the fresh machine before setup starts.
bool RunOnce(Phase& phase, bool links, void (*watch)() = nullptr) {
    FreshMachine();
    if (watch)
        watch();
    std::vector<scripted::Step> steps = {Do::Next(), Do::Next(), Do::Next()};
    if (!links)
        steps.push_back(Do::Click(701));
    for (const scripted::Step& step :
         {Do::Next(), Do::Next(), Do::Finish(),
          Expect::Message(kWizardFinish, "NetQuillo Installation"), Do::Answer(IDOK)})
        steps.push_back(step);
    scripted::ScriptedUser user(steps);
    bool wizardSeen = false;
    Clock::time_point lastWizardTurn;
    long long callsAtLastWizardTurn = 0;
    user.SetTurnObserver([&] {
        if (WizardOpen()) {
            wizardSeen = true;
            lastWizardTurn = Clock::now();
            callsAtLastWizardTurn = PlatformCalls();
        } else if (wizardSeen && phase.milliseconds < 0) {
            phase.milliseconds =
                std::chrono::duration<double, std::milli>(Clock::now() - lastWizardTurn).count();
            if (callsAtLastWizardTurn >= 0)
                phase.calls = PlatformCalls() - callsAtLastWizardTurn;
        }
    });
    user.Play([] { return static_cast<INT_PTR>(RunSetup()); });
    if (!user.Failures().empty()) {
        std::fprintf(stderr, "install_bench: %s", user.Failures().c_str());
        return false;
    }
    return phase.milliseconds >= 0;
}

JournalFigures Journal;

JournalFigures MeasureJournal(bool links) {
#ifndef _WIN32
    Journal = JournalFigures();
    Journal.frames = 0;
    Phase phase;
    const bool ran = RunOnce(phase, links, [] {
        hostemu::SetCallObserver([](const char* function, const std::string&) -> DWORD {
            // The call is seen before it is made: a frame shows as the journal's growth at
            // the flush after it.
            std::string bytes;
            if (std::strcmp(function, "RegFlushKey") == 0)
                ++Journal.hiveFlushes;
            if (std::strcmp(function, "FlushFileBuffers") != 0)
                return 0;
            ++Journal.fileFlushes;
            if (hostemu::ReadFileBytes("C:\\WINDOWS\\NetQuilloSetup.nqj", bytes) &&
                bytes.size() > Journal.largest) {
                ++Journal.frames;
                Journal.largest = bytes.size();
            }
            return 0;
        });
    });
    hostemu::SetCallObserver(nullptr);
    if (!ran)
        Journal.frames = -1;
    return Journal;
#else
    (void)links;
    return kDefaultJournal;
#endif
}

// The journal's writes and flushes alone, as the install makes them: `frames` frames adding up
// to `bytes`, each written and flushed, a flush of as many other files as the install flushes
// besides, and the hives' flushes. Milliseconds, or -1 when the temporary folder refuses.
double ReplayJournal(const JournalFigures& figures) {
    char folder[MAX_PATH];
    char path[MAX_PATH];
    if (GetTempPathA(MAX_PATH, folder) == 0 || !GetTempFileNameA(folder, "nqb", 0, path))
        return -1;
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    const long long frames = std::max(1LL, figures.frames);
    std::vector<char> frame(figures.largest / static_cast<size_t>(frames) + 1, 'J');
    const Clock::time_point start = Clock::now();
    DWORD written = 0;
    for (long long i = 0; i < frames; ++i) {
        WriteFile(file, frame.data(), static_cast<DWORD>(frame.size()), &written, nullptr);
        FlushFileBuffers(file);
    }
    for (long long i = frames; i < figures.fileFlushes; ++i) {
        WriteFile(file, "P", 1, &written, nullptr);
        FlushFileBuffers(file);
    }
    for (long long i = 0; i < figures.hiveFlushes; ++i)
        RegFlushKey(i % 3 == 0 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE);
    const double milliseconds =
        std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    CloseHandle(file);
    DeleteFileA(path);
    return milliseconds;
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    std::vector<double> times;
    const bool links = !(argc > 2 && std::string(argv[2]) == "no-links");
    long long calls = -1;
    for (int i = 0; i < runs; ++i) {
        Phase phase;
        if (!RunOnce(phase, links))
            return 1;
        times.push_back(phase.milliseconds);
        calls = phase.calls;
    }
    std::sort(times.begin(), times.end());
#ifdef _WIN32
    std::printf("install phase, six modules%s, Windows (%d runs)\n",
                links ? "" : " without desktop links", runs);
    const char* goal = "goal: under 1 s under Wine";
#else
    std::printf("install phase, six modules%s, host emulation (%d runs)\n",
                links ? "" : " without desktop links", runs);
    const char* goal = "goal: under 50 ms";
#endif
    std::printf("  median %.1f ms, fastest %.1f ms, slowest %.1f ms (%s)\n",
                times[times.size() / 2], times.front(), times.back(), goal);
    if (calls >= 0)
        std::printf("  platform calls: %lld\n", calls);
    const JournalFigures journal = MeasureJournal(links);
    if (journal.frames < 0)
        return 1;
    std::printf("  journal: %lld frames, %zu bytes at its largest; %lld file flushes in the "
                "phase (its frames and the payloads), %lld of hives\n",
                journal.frames, journal.largest, journal.fileFlushes, journal.hiveFlushes);
    if (links && (journal.frames != kDefaultJournal.frames ||
                  journal.largest != kDefaultJournal.largest ||
                  journal.fileFlushes != kDefaultJournal.fileFlushes ||
                  journal.hiveFlushes != kDefaultJournal.hiveFlushes))
        std::printf("  (kDefaultJournal, which the Windows build replays, needs these figures)\n");
    std::vector<double> replays;
    for (int i = 0; i < runs; ++i)
        replays.push_back(ReplayJournal(journal));
    std::sort(replays.begin(), replays.end());
    std::printf("  the journal's writes and flushes alone: median %.1f ms (%.0f%% of the "
                "phase's median)\n",
                replays[replays.size() / 2],
                100.0 * replays[replays.size() / 2] / times[times.size() / 2]);
    return 0;
}
