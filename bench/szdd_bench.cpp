// Our SZDD tool against Debian's mscompress and msexpand, in one run:
//   szdd_bench SZDD MSCOMPRESS MSEXPAND WORKDIR SET...   where SET is NAME=FILE[,FILE...]
// For each set it prints the compressed size of both tools (our goal: at most 0.97 of
// mscompress) and the expansion throughput of both command-line tools over the same
// containers, several repetitions each, process start included on both sides (our goal: at
// least equal). A last line gives our expander's throughput in process, for reference.
#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/szdd/szdd.h"

namespace {

constexpr int kRepetitions = 3;

struct Tools {
    std::string szdd, mscompress, msexpand, work;
};

// Runs `argv` with stdin and stdout from and to the given files (when not empty); true when it
// exits with status 0.
bool Run(const std::vector<std::string>& argv, const std::string& in = "",
         const std::string& out = "") {
    pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        if (!in.empty()) {
            int fd = open(in.c_str(), O_RDONLY);
            if (fd < 0 || dup2(fd, 0) < 0)
                _exit(127);
        }
        if (!out.empty()) {
            int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd < 0 || dup2(fd, 1) < 0)
                _exit(127);
        }
        std::vector<char*> args;
        for (const std::string& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    bytes.clear();
    uint8_t chunk[65536];
    size_t count;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + count);
    std::fclose(file);
    return true;
}

bool CopyFile(const std::string& from, const std::string& to) {
    std::vector<uint8_t> bytes;
    if (!ReadFile(from, bytes))
        return false;
    std::FILE* file = std::fopen(to.c_str(), "wb");
    if (file == nullptr)
        return false;
    bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

struct Entry {
    std::string path;     // the original
    std::string ours;     // our container
    std::string theirs;   // mscompress's container
    size_t size = 0;
};

bool MeasureSet(const Tools& tools, const std::string& name, const std::vector<std::string>& paths) {
    std::vector<Entry> entries;
    size_t original = 0, ours = 0, theirs = 0;
    for (size_t i = 0; i < paths.size(); ++i) {
        Entry entry;
        entry.path = paths[i];
        struct stat info;
        if (stat(entry.path.c_str(), &info) != 0) {
            std::printf("  (skipped %s: not found)\n", entry.path.c_str());
            continue;
        }
        entry.size = static_cast<size_t>(info.st_size);
        const std::string base = tools.work + "/" + name + "-" + std::to_string(i);
        entry.ours = base + ".ours";
        entry.theirs = base + "_"; // mscompress appends an underscore to the name it is given
        if (!Run({tools.szdd, "-c", entry.path, entry.ours}) || !CopyFile(entry.path, base) ||
            (unlink(entry.theirs.c_str()), !Run({tools.mscompress, base}))) {
            std::printf("  compressing %s failed\n", entry.path.c_str());
            return false;
        }
        struct stat a, b;
        stat(entry.ours.c_str(), &a);
        stat(entry.theirs.c_str(), &b);
        original += entry.size;
        ours += static_cast<size_t>(a.st_size);
        theirs += static_cast<size_t>(b.st_size);
        entries.push_back(entry);
    }
    if (entries.empty())
        return true;

    std::printf("%s: %zu files, %zu bytes\n", name.c_str(), entries.size(), original);
    std::printf("  size      szdd %9zu   mscompress %9zu   ratio %.4f (goal <= 0.97)   "
                "%.1f%% of the original\n",
                ours, theirs, double(ours) / double(theirs), 100.0 * ours / original);

    // Expansion: both tools over our containers, file to file, alternating so that neither
    // gets a warmer cache. Every output is checked once.
    const std::string out = tools.work + "/expanded";
    std::chrono::steady_clock::duration oursTime{}, theirsTime{};
    for (int round = 0; round < kRepetitions; ++round) {
        for (const Entry& entry : entries) {
            auto start = std::chrono::steady_clock::now();
            bool ok = Run({tools.szdd, "-d", entry.ours, out});
            oursTime += std::chrono::steady_clock::now() - start;
            std::vector<uint8_t> expected, got;
            if (round == 0 && (!ok || !ReadFile(entry.path, expected) || !ReadFile(out, got) ||
                               expected != got)) {
                std::printf("  szdd -d gave other bytes for %s\n", entry.path.c_str());
                return false;
            }
            start = std::chrono::steady_clock::now();
            ok = Run({tools.msexpand}, entry.ours, out);
            theirsTime += std::chrono::steady_clock::now() - start;
            if (round == 0 && (!ok || !ReadFile(out, got) || expected != got)) {
                std::printf("  msexpand gave other bytes for %s\n", entry.path.c_str());
                return false;
            }
        }
    }
    const double megabytes = double(original) * kRepetitions / 1e6;
    std::printf("  expand    szdd %7.1f MB/s   msexpand %7.1f MB/s   ratio %.2f (goal >= 1)   "
                "%d runs of each file, process start included\n",
                megabytes / Seconds(oursTime), megabytes / Seconds(theirsTime),
                Seconds(theirsTime) / Seconds(oursTime), kRepetitions);

    // In process, for reference: the expander alone, without process start or file output.
    std::chrono::steady_clock::duration libraryTime{};
    for (int round = 0; round < kRepetitions; ++round) {
        for (const Entry& entry : entries) {
            std::vector<uint8_t> container, expanded;
            ReadFile(entry.ours, container);
            auto start = std::chrono::steady_clock::now();
            szdd::Expand(container.data(), container.size(), expanded, nullptr);
            libraryTime += std::chrono::steady_clock::now() - start;
        }
    }
    std::printf("  expander in process (this build's nq_szdd): %.1f MB/s\n",
                megabytes / Seconds(libraryTime));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: szdd_bench SZDD MSCOMPRESS MSEXPAND WORKDIR NAME=FILE[,FILE...]...\n");
        return 2;
    }
    Tools tools{argv[1], argv[2], argv[3], argv[4]};
    mkdir(tools.work.c_str(), 0755);
    bool ok = true;
    for (int i = 5; i < argc; ++i) {
        std::string set = argv[i];
        size_t equals = set.find('=');
        if (equals == std::string::npos)
            continue;
        std::vector<std::string> paths;
        for (size_t at = equals + 1; at <= set.size();) {
            size_t comma = set.find(',', at);
            if (comma == std::string::npos)
                comma = set.size();
            if (comma > at)
                paths.push_back(set.substr(at, comma - at));
            at = comma + 1;
        }
        ok = MeasureSet(tools, set.substr(0, equals), paths) && ok;
    }
    return ok ? 0 : 1;
}
