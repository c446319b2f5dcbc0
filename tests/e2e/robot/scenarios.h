// The scenarios the robot plays against NetQuilloSetup.exe, by name.
#pragma once

#include <string>

class Robot;

// Plays scenario `name` ("default", "news-only", "win9x", "earlier-version", "cancel",
// "held-file", "second", "uninstall", or "report", which plays nothing and only looks at the
// machine); false for a name it does not know. Whether the scenario went as expected is for the
// comparison of the transcript and the machine's state with the expected files.
bool PlayScenario(const std::string& name, const std::string& setupPath,
                  const std::string& pictureFolder, std::string& transcript);
