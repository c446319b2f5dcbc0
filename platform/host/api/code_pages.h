// Conversion between the ANSI code page and UTF-16.
#pragma once

#include "platform/host/win32_types.h"

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_UTF8 65001
#define WC_NO_BEST_FIT_CHARS 0x00000400
#define ERROR_NO_UNICODE_TRANSLATION 1113L

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, WCHAR* wide,
                        int capacity);
int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* wide, int length, LPSTR text,
                        int capacity, LPCSTR defaultChar, BOOL* usedDefault);

UINT GetACP();
BOOL IsDBCSLeadByte(BYTE byte);
