// Writing the selected modules' files: each module's folder with its missing parents, the
// shared Find-menu library when it is absent, the program, help and contents files, and the
// uninstaller in the Windows directory.
#pragma once

#include "platform/win32.h"

class ProgressBox;
class SetupContext;

// True when every selected module's folder and files are in place. Steps the progress box
// five times per module, each before its status text. On false, what was written so far stays
// for the rollback to remove.
bool DeployFiles(SetupContext& context, ProgressBox& progress);

// Creates one folder whose parent exists; true as well when a folder of that name is there
// already, whatever error its creation answered.
bool EnsureFolder(const char* folder, LPSECURITY_ATTRIBUTES security = nullptr);
