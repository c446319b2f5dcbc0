// The process entry's work, apart from the Windows entry point itself so that it can be run
// and tested on its own.
#pragma once

// Limits the library search to the System folder, initialises the common controls, builds the setup
// context from the catalogue, runs the install sequence and destroys the context. Answers the
// process exit code, always 0.
int RunSetup();
