// Whether any module of the suite is still registered in the Find-menu group: the items the
// modules share stay as long as one is.
#include "install/rollback.h"

#include "driver/setup_context.h"
#include "install/find_menu.h"
#include "registry/reg_key.h"

bool IsFindGroupEmpty() {
    RegKey group(GetModuleShortName(0));
    // Asked afresh each time: the rollback empties the group as it goes.
    if (!group.Open(LocalMachine, kFindGroupKey, true))
        return true;
    return !group.HasSubkeys();
}
