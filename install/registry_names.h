// Names of the system's registry keys that the install actions write into and the rollback
// clears again.
#pragma once

// HKEY_LOCAL_MACHINE: the list of removable programs, one subkey per product.
extern const char kUninstallKey[];
// HKEY_LOCAL_MACHINE: the shell extensions the NT family's shell agrees to load.
extern const char kApprovedExtensionsKey[];
// HKEY_CLASSES_ROOT: the Find-menu extension's COM class and its in-process server.
extern const char kFindMenuClassKey[];
extern const char kFindMenuServerKey[];
// In a module's uninstall entry: how many levels of its install folder, from the folder itself
// upward, setup made.
extern const char kMadeFolderLevelsValue[];
// In the Find-menu group key: how many levels of keys above it, from its parent upward, setup
// made for it; the last module's removal takes them again while they are empty.
extern const char kMadeKeyLevelsValue[];
