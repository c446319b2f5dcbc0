// The Windows entry point of NetQuilloSetup.exe. Setup takes no arguments and reads no
// command line.
#include "driver/entry.h"
#include "platform/win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return RunSetup(); }
