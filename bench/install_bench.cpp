// The install phase of setup's default install of all six modules, from the user's Finish to
// the outcome message: how long it takes and, on the host emulation, how many platform calls it
// makes. Setup runs whole from its entry with the tests' scripted user at the keyboard, on the
// host emulation or under Windows (Wine). The phase is the gap between the last turn of the
// user while the wizard is open and the user's next turn, at the outcome message; under
// Windows the user's turns come from a timer, so a phase shorter than its 20 ms tick reads as
// one tick.
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

// The journal of one install: the frames flushed and its largest size, seen at each flush.
struct JournalFigures {
    long long flushes = -1;
    size_t largest = 0;
};
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
    JournalFigures& figures = Journal;
#ifndef _WIN32
    figures.flushes = 0;
    Phase phase;
    const bool ran = RunOnce(phase, links, [] {
        hostemu::SetCallObserver([](const char* function, const std::string&) -> DWORD {
            std::string bytes;
            if (std::strcmp(function, "FlushFileBuffers") == 0 &&
                hostemu::ReadFileBytes("C:\\WINDOWS\\NetQuilloSetup.nqj", bytes)) {
                ++Journal.flushes;
                Journal.largest = std::max(Journal.largest, bytes.size());
            }
            return 0;
        });
    });
    if (!ran)
        figures.flushes = -1;
    hostemu::SetCallObserver(nullptr);
#else
    (void)links;
#endif
    return figures;
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
    if (journal.flushes >= 0)
        std::printf("  journal: %lld frames written and flushed (two calls each), %zu bytes at "
                    "its largest\n",
                    journal.flushes, journal.largest);
    return 0;
}
