// What the process entry refuses before anything else, where only the emulation can set the
// scene: the program's own file damaged, another setup running, and another user's object of
// the lock's name. Under Wine, tests/driver/start_gate.sh plays the same on the real product.
#include <string>

#include "driver/entry.h"
#include "driver/instance_lock.h"
#include "platform/host/emulation.h"
#include "tests/support/test_world.h"
#include "uninstall/uninstall.h"

namespace {

class HostStartSetup : public TestWorld {
  protected:
    void SetUp() override {
        TestWorld::SetUp();
        std::string image;
        ASSERT_TRUE(ReadBuildFile(NQ_CHECKED_IMAGE, image));
        damaged_ = image;
        damaged_[damaged_.size() / 2] ^= 0x10;
        ASSERT_TRUE(hostemu::WriteFileBytes(kImage, image));
        hostemu::SetModuleFileName(kImage);
    }
    // The exit code and what a user saw; the machine must be as it was.
    int Run(const char* arguments, std::string& seen) {
        const std::string registry = hostemu::ExportRegistry();
        const std::string files = hostemu::ListFiles();
        hostemu::ClearUserLog();
        int code = StartSetup(arguments);
        seen = hostemu::UserLog();
        EXPECT_EQ(registry, hostemu::ExportRegistry()) << arguments;
        EXPECT_EQ(files, hostemu::ListFiles()) << arguments;
        return code;
    }

    const char* const kImage = "C:\\Downloads\\NetQuilloSetup.exe";
    std::string damaged_;
};

} // namespace

TEST_F(HostStartSetup, ADamagedFileOrAnotherSetupEndsTheRunWritingNothing_HostOnly) {
    std::string seen;
    ASSERT_TRUE(hostemu::WriteFileBytes(kImage, damaged_));
    EXPECT_EQ(5, Run("/S /LOG=C:\\setup.log", seen));
    EXPECT_EQ("", seen) << "no window in a silent run, and no log";
    EXPECT_EQ(5, Run("", seen));
    EXPECT_NE(std::string::npos, seen.find("This setup program is damaged")) << seen;
    EXPECT_EQ(std::string::npos, seen.find("QUILLOSETUPWNDCLASS")) << "no backdrop: " << seen;
    hostemu::FailCall("ReadFile", ERROR_READ_FAULT);
    ASSERT_TRUE(hostemu::WriteFileBytes(kImage, damaged_));
    EXPECT_EQ(5, Run("/S", seen)) << "a file that cannot be read counts as damaged";
    hostemu::ClearFaults();
    EXPECT_FALSE(hostemu::NamedObjectExists("Global\\NetQuilloSetupRunning"))
        << "a damaged setup takes no lock";

    std::string image;
    ASSERT_TRUE(ReadBuildFile(NQ_CHECKED_IMAGE, image));
    ASSERT_TRUE(hostemu::WriteFileBytes(kImage, image));
    {
        InstanceLock running;
        EXPECT_EQ(3, Run("/S /LOG=C:\\setup.log", seen));
        EXPECT_EQ("", seen);
        EXPECT_EQ(3, Run("", seen));
        EXPECT_NE(std::string::npos, seen.find("Another NetQuillo setup or uninstaller is running"))
            << seen;
        EXPECT_EQ(3, StartUninstall(0, "/S C:\\Program Files\\QuilloSoft\\WebQuillo"));
    }
    EXPECT_FALSE(hostemu::NamedObjectExists("Global\\NetQuilloSetupRunning"));
}

TEST_F(HostStartSetup, AnotherUsersObjectOfTheLocksNameDoesNotStopSetup_HostOnly) {
    // An event, which setup cannot open as a mutex: it is not a setup's.
    hostemu::PlantNamedObject("Global\\NetQuilloSetupRunning", "S-1-5-21-7-7-7-1001", false, true);
    EXPECT_FALSE(InstanceLock().HeldElsewhere());
    hostemu::ClearUserLog();
    EXPECT_EQ(0, StartSetup("/S /MODULES=News"));
    EXPECT_EQ("", hostemu::UserLog());
}
