#include "driver/drive_space.h"

#include <cstdint>
#include <cstring>

#include "driver/setup_context.h"

namespace {
const DWORD kUnlimited = 0xFFFFFFFFu;
const DWORD kSuiteBaseKilobytes = 150;
const DWORD kModuleKilobytesInSuite = 600;
const DWORD kModuleKilobytesInstalled = 1500;
} // namespace

DWORD GetDriveFreeSpace(const char* path) {
    size_t length = std::strlen(path);
    char root[4] = {};
    const char* rootPath = nullptr; // the current directory's drive
    if (length > 2 && path[1] == ':') {
        root[0] = path[0];
        root[1] = ':';
        root[2] = '\\';
        rootPath = root;
    } else if (length > 2 && path[0] == '\\' && path[1] == '\\') {
        return kUnlimited;
    }
    DWORD sectorsPerCluster = 0;
    DWORD bytesPerSector = 0;
    DWORD freeClusters = 0;
    DWORD totalClusters = 0;
    if (!GetDiskFreeSpaceA(rootPath, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                           &totalClusters))
        return 0;
    // A 32-bit product wraps on drives with more than 4 GB free, and a drive with room to
    // spare would then read as nearly full: count in 64 bits and saturate.
    uint64_t clusterBytes = static_cast<uint64_t>(sectorsPerCluster) * bytesPerSector;
    if (clusterBytes != 0 && freeClusters > kUnlimited / clusterBytes)
        return kUnlimited;
    return static_cast<DWORD>(freeClusters * clusterBytes);
}

DWORD GetRequiredSpace(bool wholeSuite) {
    if (wholeSuite) {
        DWORD modules = g_currentContext ? g_currentContext->moduleCount : 0;
        return (modules * kModuleKilobytesInSuite + kSuiteBaseKilobytes) * 1024;
    }
    return CountSelectedModules() * kModuleKilobytesInstalled * 1024;
}
