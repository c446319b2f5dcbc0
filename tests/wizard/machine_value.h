// A registry value that belongs to the machine rather than to the suite (the registered owner,
// the program-files folder, the system's proxy settings): a test may change it, and it is put
// back as it was when the test ends, on Windows as on the host.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"
#include "registry/reg_key.h"

class MachineValue {
  public:
    MachineValue(HKEY root, const char* keyPath, const char* name);
    ~MachineValue();
    MachineValue(const MachineValue&) = delete;
    MachineValue& operator=(const MachineValue&) = delete;

    bool SetString(const char* text);
    bool SetDword(DWORD value);
    bool SetBinary(const std::string& bytes);
    bool Delete();

  private:
    bool Set(DWORD type, const void* data, DWORD size);

    HKEY root_;
    std::string keyPath_;
    std::string name_;
    bool existed_ = false;
    DWORD type_ = REG_NONE;
    std::vector<BYTE> data_;
};

// Writes a value through the program's own key wrapper, creating the key; false on failure.

bool PutString(KeyBase base, const char* subPath, const char* name, const char* text);
bool PutDword(KeyBase base, const char* subPath, const char* name, DWORD value);

// The values of `path` under HKEY_CURRENT_USER as REGEDIT4 lines in name order, without the
// key's own line: Windows lists values in the order they were written, Wine in name order.
std::string SortedValues(const std::string& path);
