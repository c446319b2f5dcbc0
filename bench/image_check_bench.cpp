// What setup's check of its own file adds to its start: the whole check of an image, from
// opening the file to the answer, as setup makes it before its first window.
// Usage: image_check_bench IMAGE [runs]   (on Windows or under Wine: a Windows path)
// The first run reads the file from disk as a first start does; the median is the cost with
// the file in the system's cache, as it is right after a download.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver/image_check.h"
#include "platform/win32.h"
#ifndef _WIN32
#include <fstream>
#include <sstream>

#include "platform/host/emulation.h"
#endif

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: image_check_bench IMAGE [runs]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 21;
    std::string path = argv[1];
#ifndef _WIN32
    // The emulation's files live in memory: the figure is the sum's alone.
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    hostemu::Reset();
    path = "C:\\NetQuilloSetup.exe";
    hostemu::WriteFileBytes(path.c_str(), bytes.str());
#endif
    std::vector<double> times;
    bool passed = true;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        passed = CheckImageFile(path.c_str()) && passed;
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    const double first = times[0];
    std::sort(times.begin(), times.end());
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    const double megabytes = file == INVALID_HANDLE_VALUE ? 0 : GetFileSize(file, nullptr) / 1e6;
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    std::printf("image %s: %.2f MB, check %s\n", argv[1], megabytes, passed ? "passes" : "FAILS");
    std::printf("first run:  %.2f ms\nmedian of %d: %.2f ms (%.0f MB/s)\n", first, runs,
                times[times.size() / 2], megabytes / (times[times.size() / 2] / 1000));
    return passed ? 0 : 1;
}
