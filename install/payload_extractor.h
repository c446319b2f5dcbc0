// Turns one "CUSTOM" payload resource of the program's image into a finished file: the raw
// bytes go to a temporary file of setup's own, which lz32 expands, through the handle that
// wrote it, into the destination.
#pragma once

#include "platform/win32.h"

class PayloadExtractor {
  public:
    // True when `destination` holds the expanded payload `resourceId`. A missing resource
    // creates nothing; the temporary file never outlives the call. An existing destination is
    // replaced; one held open elsewhere is a failure and stays as it was.
    bool ExtractPayload(WORD resourceId, const char* destination);
    // The same into the open file `destination`, from its current position.
    bool ExtractPayload(WORD resourceId, HANDLE destination);
    // True when the SZDD file open as `compressed` (read access, from its start) has been
    // expanded into `destination`. Takes the handle over: it is closed when the call returns.
    bool ExpandFile(HANDLE compressed, HANDLE destination);
};
