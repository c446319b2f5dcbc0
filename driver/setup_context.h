// The one object that carries a setup run's state, and the lookups that reach it through the
// current context.
#pragma once

#include <memory>

#include "driver/catalogue.h"
#include "platform/win32.h"

// One module of the run: the catalogue's strings, the uninstaller's full path and, once the
// wizard is finished and only for a selected module, its install folder (MAX_PATH bytes).
struct ModuleRow {
    std::unique_ptr<char[]> productName;
    std::unique_ptr<char[]> shortName;
    std::unique_ptr<char[]> programFile;
    std::unique_ptr<char[]> helpFile;
    std::unique_ptr<char[]> contentsFile;
    std::unique_ptr<char[]> uninstallerPath;
    std::unique_ptr<char[]> findMenuCaption;
    std::unique_ptr<char[]> description;
    std::unique_ptr<char[]> installPath;
    // How many levels of the install folder, from the folder itself upward, setup made: the
    // uninstaller removes no more than these.
    DWORD madeFolderLevels = 0;
    // The length of the install path's deepest level that was there when the install folder
    // was checked (0: none but the root; the most a size holds: the whole install folder, and
    // with it whatever is below). Deployment takes no level beyond it that it did not make. A
    // deployment that went through no check takes whatever it finds.
    size_t presentLength = static_cast<size_t>(-1);
};

class PriorState;

class SetupContext {
  public:
    // Becomes the current context as its first step.
    SetupContext(const char* suiteName, const CatalogueRow* rows, DWORD rowCount);
    // Stops being the current context, so no lookup can reach freed rows.
    ~SetupContext();
    SetupContext(const SetupContext&) = delete;
    SetupContext& operator=(const SetupContext&) = delete;

    std::unique_ptr<char[]> findMenuLibraryPath;
    std::unique_ptr<char[]> suiteName;
    DWORD moduleCount;
    std::unique_ptr<ModuleRow[]> modules;
    // 1 = install the module. The module page is handed this array itself.
    std::unique_ptr<BYTE[]> selected;
    // Created and released by the install sequence; the context only carries them.
    HWND backdropWindow = nullptr;
    HBITMAP backdropBitmap = nullptr;
    // What the install phase found in place, while it runs; the rollback puts it back. Null
    // otherwise, and in the uninstaller, which has no run to undo.
    PriorState* prior = nullptr;
    // What the start repaired of a run cut off before it, for a silent run's log; null: nothing.
    const char* repairNote = nullptr;
};

// The process-wide current context, for callers that do not hold it.
extern SetupContext* g_currentContext;

const char* GetSuiteName();
const char* GetModuleProductName(DWORD module);
const char* GetModuleShortName(DWORD module);
const char* FindModuleShortName(const char* shortName);
bool IsModuleSelected(const char* shortName);
DWORD CountSelectedModules();
// The module's install path joined with `fileName`, in one shared buffer that the next call
// overwrites; "" when the module has no install path or the result would not fit MAX_PATH.
const char* ModuleFilePath(DWORD module, const char* fileName);
