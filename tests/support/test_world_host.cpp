#include "platform/host/emulation.h"
#include "tests/support/test_world.h"

void TestWorld::SetUp() { hostemu::Reset(); }

void TestWorld::TearDown() { hostemu::Reset(); }
