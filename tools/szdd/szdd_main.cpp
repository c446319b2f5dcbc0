// szdd -c IN OUT compresses IN into an SZDD container; szdd -d IN OUT expands one.
// Exit status: 0 done, 1 a file could not be read or written or the container is malformed,
// 2 a usage error. A failed run leaves no OUT behind.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/szdd/szdd.h"

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

class FileSource : public szdd::Source {
  public:
    explicit FileSource(std::FILE* file) : file_(file) {}
    long Read(uint8_t* buffer, size_t size) override {
        size_t count = std::fread(buffer, 1, size, file_);
        if (count == 0 && std::ferror(file_))
            return -1;
        return static_cast<long>(count);
    }

  private:
    std::FILE* file_;
};

int Complain(const char* path, const char* what) {
    std::fprintf(stderr, "szdd: %s: %s\n", path, what);
    return kFailed;
}

bool ReadWhole(std::FILE* file, std::vector<uint8_t>& bytes) {
    uint8_t chunk[65536];
    size_t count;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + count);
    return !std::ferror(file);
}

int CompressFile(const char* inPath, const char* outPath) {
    std::FILE* in = std::fopen(inPath, "rb");
    if (in == nullptr)
        return Complain(inPath, std::strerror(errno));
    std::vector<uint8_t> data;
    bool read = ReadWhole(in, data);
    std::fclose(in);
    if (!read)
        return Complain(inPath, "read error");
    std::vector<uint8_t> container = szdd::Compress(data.data(), data.size());
    if (container.empty())
        return Complain(inPath, "too large for an SZDD container (4 GiB at most)");

    std::FILE* out = std::fopen(outPath, "wb");
    if (out == nullptr)
        return Complain(outPath, std::strerror(errno));
    bool written = std::fwrite(container.data(), 1, container.size(), out) == container.size();
    written = std::fclose(out) == 0 && written;
    if (!written) {
        std::remove(outPath);
        return Complain(outPath, "write error");
    }
    return 0;
}

int ExpandFile(const char* inPath, const char* outPath) {
    std::FILE* in = std::fopen(inPath, "rb");
    if (in == nullptr)
        return Complain(inPath, std::strerror(errno));
    std::FILE* out = std::fopen(outPath, "wb");
    if (out == nullptr) {
        std::fclose(in);
        return Complain(outPath, std::strerror(errno));
    }

    FileSource source(in);
    szdd::Expander expander(source);
    static uint8_t chunk[65536];
    long count;
    bool written = true;
    while (written && (count = expander.Read(chunk, sizeof chunk)) > 0)
        written = std::fwrite(chunk, 1, static_cast<size_t>(count), out) ==
                  static_cast<size_t>(count);
    std::fclose(in);
    written = std::fclose(out) == 0 && written;

    if (expander.GetError() != szdd::Error::None) {
        std::remove(outPath);
        return Complain(inPath, szdd::Describe(expander.GetError()));
    }
    if (!written) {
        std::remove(outPath);
        return Complain(outPath, "write error");
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "-c") == 0)
        return CompressFile(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "-d") == 0)
        return ExpandFile(argv[2], argv[3]);
    std::fprintf(stderr, "usage: szdd -c IN OUT | szdd -d IN OUT\n");
    return kUsage;
}
