#include "tests/tools/szdd_test_data.h"

namespace szddtest {

namespace {

// A small linear congruential generator: the same bytes on every platform and compiler.
class Random {
  public:
    explicit Random(uint32_t seed) : state_(seed) {}
    uint32_t Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }

  private:
    uint32_t state_;
};

void AppendText(std::vector<uint8_t>& out, size_t size, Random& random) {
    static const char* const kWords[] = {"search", "the",  "web",  "for",    "news",  "mail",
                                         "quill",  "file", "and",  "phone",  "setup", "of",
                                         "server", "list", "user", "module", "proxy", "a"};
    while (out.size() < size) {
        uint32_t r = random.Next();
        if (r % 11 == 0) {
            out.push_back('\n');
            for (uint32_t indent = r % 4 * 2; indent > 0 && out.size() < size; --indent)
                out.push_back(' ');
            continue;
        }
        for (const char* c = kWords[r % (sizeof kWords / sizeof kWords[0])]; *c != 0; ++c)
            out.push_back(static_cast<uint8_t>(*c));
        out.push_back(' ');
    }
    out.resize(size);
}

} // namespace

const char* KindName(Kind kind) {
    switch (kind) {
    case Kind::Incompressible:
        return "Incompressible";
    case Kind::Repetitive:
        return "Repetitive";
    case Kind::BlankLed:
        return "BlankLed";
    case Kind::Text:
        return "Text";
    case Kind::WindowRepeat:
        return "WindowRepeat";
    }
    return "Unknown";
}

std::vector<uint8_t> MakeData(Kind kind, size_t size, uint32_t seed) {
    Random random(seed);
    std::vector<uint8_t> out;
    out.reserve(size);
    switch (kind) {
    case Kind::Incompressible:
        while (out.size() < size)
            out.push_back(static_cast<uint8_t>(random.Next()));
        break;
    case Kind::Repetitive: {
        static const char kPhrase[] = "NetQuillo! ";
        while (out.size() < size)
            out.push_back(static_cast<uint8_t>(kPhrase[out.size() % (sizeof kPhrase - 1)]));
        break;
    }
    case Kind::BlankLed:
        while (out.size() < size && out.size() < 300)
            out.push_back(' ');
        AppendText(out, size, random);
        break;
    case Kind::Text:
        AppendText(out, size, random);
        break;
    case Kind::WindowRepeat:
        while (out.size() < size) {
            if (out.size() >= 4096)
                out.push_back(out[out.size() - 4096]);
            else
                out.push_back(static_cast<uint8_t>(random.Next()));
        }
        break;
    }
    return out;
}

} // namespace szddtest
