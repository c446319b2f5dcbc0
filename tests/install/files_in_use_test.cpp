// Held files found before the install phase writes: which holders stop the run, and how they
// are named, through the Restart Manager where it names them and by the files where not.
#include <string>

#include "install/files_in_use.h"
#include "tests/install/deployment_fixture.h"
#include "tests/install/install_world.h"
#ifndef _WIN32
#include "platform/host/emulation.h"
#endif

namespace {

class FilesInUseTest : public DeploymentTest {
  protected:
    // Web and Phone below the scratch folder, each with its three files there already.
    void SetUp() override {
        DeploymentTest::SetUp();
        Select({0, 2}, ScratchPath("Quillo"));
        for (const char* name : {"WebQuillo\\WebQuillo.exe", "WebQuillo\\WebQuillo.hlp",
                                 "PhoneQuillo\\PhoneQuillo.hlp", "PhoneQuillo\\PhoneQuillo.exe"}) {
            ASSERT_TRUE(MakeFolders(ScratchPath("Quillo\\") + std::string(name).substr(
                                                                  0, std::string(name).find('\\'))));
            ASSERT_TRUE(WriteTestFile(ScratchPath("Quillo\\") + name, "earlier"));
        }
    }
    static std::string Help() { return ScratchPath("Quillo\\PhoneQuillo\\PhoneQuillo.hlp"); }
    static std::string Names(const FilesInUse& held) {
        char text[FilesInUse::kMaxFiles * MAX_PATH + 64];
        held.Names(text, sizeof text, "|");
        return text;
    }
    HANDLE Open(const std::string& path, DWORD access, DWORD share) {
        return CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }
};

} // namespace

// Only a holder that keeps the earlier file from being renamed aside stops the run: one that
// shares deletion, as a running program's image does, does not, whatever it reads or writes.
// Nobody the Restart Manager can name holds them here (under Wine it names nobody at all), so
// the files themselves are named.
TEST_F(FilesInUseTest, OnlyHoldersThatShareNoDeletionStopTheRunAndTheFilesAreNamed) {
    FilesInUse held;
    EXPECT_TRUE(held.Check(*context_));
    struct Holder {
        DWORD access;
        DWORD share;
        bool stops;
    } holders[] = {
        {GENERIC_READ, FILE_SHARE_READ, true},
        {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, true},
        {GENERIC_READ | GENERIC_WRITE, 0, true},
        {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, false},
        {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
         false},
    };
    for (const Holder& holder : holders) {
        HANDLE file = Open(Help(), holder.access, holder.share);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        EXPECT_EQ(!holder.stops, held.Check(*context_)) << holder.access << " " << holder.share;
        if (holder.stops) {
            EXPECT_FALSE(held.NamesPrograms());
            EXPECT_FALSE(held.CanClose());
            EXPECT_EQ(Help() + "|", Names(held));
            // Asking nobody to close, it looks again and finds the file still held.
            EXPECT_FALSE(held.CloseHoldersAndWait(*context_, 2, 1));
        }
        CloseHandle(file);
    }
    EXPECT_TRUE(held.Check(*context_));
    // Every file of both modules is looked at, the uninstallers too; missing ones are free.
    HANDLE web = Open(ScratchPath("Quillo\\WebQuillo\\WebQuillo.exe"), GENERIC_READ, 0);
    HANDLE help = Open(Help(), GENERIC_READ, 0);
    EXPECT_FALSE(held.Check(*context_));
    EXPECT_EQ(ScratchPath("Quillo\\WebQuillo\\WebQuillo.exe") + "|" + Help() + "|", Names(held));
    CloseHandle(web);
    CloseHandle(help);
    EXPECT_EQ("earlier", Contents(Help())) << "the check writes nothing";
}

#ifndef _WIN32
// The Restart Manager's answers: several programs, named once each and asked to close
// without force; one that refuses; one the system cannot do without; none; a failing call;
// and the 95 family, which has no Restart Manager.
TEST_F(FilesInUseTest, TheRestartManagerNamesAndPolitelyClosesTheHolders_HostOnly) {
    const std::string web = ScratchPath("Quillo\\WebQuillo\\WebQuillo.hlp");
    ASSERT_TRUE(hostemu::HoldFileAsProgram(Help().c_str(), "Help Viewer"));
    ASSERT_TRUE(hostemu::HoldFileAsProgram(web.c_str(), "Help Viewer"));
    ASSERT_TRUE(hostemu::HoldFileAsProgram(web.c_str(), "Quill Pad"));
    FilesInUse held;
    EXPECT_FALSE(held.Check(*context_));
    EXPECT_TRUE(held.NamesPrograms());
    EXPECT_TRUE(held.CanClose());
    EXPECT_EQ("Help Viewer|Quill Pad|", Names(held));
    EXPECT_TRUE(held.CloseHoldersAndWait(*context_, 3, 500));
    EXPECT_EQ("Help Viewer\nHelp Viewer\nQuill Pad\n", hostemu::ProgramsAskedToClose());
    EXPECT_EQ(1u, hostemu::CallCount("RmShutdown"));

    // A program that will not close keeps the file: looked at `checks` times, half a second
    // apart, it is still held.
    ASSERT_TRUE(hostemu::HoldFileAsProgram(Help().c_str(), "Stubborn", false));
    EXPECT_FALSE(held.Check(*context_));
    const DWORD before = GetTickCount();
    EXPECT_FALSE(held.CloseHoldersAndWait(*context_, 3, 500));
    EXPECT_LE(before + 1000, GetTickCount());
    EXPECT_EQ("Stubborn|", Names(held));
    EXPECT_EQ("Help Viewer\nHelp Viewer\nQuill Pad\nStubborn\n", hostemu::ProgramsAskedToClose());
    hostemu::ReleaseHeldFiles();

    ASSERT_TRUE(hostemu::HoldFileAsProgram(Help().c_str(), "Session Manager", true, true));
    EXPECT_FALSE(held.Check(*context_));
    EXPECT_EQ("Session Manager|", Names(held));
    EXPECT_FALSE(held.CanClose()) << "never asked";
    hostemu::ReleaseHeldFiles();

    // A holder it cannot name, a failing call, no Restart Manager: the files are named.
    ASSERT_TRUE(hostemu::HoldFileOpen(Help().c_str(), FILE_SHARE_READ));
    EXPECT_FALSE(held.Check(*context_));
    EXPECT_EQ(Help() + "|", Names(held));
    hostemu::ReleaseHeldFiles();
    ASSERT_TRUE(hostemu::HoldFileAsProgram(Help().c_str(), "Help Viewer"));
    for (const char* call : {"RmStartSession", "RmRegisterResources", "RmGetList"}) {
        hostemu::FailCall(call, ERROR_OUTOFMEMORY);
        EXPECT_FALSE(held.Check(*context_));
        EXPECT_EQ(Help() + "|", Names(held)) << call;
        EXPECT_FALSE(held.CanClose()) << call;
        hostemu::ClearFaults();
    }
    EXPECT_EQ(hostemu::CallCount("RmStartSession"), hostemu::CallCount("RmEndSession") + 1)
        << "every session that started ended";
    const unsigned sessions = hostemu::CallCount("RmStartSession");
    hostemu::SetPlatformFamily(hostemu::PlatformFamily::Win9x);
    EXPECT_FALSE(held.Check(*context_));
    EXPECT_EQ(Help() + "|", Names(held));
    EXPECT_EQ(sessions, hostemu::CallCount("RmStartSession"));
}
#endif
