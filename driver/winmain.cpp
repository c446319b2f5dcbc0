// The Windows entry point of NetQuilloSetup.exe.
#include "driver/entry.h"
#include "platform/win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) { return StartSetup(arguments); }
