// Inputs for the SZDD tests, the same on every platform so that a failure reproduces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace szddtest {

enum class Kind {
    Incompressible, // pseudo-random bytes
    Repetitive,     // one short phrase over and over
    BlankLed,       // a run of blanks, then text: matches reach into the ring's blank fill
    Text,           // words from a small vocabulary, lines and indentation
    WindowRepeat,   // a random block repeated exactly one window (4096 bytes) later
};

const char* KindName(Kind kind);

std::vector<uint8_t> MakeData(Kind kind, size_t size, uint32_t seed = 1);

} // namespace szddtest
