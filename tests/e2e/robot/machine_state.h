// What the installer leaves on the machine, written so that two runs on any machine compare
// as text: the registry keys it touches as REGEDIT4, and the files and links it makes as a
// listing. Folders that differ between machines are written as <Windows>, <System> and
// <Desktop>.
#pragma once

#include <string>

class SetupContext;

// Which side of the machine a program of the installer's kind sees. A 32-bit program on 64-bit
// Windows has HKEY_LOCAL_MACHINE\SOFTWARE and the COM classes redirected below "Wow6432Node",
// its System folder in SysWOW64 and its program-files folder in "Program Files (x86)"; the
// robot, a 64-bit program, looks there for what such an installer made.
enum class MachineView { Native, Wow64 };

// The side that the program at `imagePath` sees: Wow64 for an i386 image, which is what the
// product is; Native for the 64-bit twin (or a file that is no image).
MachineView ImageView(const std::string& imagePath);

// The suite's folder under the program-files folder of `view`.
std::string InstallRoot(MachineView view);

// Every key the installer writes or the rollback clears, in a fixed order; for keys the system
// shares (shell-extension approvals, pending renames) only the installer's own values.
std::string ExportTouchedRegistry(const SetupContext& catalogue,
                                  MachineView view = MachineView::Native);

// The install folder's tree, the uninstallers, the Find-menu library, the desktop links with
// their targets and, on the 95 family, "wininit.ini" as it stands. With `contents`, every
// file's size and a digest of its bytes.
std::string ListTouchedFiles(const SetupContext& catalogue, MachineView view = MachineView::Native,
                             bool contents = false);
