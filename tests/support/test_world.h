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

// The folder tests may scribble in freely: it exists and is empty when each test starts, and
// is removed when it ends.
extern const char kScratchFolder[];
// `name` below the scratch folder.
std::string ScratchPath(const std::string& name);
// Deletes a folder with everything below it, through the Win32 calls; true when it is gone.
bool DeleteFolderTree(const std::string& path);
// Whole-file helpers through the Win32 calls, so they work the same on both platforms.
bool WriteTestFile(const std::string& path, const std::string& bytes);
bool ReadTestFile(const std::string& path, std::string& bytes);
bool FileExists(const std::string& path);

// The registry key `path` under `root` as REGEDIT4 text, for comparisons in tests.
std::string RegistryText(HKEY root, const char* path);
