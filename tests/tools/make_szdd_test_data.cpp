// Writes one of the SZDD tests' inputs to a file, for the checks against Debian's tools:
// make_szdd_test_data KIND SIZE OUT
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/tools/szdd_test_data.h"

int main(int argc, char** argv) {
    using szddtest::Kind;
    const Kind kinds[] = {Kind::Incompressible, Kind::Repetitive, Kind::BlankLed, Kind::Text,
                          Kind::WindowRepeat};
    if (argc == 4) {
        for (Kind kind : kinds) {
            if (std::strcmp(argv[1], szddtest::KindName(kind)) != 0)
                continue;
            std::vector<uint8_t> data = szddtest::MakeData(kind, std::strtoul(argv[2], nullptr, 10));
            std::FILE* out = std::fopen(argv[3], "wb");
            if (out == nullptr)
                return 1;
            bool written =
                data.empty() || std::fwrite(data.data(), 1, data.size(), out) == data.size();
            return std::fclose(out) == 0 && written ? 0 : 1;
        }
    }
    std::fprintf(stderr, "usage: make_szdd_test_data KIND SIZE OUT\n");
    return 2;
}
