// A module's uninstaller, started from the list of installed programs as
// "<Windows folder>\<Product>Uninstall.exe <install folder>", or with "/S" before the folder
// for a removal without any window. One program, built once per module: the module's index
// comes from the build.
#include "platform/win32.h"
#include "uninstall/uninstall.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    return StartUninstall(MODULE_INDEX, commandLine);
}
