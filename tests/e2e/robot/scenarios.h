// The scenarios the robot plays against NetQuilloSetup.exe, by name.
#pragma once

#include <string>

#include "tests/e2e/robot/machine_state.h"

class Robot;

// Plays scenario `name` ("default", "news-only", "win9x", "earlier-version", "cancel",
// "held-file", "held-reinstall", "second", "product", "uninstall", "silent", "planted", "intruder",
// "cut-off", "cut-off-product", the "-native" forms against a 64-bit setup, or "report", which
// plays nothing and only looks at the machine); false for a name it does not know. Whether the
// scenario went as expected is for the comparison of the transcript and the machine's state with
// the expected files.
bool PlayScenario(const std::string& name, const std::string& setupPath,
                  const std::string& pictureFolder, std::string& transcript);

// Where the installer at `setupPath` leaves its keys and files: the 32-bit product (and its
// uninstallers) is redirected by 64-bit Windows and Wine, a 64-bit build is not.
MachineView SetupView(const std::string& setupPath);
