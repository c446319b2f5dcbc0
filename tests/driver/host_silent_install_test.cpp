// The silent install where only the emulation can set the scene: no window at all, too little
// room on either drive, a drive whose free space does not fit 32 bits, and user folders whose
// names the system's code page cannot write.
#include <string>

using namespace std::string_literals;

#include "driver/entry.h"
#include "platform/host/emulation.h"
#include "tests/support/test_world.h"

namespace {

class HostSilentInstall : public TestWorld {
  protected:
    // The exit code; the log in `log`, deleted again so that the machine compares whole.
    int Run(const std::string& arguments, std::string& log) {
        const std::string path = ScratchPath("setup.log");
        hostemu::ClearUserLog();
        int code = RunSetup(("/LOG=" + path + " " + arguments).c_str());
        ReadTestFile(path, log);
        DeleteFileA(path.c_str());
        return code;
    }
};

} // namespace

TEST_F(HostSilentInstall, TooLittleRoomOnEitherDriveRefusesWithoutAWindow_HostOnly) {
    // Two modules need 3,072,000 bytes on the install drive.
    hostemu::AddDrive('D', 3071999);
    hostemu::AddDrive('E', 3072000);
    const std::string registry = hostemu::ExportRegistry();
    const std::string files = hostemu::ListFiles();
    std::string log;

    ASSERT_TRUE(hostemu::SetFreeSpace("C:\\", 3839999));
    EXPECT_EQ(4, Run("/S /D=C:\\Quillo", log));
    EXPECT_NE(std::string::npos, log.find("Free space on the temporary drive: too little\r\n"
                                          "Nothing was installed. Exit code 4.\r\n"))
        << log;
    ASSERT_TRUE(hostemu::SetFreeSpace("C:\\", 1u << 30));

    EXPECT_EQ(4, Run("/S /MODULES=Web,IRC /D=D:\\Quillo", log));
    EXPECT_NE(std::string::npos, log.find("Free space on the drive of D:\\Quillo: too little\r\n"))
        << log;
    EXPECT_EQ("", hostemu::UserLog());
    EXPECT_EQ(registry, hostemu::ExportRegistry());
    EXPECT_EQ(files, hostemu::ListFiles());

    EXPECT_EQ(0, Run("/S /MODULES=Web,IRC /D=E:\\Quillo", log)) << log;
    EXPECT_EQ("", hostemu::UserLog()) << "no backdrop, wizard, progress box or message";
}

TEST_F(HostSilentInstall, ADriveWithMoreThanFourGigabytesFreeHasRoom_HostOnly) {
    // 16 GiB and 1 MiB would read as 1 MiB in 32 bits.
    hostemu::AddDrive('E', (16ull << 30) + (1u << 20));
    std::string log;
    EXPECT_EQ(0, Run("/S /D=E:\\Quillo", log)) << log;
    EXPECT_NE(std::string::npos, log.find("Install folder E:\\Quillo: accepted\r\n")) << log;
}

