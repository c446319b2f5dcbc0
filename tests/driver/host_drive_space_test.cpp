// Free space where only the emulation can set it exactly: drive sizes on both sides of 4 GB,
// the current drive, and a drive that cannot be asked.
#include "driver/drive_space.h"
#include "platform/host/emulation.h"
#include "tests/support/test_world.h"

namespace {
class HostDriveSpace : public TestWorld {};
} // namespace

TEST_F(HostDriveSpace, FreeBytesOfTheNamedDrive_HostOnly) {
    hostemu::AddDrive('D', 4608000);
    EXPECT_EQ(4608000u, GetDriveFreeSpace("D:\\QuilloSoft\\"));
    EXPECT_EQ(4608000u, GetDriveFreeSpace("d:relative"));
    hostemu::SetFreeSpace("D:\\", 4607999);
    EXPECT_EQ(4607999u, GetDriveFreeSpace("D:\\QuilloSoft\\"));
    // Two characters or fewer name no root: the current drive is asked.
    hostemu::SetFreeSpace("C:\\", 12345);
    EXPECT_EQ(12345u, GetDriveFreeSpace("D:"));
    EXPECT_EQ(12345u, GetDriveFreeSpace(""));
}

TEST_F(HostDriveSpace, MoreThanFourGigabytesSaturates_HostOnly) {
    // 81.8 GB in 4096-byte clusters: a 32-bit product would read 195,620,864 bytes.
    hostemu::AddDrive('D', 81799999488ull);
    EXPECT_EQ(0xFFFFFFFFu, GetDriveFreeSpace("D:\\QuilloSoft"));
    // 16 GiB and 1 MiB would wrap to 1 MiB, far below what three modules need.
    hostemu::AddDrive('E', (16ull << 30) + (1u << 20));
    EXPECT_EQ(0xFFFFFFFFu, GetDriveFreeSpace("E:\\"));
    hostemu::AddDrive('F', 0xFFFFF000ull);
    EXPECT_EQ(0xFFFFF000u, GetDriveFreeSpace("F:\\"));
}

TEST_F(HostDriveSpace, UnaskableDriveHasNoSpace_HostOnly) {
    EXPECT_EQ(0u, GetDriveFreeSpace("Q:\\NoSuchDrive"));
    hostemu::FailCall("GetDiskFreeSpaceA", ERROR_ACCESS_DENIED);
    EXPECT_EQ(0u, GetDriveFreeSpace("C:\\"));
}

TEST_F(HostDriveSpace, ShareIsNeverAsked_HostOnly) {
    hostemu::AddShare("\\\\server\\share", 10);
    EXPECT_EQ(0xFFFFFFFFu, GetDriveFreeSpace("\\\\server\\share\\QuilloSoft"));
    EXPECT_EQ(0u, hostemu::CallCount("GetDiskFreeSpaceA"));
}
