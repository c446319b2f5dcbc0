// The winget manifest and the program agree: the switches winget passes are options setup
// reads as meant, and the codes it explains are the ones setup answers, all of them but
// success and the plain failure. The installer's hash: wine.payloads.ManifestHash.
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "driver/setup_options.h"
#include "tests/support/test_world.h"

namespace {

// The value of the first key `name` (at a line's start or after blanks), or "".
std::string Value(const std::string& manifest, const std::string& name) {
    for (size_t at = manifest.find(name + ": "); at != std::string::npos;
         at = manifest.find(name + ": ", at + 1)) {
        if (at == 0 || manifest[at - 1] == ' ' || manifest[at - 1] == '\n') {
            const size_t start = at + name.size() + 2;
            return manifest.substr(start, manifest.find('\n', start) - start);
        }
    }
    return std::string();
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

class WingetManifest : public TestWorld {};

} // namespace

TEST_F(WingetManifest, SwitchesAndCodesAreTheProgramsOwn) {
    std::string manifest;
    ASSERT_TRUE(ReadBuildFile(NQ_WINGET_INSTALLER_MANIFEST, manifest));
    EXPECT_EQ("exe", Value(manifest, "InstallerType"));
    EXPECT_EQ("machine", Value(manifest, "Scope"));

    const std::string log = "C:\\Users\\Ann Smith\\AppData\\Local\\Temp\\WinGet\\install.log";
    const std::string folder = "C:\\Program Files\\QuilloSoft Suite";
    const std::string logSwitch = Replace(Value(manifest, "Log"), "<LOGPATH>", log);
    const std::string folderSwitch =
        Replace(Value(manifest, "InstallLocation"), "<INSTALLPATH>", folder);
    for (const char* mode : {"Silent", "SilentWithProgress"}) {
        // As winget puts them together: the mode's switch, the log, the location last.
        const std::string line = Value(manifest, mode) + " " + logSwitch + " " + folderSwitch;
        SetupOptions options;
        EXPECT_TRUE(ReadSetupOptions(line.c_str(), options)) << line;
        EXPECT_TRUE(options.silent) << line;
        EXPECT_EQ(log, options.logPath) << line;
        EXPECT_EQ(folder, options.folder) << line;
    }

    std::set<int> explained;
    std::istringstream lines(manifest);
    for (std::string line; std::getline(lines, line);) {
        const std::string code = Value(line, "- InstallerReturnCode");
        if (!code.empty())
            explained.insert(std::stoi(code));
    }
    EXPECT_EQ((std::set<int>{kExitRefused, kExitAnotherSetup, kExitDiskSpace, kExitDamaged,
                             kExitCancelled, kExitFilesInUse}),
              explained);
    EXPECT_NE(std::string::npos, manifest.find("InstallerSuccessCodes:\n  - 0\n"));
    EXPECT_EQ(0, kExitInstalled);
}
