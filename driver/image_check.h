// Setup checks its own file before it does anything else: a download that broke off or a
// damaged byte must not become installed programs.
#pragma once

// True when the file at `path` holds a stamped image whose sum matches (driver/image_crc.h).
// False for a file that cannot be opened or read, is shorter than the stamped length, has no
// stamp, or whose bytes have changed. Reads only; shares reading with others.
bool CheckImageFile(const char* path);

// CheckImageFile on the program's own file.
bool CheckOwnImage();
