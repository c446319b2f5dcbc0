// Property sheets in wizard mode.
#include "platform/host/window_manager.h"

INT_PTR PropertySheetA(LPCPROPSHEETHEADERA) {
    return -1;
}
