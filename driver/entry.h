// The process entry's work, apart from the Windows entry point itself so that it can be run
// and tested on its own.
#pragma once

// Limits the library search to the System folder, initialises the common controls, builds the
// setup context from the catalogue and runs setup as `arguments` (the command line after the
// program's name) ask: without any, the wizard, answering 0 whatever happens; with "/S", the
// silent install and its exit code; with "/?", the options in one message and 2; any other
// arguments, the wizard with its code (installed, too little space, cancelled).
int RunSetup(const char* arguments = "");

// The Windows entry point's whole work: before anything else, setup checks its own file and
// takes the lock that lets one setup or uninstaller run at a time, then RunSetup. A damaged
// file (kExitDamaged) or another setup running (kExitAnotherSetup) ends the run at once, with
// one message unless the arguments hold "/S", and nothing written.
int StartSetup(const char* arguments);
