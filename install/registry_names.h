// Names of the system's registry keys that the install actions write into and the rollback
// clears again, and the one way those actions put key names together.
#pragma once

#include <cstddef>

// HKEY_LOCAL_MACHINE: the list of removable programs, one subkey per product.
extern const char kUninstallKey[];
// HKEY_LOCAL_MACHINE: the shell extensions the NT family's shell agrees to load.
extern const char kApprovedExtensionsKey[];
// HKEY_CLASSES_ROOT: the Find-menu extension's COM class and its in-process server.
extern const char kFindMenuClassKey[];
extern const char kFindMenuServerKey[];

// Appends `text` to the string in `buffer` of `capacity` bytes; false, and the buffer left as it
// was, when `text` is null or the result does not fit with its zero.
bool AppendString(char* buffer, size_t capacity, const char* text);
// `first` followed by `second` in `buffer` of `capacity` bytes. False, and an empty buffer, when
// either is null or the result does not fit with its zero: no key is ever addressed by a name
// cut short.
bool ConcatStrings(char* buffer, size_t capacity, const char* first, const char* second);
