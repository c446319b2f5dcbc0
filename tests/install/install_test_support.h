// Shared set-up for the install action tests: the payloads' source files and the folders the
// actions write to.
#pragma once

#include <set>
#include <string>

#include "tests/support/test_world.h"

// The bytes of payload file `name` as the build made it.
std::string PayloadSource(const std::string& name);
// The names in `folder` (a search of folder\*), dots left out.
std::set<std::string> FolderNames(const std::string& folder);
std::string TempFolder();
std::string WindowsFolderFile(const char* name);
std::string SystemFolderFile(const char* name);
