// The emulated machine as a set of items, one line each, so that two states can be compared
// item by item and every difference named: a registry key ("KEY HKEY_...\Path"), a value
// ("VALUE HKEY_...\Path|name=data"), a folder or a file ("FOLDER C:\...\", "FILE C:\... 12"), a
// deletion the system will make at the next restart ("AT-RESTART C:\...") and any other line
// of the 95 family's "wininit.ini" ("WININIT line").
#pragma once

#include <set>
#include <string>
#include <vector>

using MachineItems = std::set<std::string>;

// The emulated machine as it is now.
MachineItems CaptureMachine();

// The NT family's pending renames in the order the system carries them out at restart: a
// source and a target, the target empty for a deletion. Paths without their "\??\" prefix;
// a target that replaces what is there keeps its leading '!'.
struct PendingRename {
    std::string source;
    std::string target;
};
std::vector<PendingRename> PendingRenames();

// `items` as the next restart leaves them: `renames` carried out in order on the files, and no
// deletion or rename pending any more. An operation whose source is missing is skipped, as the
// system skips it.
MachineItems AfterRestart(const MachineItems& items, const std::vector<PendingRename>& renames);

// The items in `a` and not in `b`.
std::vector<std::string> ItemsMissingFrom(const MachineItems& a, const MachineItems& b);

// The path an item is about: a key's path, a value's key path, a file or folder path, or the
// path to be deleted at restart; empty for other lines of "wininit.ini".
std::string ItemPath(const std::string& item);

// What part of the suite's install an item belongs to, by its path: "module files",
// "uninstallers", "library", "desktop links", "suite settings", "Distributor value",
// "document types", "Find-menu registration", "uninstall entries", "restart-time deletions"
// (of the suite's own files) or "temporary files"; empty when it is none of the suite's.
std::string SuiteRegion(const std::string& item);
