// The scenarios the robot plays against NetQuilloSetup.exe, by name.
#pragma once

#include <string>

#include "tests/e2e/robot/machine_state.h"

class Robot;

// Plays scenario `name` ("default", "news-only", "win9x", "earlier-version", "cancel",
// "held-file", "held-reinstall", "second", "product", "uninstall", "silent", "planted", "intruder", their
// "-native" forms against a 64-bit setup, or "report", which
// plays nothing and only looks at the machine); false for a name it does not know. Whether the
// scenario went as expected is for the comparison of the transcript and the machine's state with
// the expected files.
bool PlayScenario(const std::string& name, const std::string& setupPath,
                  const std::string& pictureFolder, std::string& transcript);

// Where the scenario's installer leaves its keys and files: "product", "uninstall", "silent",
// "planted" and "intruder" play the 32-bit product itself (and its uninstallers), which 64-bit Windows and
// Wine redirect.
MachineView ScenarioView(const std::string& name);
