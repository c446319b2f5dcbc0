// Reading the server addresses that other programs store: "name:port" pairs and the system's
// list of proxy servers.
#pragma once

#include <cstddef>

#include "platform/win32.h"

// A decimal number as the C runtime's atoi reads it: leading blanks, an optional sign, digits
// up to the first non-digit, 0 when there are none. Beyond the range of a 32-bit integer it
// stops at the nearest end of that range instead of being undefined.
int ReadDecimal(const char* text);

// Cuts `text` at its last colon and reads what followed as the port; false, and both left
// alone, when there is no colon.
bool CutPort(char* text, DWORD& port);

// The server that the system's ProxyServer string names for protocol `name` ("http", "ftp",
// "socks"): either its "name=" entry, or, for http only, a string that is a single server for
// every protocol (it holds neither "=" nor ";"). The entry ends at ";", a scheme and "://" are
// dropped, a ":port" at its end is cut off into `port`. Lower case, as the system compares.
// False, with `address` and `port` left alone, when the string names no server for `name` or
// the answer would not fit `capacity` bytes.
bool FindSystemProxy(const char* proxyServer, const char* name, char* address, size_t capacity,
                     DWORD& port);
