// What the install-action tests set up and look at: the system's folders and the restart-time
// deletion entries, which are put back as they were afterwards.
#pragma once

#include <string>

#include "platform/win32.h"
#include "tests/install/install_test_support.h"
#include "tests/support/test_world.h"

// A file or a folder.
bool PathExists(const std::string& path);
// Creates every missing folder of `path`.
bool MakeFolders(const std::string& path);

std::string WindowsFolder();
std::string SystemFolder();
std::string JoinedPath(std::string folder, const std::string& name);
// "" when the file does not exist.
std::string ShortPath(const std::string& path);

extern const char kTestSessionManagerKey[];
extern const char kTestFileRenameKey[];
extern const char kTestPendingValue[];
extern const char kTestFindGroupKey[];

// The pending list as raw bytes; false when there is none. `type` receives its type. `wide`:
// through the W calls, the bytes as stored rather than through the ANSI code page.
bool ReadPendingList(std::string& data, DWORD* type = nullptr, bool wide = false);
void WritePendingList(const std::string& data, DWORD type = REG_MULTI_SZ, bool wide = false);
// The list's characters as stored.
bool ReadWidePendingList(std::wstring& list);
void WriteWidePendingList(const std::wstring& list);
void DeletePendingList();

// Saves the machine's restart-time entries and "wininit.ini" and starts each test without
// them and the Find-menu group; puts everything back afterwards.
class InstallWorld : public TestWorld {
  protected:
    void SetUp() override;
    void TearDown() override;

  private:
    bool hadPendingList_ = false;
    DWORD pendingType_ = REG_NONE;
    std::string pendingList_;
    bool hadWininit_ = false;
    std::string wininit_;
};
