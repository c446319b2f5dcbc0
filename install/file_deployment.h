// Writing the selected modules' files: each module's folder with its missing parents, the
// shared Find-menu library when it is absent, the program, help and contents files, and the
// uninstaller in the Windows directory.
#pragma once

#include "platform/win32.h"

class ProgressBox;
class SetupContext;

// True when every selected module's folder and files are in place. Steps the progress box
// five times per module, each before its status text. On false, what was written so far stays
// for the rollback to remove. During a run, every file written over and every folder made is
// noted in the context's record of what was there before.
bool DeployFiles(SetupContext& context, ProgressBox& progress);

