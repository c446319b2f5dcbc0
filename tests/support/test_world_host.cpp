#include <fstream>
#include <iterator>

#include "platform/host/emulation.h"
#include "tests/support/test_world.h"

void TestWorld::SetUp() {
    hostemu::Reset();
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
