// National language support: what the program asks of the user's locale.
#pragma once

#include "platform/host/win32_types.h"

typedef DWORD LCID;
typedef DWORD LCTYPE;

#define LOCALE_USER_DEFAULT 0x0400
#define LOCALE_SYSTEM_DEFAULT 0x0800
#define LOCALE_SENGCOUNTRY 0x00001002
#define ERROR_INVALID_FLAGS 1004L

// The answer's length with its zero, or with `size` 0 the length it needs; 0 and
// ERROR_INSUFFICIENT_BUFFER when it does not fit, ERROR_INVALID_FLAGS for an item the
// emulated locale does not know.
int GetLocaleInfoA(LCID locale, LCTYPE type, LPSTR buffer, int size);
