// Private profile files ("name=value" lines in "[section]"s).
#pragma once

#include "platform/host/win32_types.h"

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer,
                               DWORD size, LPCSTR fileName);
// All three of section, key and value null: write the cached file back.
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName);
