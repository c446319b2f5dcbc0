#include "tools/patchcheck/patch_check.h"

#include <string>

#include "platform/regedit_export.h"
#include "registry/reg_key.h"
#include "registry/reg_patch.h"

bool CheckPatch(const char* fileName, const char* shortName, const char* text, std::string& output,
                std::string& diagnostic) {
    output.clear();
    diagnostic.clear();
    RegPatch patch;
    PatchStop stop;
    if (!patch.Apply(shortName, text, &stop)) {
        diagnostic = std::string(fileName) + ":" + std::to_string(stop.line) + ":" +
                     std::to_string(stop.column) + ": expected " +
                     (stop.expected ? stop.expected : "something else") + "\n";
        return false;
    }
    output = ExportRegistryKey(HKEY_CURRENT_USER, kSuiteKeyPath);
    return true;
}
