#include <fstream>
#include <iterator>

#include "platform/host/emulation.h"
#include "tests/support/test_world.h"

// The tests' own dialogs (tests/support/test_dialogs.rc), embedded at build time.
extern const unsigned char nq_test_dialogs_image[];
extern const size_t nq_test_dialogs_image_size;

void TestWorld::SetUp() {
    hostemu::Reset();
    hostemu::AddImageResources(nq_test_dialogs_image, nq_test_dialogs_image_size);
    CreateDirectoryA(kScratchFolder, nullptr);
}

void TestWorld::TearDown() {
    hostemu::Reset();
}

bool UseWin9xFamily() {
    hostemu::SetPlatformFamily(hostemu::PlatformFamily::Win9x);
    return true;
}

bool ReadBuildFile(const std::string& path, std::string& bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}
