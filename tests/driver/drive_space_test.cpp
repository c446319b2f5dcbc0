// Free and required space where real Windows can show them: network paths, the required
// figures, and a drive with more than 4 GB free (these machines have one).
#include "driver/drive_space.h"
#include "driver/setup_context.h"
#include "tests/support/test_world.h"

namespace {
class DriveSpace : public TestWorld {};
} // namespace

TEST_F(DriveSpace, NetworkPathsAlwaysHaveRoom) {
    EXPECT_EQ(0xFFFFFFFFu, GetDriveFreeSpace("\\\\nowhere\\share\\QuilloSoft"));
    EXPECT_EQ(0xFFFFFFFFu, GetDriveFreeSpace("\\\\x"));
}

TEST_F(DriveSpace, RequiredSpaceFollowsTheSuiteAndTheSelection) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    EXPECT_EQ(3840000u, GetRequiredSpace(true));
    EXPECT_EQ(6u * 1536000u, GetRequiredSpace(false));
    context.selected[0] = context.selected[4] = context.selected[5] = 0;
    EXPECT_EQ(4608000u, GetRequiredSpace(false));
    EXPECT_EQ(3840000u, GetRequiredSpace(true));
}

TEST_F(DriveSpace, LargeDriveSaturatesInsteadOfWrapping) {
    char windows[MAX_PATH];
    ASSERT_NE(0u, GetWindowsDirectoryA(windows, MAX_PATH));
    char root[] = {windows[0], ':', '\\', '\0'};
    DWORD sectors = 0, bytes = 0, freeClusters = 0, clusters = 0;
    ASSERT_TRUE(GetDiskFreeSpaceA(root, &sectors, &bytes, &freeClusters, &clusters));
    if (static_cast<unsigned long long>(freeClusters) * sectors * bytes < (5ull << 30))
        GTEST_SKIP() << "needs a drive with more than 5 GB free";
    EXPECT_EQ(0xFFFFFFFFu, GetDriveFreeSpace(windows));
}
