#include "driver/install_sequence.h"

#include "driver/setup_context.h"

int RunInstallSequence(SetupContext&) {
    // The wizard, the install actions and their rollback take their places here as they come.
    return 0;
}
