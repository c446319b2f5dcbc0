// nq_robot SCENARIO SETUP-EXE OUTPUT-FOLDER [pictures]
// Plays a scenario against NetQuilloSetup.exe and writes into OUTPUT-FOLDER what happened
// (steps.txt), the registry keys the installer touches (registry.reg) and the files and links
// it makes (files.txt). With "pictures" it asks for a picture of every step, to be taken into
// OUTPUT-FOLDER\pictures (see robot.h).
#include <cstdio>
#include <string>

#include "driver/catalogue.h"
#include "driver/setup_context.h"
#include "tests/e2e/robot/machine_state.h"
#include "tests/e2e/robot/scenarios.h"

namespace {

bool WriteText(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == text.size();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: nq_robot SCENARIO SETUP-EXE OUTPUT-FOLDER [pictures]\n");
        return 2;
    }
    const std::string folder = argv[3];
    const bool pictures = argc > 4 && std::string(argv[4]) == "pictures";
    std::string transcript;
    if (!PlayScenario(argv[1], argv[2], pictures ? folder + "\\pictures" : "", transcript)) {
        std::fprintf(stderr, "nq_robot: no scenario named %s\n", argv[1]);
        return 2;
    }
    CoInitialize(nullptr);
    // The catalogue names the files and keys to look at; building a context reads nothing.
    SetupContext catalogue(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    const MachineView view = ImageView(argv[2]);
    const bool written =
        WriteText(folder + "\\steps.txt", transcript) &&
        WriteText(folder + "\\registry.reg", ExportTouchedRegistry(catalogue, view)) &&
        WriteText(folder + "\\files.txt", ListTouchedFiles(catalogue, view));
    CoUninitialize();
    if (!written) {
        std::fprintf(stderr, "nq_robot: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
