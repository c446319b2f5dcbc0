// The registry key wrapper through which every registry access of the program passes: one open
// key at a time, chosen by a base code and an optional sub-path; every operation answers a
// boolean and keeps no error code.
#pragma once

#include "platform/win32.h"

// Where a key path starts. The first three lie under the suite key in HKEY_CURRENT_USER; the
// others take the sub-path verbatim under a fixed root. Any other value addresses nothing.
enum KeyBase : int {
    Updates = 0,      // the suite's shared settings key
    Module = 1,       // the key of the wrapper's module
    Suite = 2,        // the suite key itself
    LocalMachine = 3, // HKEY_LOCAL_MACHINE
    CurrentUser = 4,  // HKEY_CURRENT_USER
    ClassesRoot = 5,  // HKEY_CLASSES_ROOT
};

extern const char kSuiteKeyPath[];

constexpr DWORD kKeyPathCapacity = 1024;
constexpr DWORD kShortNameCapacity = 512;

// Root and path of a base code, the sub-path appended after one backslash (codes 0 to 2; a null
// sub-path adds nothing, an empty one adds the backslash) or taken verbatim (codes 3 to 5).
// False for an unknown code, an empty path, or a path longer than kKeyPathCapacity - 1.
bool ComposeKeyPath(KeyBase base, const char* shortName, const char* subPath, HKEY& root,
                    char (&path)[kKeyPathCapacity]);

class RegKey {
  public:
    // The short name is used only by the Module base code; callers that address other keys
    // pass module 0's.
    explicit RegKey(const char* shortName);
    ~RegKey();
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    // Closes first, then opens (read-only) or opens-or-creates with every missing parent.
    bool Open(KeyBase base, const char* subPath, bool readOnly);
    // For putting a key back as it was: one still there is opened for writing, which needs no
    // right to create keys; one that is gone is made again.
    bool OpenToRestore(KeyBase base, const char* subPath);
    // Opens read-only, telling a key that is not there (true, `present` clear) from one that
    // could not be asked (false): only the first may be taken for absent.
    bool Probe(KeyBase base, const char* subPath, bool& present);
    void Close();
    bool IsOpen() const { return key_ != nullptr; }
    // True unless the open key is known to have no subkey: every doubt keeps a parent key.
    bool HasSubkeys();
    // Closes first; deletes the one key named, which must have no subkeys.
    bool DeleteKey(KeyBase base, const char* subPath);
    // Closes first; deletes the key named with every key below it, children first. True when
    // the key is gone; on false whatever could not be deleted stays, with its parents.
    bool DeleteTree(KeyBase base, const char* subPath);

    // Value names may be null for the key's default value.
    bool DeleteValue(const char* name); // a value that does not exist counts as deleted
    bool ValueExists(const char* name);
    // Always leaves a zero-terminated string within `capacity` (empty after a false answer);
    // false for another type and for a string that does not fit with its zero.
    bool ReadString(const char* name, char* buffer, DWORD capacity);
    bool ReadMultiString(const char* name, char* buffer, DWORD& size);
    bool ReadBinary(const char* name, void* buffer, DWORD& size);
    bool ReadDword(const char* name, DWORD& value);
    // Leaves `flag` alone unless a REG_DWORD was read, so the caller's default stands.
    bool ReadFlag(const char* name, bool& flag);
    // `count` in: capacity in elements; out: stored bytes / 4.
    bool ReadDwordArray(const char* name, DWORD* values, DWORD& count);
    bool WriteString(const char* name, const char* text);
    bool WriteMultiString(const char* name, const char* data, DWORD size);
    bool WriteBinary(const char* name, const void* data, DWORD size);
    bool WriteDword(const char* name, DWORD value);
    bool WriteFlag(const char* name, bool flag);
    bool WriteDwordArray(const char* name, const DWORD* values, DWORD count);
    bool EnumValueName(DWORD index, char* name, DWORD capacity);
    // The value or subkey at `index` of the open key: true with `more` set for one, true with
    // `more` clear past the last, false for anything else (a name that does not fit `capacity`
    // among them). A value's type and data size come with it.
    bool EnumValue(DWORD index, char* name, DWORD capacity, DWORD& type, DWORD& size, bool& more);
    bool EnumSubkey(DWORD index, char* name, DWORD capacity, bool& more);
    // Whether the open key has value `name`, and its size: false when that cannot be told.
    bool ProbeValue(const char* name, bool& present, DWORD& size);
    // A value of any type, as its bytes.
    bool ReadValue(const char* name, DWORD& type, void* buffer, DWORD& size);
    bool Write(const char* name, DWORD type, const void* data, DWORD size);
    // A REG_MULTI_SZ value's characters as stored, which no code page touches, so that text
    // of other programs comes back exactly as they wrote it. Sizes in bytes, as above.
    bool ReadWideMultiString(const WCHAR* name, WCHAR* buffer, DWORD& size);
    // A value of any type as the registry stores it, for putting it back exactly: through the
    // wide calls, where the system has them, so that no code page touches its text; `wide`
    // tells which calls read it, for WriteStored. `present` clear (and true) when the open key
    // has no value by that name, as for a name whose listing the code page garbled. `size` in:
    // the buffer's bytes (0 with a null buffer asks for the size); out: the value's.
    bool ReadStored(const char* name, DWORD& type, void* buffer, DWORD& size, bool& wide,
                    bool& present);
    bool WriteStored(const char* name, DWORD type, const void* data, DWORD size, bool wide);
    bool WriteWideMultiString(const WCHAR* name, const WCHAR* data, DWORD size);

  private:
    // Closes first, as every call that names a key does, then composes its full path.
    bool CloseAndCompose(KeyBase base, const char* subPath, HKEY& root,
                         char (&path)[kKeyPathCapacity]);
    bool ReadTyped(const char* name, DWORD wantedType, void* buffer, DWORD& size);

    HKEY key_ = nullptr;
    char shortName_[kShortNameCapacity];
    bool shortNameFits_;
};
