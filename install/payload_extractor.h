// Turns one "CUSTOM" payload resource of the program's image into a finished file: the raw
// bytes go to a temporary file, which the platform's LZ calls expand into the destination.
#pragma once

#include "platform/win32.h"

class PayloadExtractor {
  public:
    // True when `destination` holds the expanded payload `resourceId`. A missing resource
    // creates nothing; the temporary file never outlives the call.
    bool ExtractPayload(WORD resourceId, const char* destination);
    // True when `destination` holds the expanded content of the SZDD file `compressedPath`.
    // An existing destination is replaced; one held open elsewhere is a failure and stays as
    // it was.
    bool ExpandFile(const char* compressedPath, const char* destination);
};
