// What the installer leaves on the machine, written so that two runs on any machine compare
// as text: the registry keys it touches as REGEDIT4, and the files and links it makes as a
// listing. Folders that differ between machines are written as <Windows>, <System> and
// <Desktop>.
#pragma once

#include <string>

class SetupContext;

// Every key the installer writes or the rollback clears, in a fixed order; for keys the system
// shares (shell-extension approvals, pending renames) only the installer's own values.
std::string ExportTouchedRegistry(const SetupContext& catalogue);

// The install folder's tree, the uninstallers, the Find-menu library, the desktop links with
// their targets and, on the 95 family, "wininit.ini" as it stands.
std::string ListTouchedFiles(const SetupContext& catalogue);
