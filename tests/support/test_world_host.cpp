#include "platform/host/emulation.h"
#include "tests/support/test_world.h"

void TestWorld::SetUp() {
    hostemu::Reset();
    CreateDirectoryA(kScratchFolder, nullptr);
}

void TestWorld::TearDown() {
    hostemu::Reset();
}

bool UseWin9xFamily() {
    hostemu::SetPlatformFamily(hostemu::PlatformFamily::Win9x);
    return true;
}
