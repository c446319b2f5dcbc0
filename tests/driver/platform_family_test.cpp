// The platform family decides restart-time deletions, the shell-extension approval and the
// user-details defaults, so both answers are pinned on both platforms.
#include "driver/shell_helpers.h"
#include "tests/support/test_world.h"

#ifndef _WIN32
#include "platform/host/emulation.h"
#endif

namespace {
class PlatformFamily : public TestWorld {};
} // namespace

TEST_F(PlatformFamily, NtFamilyAnswersFalse) {
    EXPECT_FALSE(IsWin9xPlatform());
}

TEST_F(PlatformFamily, Win9xFamilyIsRecognised) {
    ASSERT_TRUE(UseWin9xFamily()) << "needs the 95 family (Wine in win98 mode)";
    EXPECT_TRUE(IsWin9xPlatform());
}

#ifndef _WIN32
TEST_F(PlatformFamily, FailedVersionQueryReadsAsNtFamily_HostOnly) {
    UseWin9xFamily();
    hostemu::FailCall("GetVersionExA", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(IsWin9xPlatform());
}
#endif
