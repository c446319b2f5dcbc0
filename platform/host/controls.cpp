// The common controls library. Registering its window classes needs nothing on the host.
#include "platform/host/win32_api.h"

void InitCommonControls() {}
