// The suite's Find-menu shell extension: its COM class, its group and one entry per module.
#pragma once

class SetupContext;

// The extension's class id, as key name, value name and value alike.
extern const char kFindMenuClassId[];
// The Find-menu group key under HKEY_LOCAL_MACHINE.
extern const char kFindGroupKey[];

void RegisterFindMenu(SetupContext& context);
