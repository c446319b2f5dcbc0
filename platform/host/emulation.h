// Control of the host emulation, for tests and tools: the state of the emulated machine, faults
// on demand and observation. Product code never includes this.
#pragma once

#include <string>

#include "platform/host/win32_types.h"

namespace hostemu {

// Back to a freshly installed machine: NT family, Windows in C:\WINDOWS, an empty registry
// holding only the standing keys, no faults, all call counts zero.
void Reset();

void SetWindowsDirectory(const char* path);
void SetSystemDirectory(const char* path);

// Which family of Windows GetVersionExA reports; Reset chooses the NT family.
enum class PlatformFamily { NT, Win9x };
void SetPlatformFamily(PlatformFamily family);

// Faults. A fault makes an emulated call fail with the error code Windows would give there.
// `occurrence` counts the calls of that function from 1 since the last Reset (0 = every call);
// a path fault hits the calls whose path (a registry key as ROOT\path, or a file path) is that
// path or lies below it, compared as Windows compares names.
void FailCall(const char* function, DWORD error, unsigned occurrence = 0);
void FailPath(const char* function, const char* path, DWORD error);
void ClearFaults();
// Calls of an emulated function since the last Reset, failed ones included.
unsigned CallCount(const char* function);

// The whole emulated registry as REGEDIT4 text (HKEY_LOCAL_MACHINE, then HKEY_CURRENT_USER).
std::string ExportRegistry();

namespace detail {
// Counts the call and answers the error of the first fault that matches it, or 0.
DWORD CheckFault(const char* function, const std::string& path = std::string());
void ResetFaults();
void ResetRegistry();
void ResetVersion();
bool EqualNames(const std::string& a, const std::string& b);
} // namespace detail

} // namespace hostemu
