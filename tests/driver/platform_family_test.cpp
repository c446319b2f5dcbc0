// The platform family decides restart-time deletions, the shell-extension approval and the
// user-details defaults, so both answers are pinned on both platforms.
#include "driver/shell_helpers.h"
#include "tests/support/test_world.h"

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
