// A registry key and everything below it as REGEDIT4 text, read through the Win32 API, so the
// same export describes the emulated registry and a real one.
#pragma once

#include <string>

#include "platform/win32.h"

// Exports `path` under `root` (null or empty: the root itself, without its own section line)
// with its values and all its subkeys, in enumeration order. With `header` the text starts with
// the "REGEDIT4" line and a blank line. Lines end in "\n". A key that cannot be opened gives no
// text beyond the header.
std::string ExportRegistryKey(HKEY root, const char* path, bool header = true);

// One value of the key `path` under `root` with its section line and a blank line after, as
// ExportRegistryKey writes it, without a header: for keys others share, where only our value is
// ours. "" when the key or the value is missing.
std::string ExportRegistryValue(HKEY root, const char* path, const char* name);

// The name REGEDIT4 text gives a root key: "HKEY_CURRENT_USER" and so on.
const char* RootKeyName(HKEY root);
