// Common controls.
#pragma once

#include "platform/host/win32_types.h"

void InitCommonControls();
