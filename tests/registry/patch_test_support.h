// Helpers of the registry patch tests: applying a patch body under the header and looking at
// what it stored, through the Win32 API so that both platforms answer the same way.
#pragma once

#include <string>

#include "platform/win32.h"
#include "registry/reg_patch.h"

// The suite key, under which every key a patch writes lies.
extern const std::string kSuitePath;

// A stored value: whether it exists, its type and its bytes.
struct StoredValue {
    bool exists = false;
    DWORD type = REG_NONE;
    std::string bytes;
};

// `body` with the header line before it, applied as module `shortName`'s patch.
bool ApplyBody(const std::string& body, PatchStop* stop = nullptr, const char* shortName = "Web");

// The value `name` of the key `subPath` below the suite key.
StoredValue ReadStored(const std::string& subPath, const char* name);
bool KeyExists(const std::string& path); // under HKEY_CURRENT_USER

// Bytes of little-endian 32-bit numbers, for comparing REG_BINARY values.
std::string DwordBytes(std::initializer_list<DWORD> numbers);
