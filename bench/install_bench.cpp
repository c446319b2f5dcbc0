// The install phase of setup's default install of all six modules, from the user's Finish to
// the outcome message, on the host emulation: how long it takes and how many platform calls it
// makes. Setup runs whole from its entry, a scripted user at the keyboard; the phase is the gap
// between the turn that pressed Finish and the user's next turn, at the outcome message.
// Usage: install_bench [runs]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "driver/entry.h"
#include "platform/host/emulation.h"
#include "tests/support/scripted_user.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace Do = scripted::Do;
namespace Expect = scripted::Expect;

struct Phase {
    double milliseconds;
    unsigned calls;
};

bool RunOnce(Phase& phase) {
    hostemu::Reset();
    CreateDirectoryA("C:\\Program Files", nullptr);
    scripted::ScriptedUser user({Do::Next(), Do::Next(), Do::Next(), Do::Next(), Do::Next(),
                                 Do::Finish(),
                                 Expect::Message("Installation complete.", "NetQuillo Installation"),
                                 Do::Answer(IDOK)});
    const unsigned finishTurn = 6;
    unsigned turns = 0;
    Clock::time_point finished;
    unsigned callsAtFinish = 0;
    hostemu::SetUser([&] {
        if (turns == finishTurn) {
            phase.milliseconds =
                std::chrono::duration<double, std::milli>(Clock::now() - finished).count();
            phase.calls = hostemu::TotalCallCount() - callsAtFinish;
        }
        bool acted = user.Turn();
        if (++turns == finishTurn) {
            finished = Clock::now();
            callsAtFinish = hostemu::TotalCallCount();
        }
        return acted;
    });
    RunSetup();
    hostemu::SetUser(nullptr);
    if (!user.Failures().empty()) {
        std::fprintf(stderr, "install_bench: %s", user.Failures().c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    std::vector<double> times;
    unsigned calls = 0;
    for (int i = 0; i < runs; ++i) {
        Phase phase = {0, 0};
        if (!RunOnce(phase))
            return 1;
        times.push_back(phase.milliseconds);
        calls = phase.calls;
    }
    std::sort(times.begin(), times.end());
    std::printf("install phase, six modules, host emulation (%d runs)\n", runs);
    std::printf("  median %.2f ms, fastest %.2f ms, slowest %.2f ms (goal: under 50 ms)\n",
                times[times.size() / 2], times.front(), times.back());
    std::printf("  platform calls: %u\n", calls);
    return 0;
}
