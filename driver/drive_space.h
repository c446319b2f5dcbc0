// Free space of the drive a path lies on, and the space the install needs there.
#pragma once

#include "platform/win32.h"

// The free bytes of the drive of `path` ("X:..." asks drive X, any other path the current
// drive), saturated at 4,294,967,295; 0 when the drive cannot be asked. A network path
// ("\\server\share...") always answers 4,294,967,295: shares are taken to have room.
DWORD GetDriveFreeSpace(const char* path);

// The bytes the whole suite needs on the temporary drive, or the selected modules on the
// install drive.
DWORD GetRequiredSpace(bool wholeSuite);
