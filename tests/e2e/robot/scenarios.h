// The scenarios the robot plays against NetQuilloSetup.exe, by name.
#pragma once

#include <string>

#include "tests/e2e/robot/machine_state.h"

class Robot;

// Plays scenario `name` ("default", "news-only", "win9x", "earlier-version", "cancel",
// "held-file", "held-reinstall", "one-at-a-time", "second", "cut-off", "names", "product",
// "uninstall", "silent", "planted", "intruder", their "-native" forms against a 64-bit setup,
// "-product" forms against the 32-bit product, or "report", which
// plays nothing and only looks at the machine); false for a name it does not know. Whether the
// scenario went as expected is for the comparison of the transcript and the machine's state with
// the expected files.
bool PlayScenario(const std::string& name, const std::string& setupPath,
                  const std::string& pictureFolder, std::string& transcript);
