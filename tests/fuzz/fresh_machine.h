// Each input starts on the freshly reset machine and leaves the machine reset behind it. What
// an input made is gone again before libFuzzer compares the allocations and frees of the run,
// so that it has no cause to run every input a second time looking for a leak; a real leak
// still shows, as an allocation that the reset cannot reach.
#pragma once

#include "platform/host/emulation.h"

class FreshMachine {
  public:
    FreshMachine() { hostemu::Reset(); }
    ~FreshMachine() { hostemu::Reset(); }
    FreshMachine(const FreshMachine&) = delete;
    FreshMachine& operator=(const FreshMachine&) = delete;
};