// The log of an administrator's run goes nowhere but where its name says: not through a
// junction on the way, not into a link at the last level, not into another user's file; a file
// there is emptied only when the run is not refused for its arguments. A suite key that cannot be read whole is a refusal
// before the first change.
TEST_F(HostSilentInstall, TheLogGoesOnlyWhereItsNameSaysAndRefusalsSayWhatTheyAre_HostOnly) {
    ASSERT_TRUE(hostemu::WriteFileBytes("C:\\Users\\Ann\\Link\\setup.log", "someone's"));
    ASSERT_TRUE(hostemu::MakeReparsePoint("C:\\Users\\Ann\\Link"));
    ASSERT_TRUE(hostemu::WriteFileBytes("C:\\Users\\Ann\\linked.log", "someone's"));
    ASSERT_TRUE(hostemu::MakeReparsePoint("C:\\Users\\Ann\\linked.log"));
    ASSERT_TRUE(hostemu::WriteFileBytes("C:\\Users\\Ann\\ann.log", "someone's"));
    ASSERT_TRUE(hostemu::SetFileOwner("C:\\Users\\Ann\\ann.log", "S-1-5-21-1111-2222-3333-1001"));
    const std::string registry = hostemu::ExportRegistry();
    for (const char* log : {"C:\\Users\\Ann\\Link\\setup.log", "C:\\Users\\Ann\\Link/setup.log",
                            "C:\\Users\\Ann\\linked.log", "C:\\Users\\Ann\\ann.log",
                            "setup.log"}) {
        EXPECT_EQ(2, RunSetup((std::string("/S /LOG=") + log).c_str())) << log;
        std::string bytes;
        EXPECT_TRUE(log[0] == 's' || (ReadTestFile(log, bytes) && bytes == "someone's")) << log;
    }
    EXPECT_EQ(registry, hostemu::ExportRegistry());

    hostemu::FailPath("RegOpenKeyExA", "HKEY_CURRENT_USER\\Software\\QuilloSoft",
                      ERROR_ACCESS_DENIED);
    std::string log;
    EXPECT_EQ(2, Run("/S", log));
    EXPECT_NE(std::string::npos, log.find("The suite's registry keys: cannot be read whole\r\n"
                                          "Nothing was installed. Exit code 2.\r\n"))
        << log;
}

// An NT system that keeps code page 1252, a user "Michał": the temporary folder and the desktop
// are reached by their short names; a folder without one ("Ελένη" on a volume that makes none)
// is refused before anything is written, silently with its reason in the log, by the wizard in
// a message. The 95 family's calls are taken as they answer.
TEST_F(HostSilentInstall, UserFoldersTheCodePageCannotWriteGoByTheirShortNames_HostOnly) {
    hostemu::SetTempPathWide(L"C:\\Users\\Michał\\Temp", "C:\\Users\\MICHA~1\\Temp");
    hostemu::SetDesktopDirectoryWide(L"C:\\Users\\Michał\\Desktop",
                                     "C:\\Users\\MICHA~1\\Desktop");
    std::string log;
    EXPECT_EQ(0, Run("/S /MODULES=Web /D=C:\\Quillo", log)) << log;
    EXPECT_NE(std::string::npos, hostemu::ListFiles().find("C:\\Users\\MICHA~1\\Desktop\\WebQuillo.LNK"))
        << hostemu::ListFiles();

    const char refused[] = ": its name holds characters that this system's code page cannot "
                           "write, and it has no short name to stand for it";
    hostemu::SetTempPathWide(L"C:\\Users\\Ελένη\\Temp", nullptr);
    const std::string registry = hostemu::ExportRegistry();
    const std::string files = hostemu::ListFiles();
    EXPECT_EQ(2, Run("/S /D=C:\\Other", log));
    EXPECT_NE(std::string::npos, log.find("The temporary folder"s + refused +
                                          "\r\nNothing was installed. Exit code 2.\r\n"))
        << log;
    EXPECT_EQ(2, RunSetup("/D=C:\\Other"));
    EXPECT_NE(std::string::npos, hostemu::UserLog().find("The temporary folder"s + refused))
        << hostemu::UserLog();
    hostemu::SetTempPath("C:\\WINDOWS\\TEMP");
    hostemu::SetDesktopDirectoryWide(L"C:\\Users\\王芳\\Desktop", nullptr);
    EXPECT_EQ(2, Run("/S /D=C:\\Other", log));
    EXPECT_NE(std::string::npos, log.find("The desktop folder"s + refused)) << log;
    EXPECT_EQ(registry, hostemu::ExportRegistry());
    EXPECT_EQ(files, hostemu::ListFiles());

    hostemu::SetPlatformFamily(hostemu::PlatformFamily::Win9x);
    Run("/S /D=C:\\Other", log);
    EXPECT_EQ(std::string::npos, log.find(refused)) << log;
}
