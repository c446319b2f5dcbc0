// The fixture every test starts from. On Windows it uses the real system and clears the keys
// and folders the tests use before and after each test; on the host it resets the emulation to
// a freshly installed machine.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"

class TestWorld : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
};

// Deletes `path` under `root` with every key below it; true when the key is gone afterwards.
bool DeleteRegistryTree(HKEY root, const char* path);

// For the tests of the 95 family, whose names contain Win9x: on the host it switches the
// emulation to that family; under Wine those tests run in a prefix set to win98 (see
// scripts/wine-run.sh) and it checks that they do. True when the 95 family is in force.
bool UseWin9xFamily();

// The key tests may scribble in freely, outside the program's own keys.
extern const char kScratchKey[];

// The registry key `path` under `root` as REGEDIT4 text, for comparisons in tests.
std::string RegistryText(HKEY root, const char* path);
