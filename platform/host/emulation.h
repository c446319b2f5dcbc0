// Control of the host emulation, for tests and tools: the state of the emulated machine, faults
// on demand and observation. Product code never includes this.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/host/win32_types.h"

namespace hostemu {

// Back to a freshly installed machine: NT family, Windows in C:\WINDOWS, an empty registry
// holding only the standing keys, no faults, all call counts zero.
void Reset();

void SetWindowsDirectory(const char* path);
void SetSystemDirectory(const char* path);

// Files. Reset leaves drive C: with 1 GiB free, holding the Windows, System and temporary
// (C:\WINDOWS\TEMP) folders. Free space is counted in bytes: files take exactly their length.
void AddDrive(char letter, unsigned long long freeBytes);
// `root` is "\\server\share"; the share's root folder exists at once. Creating the root
// answers `rootCreateError`: ERROR_ALREADY_EXISTS as a Windows server does, ERROR_ACCESS_DENIED
// as a share served from NTFS to a user who may not write at its root answers.
void AddShare(const char* root, unsigned long long freeBytes,
              DWORD rootCreateError = ERROR_ALREADY_EXISTS);
// `root` is a drive root such as "D:\" or a share root; false when there is no such volume.
bool SetFreeSpace(const char* root, unsigned long long freeBytes);
// Writes a whole file, creating the missing folders; reads one back.
bool WriteFileBytes(const char* path, const std::string& bytes);
bool ReadFileBytes(const char* path, std::string& bytes);
// Every volume's folders and files, one a line: folders end with a backslash, files carry
// their length ("C:\WINDOWS\", "C:\WINDOWS\a.txt 12").
std::string ListFiles();
// Opens the file as another process would (read and write access, the given sharing), until
// ReleaseHeldFiles or Reset; false when the file does not exist.
bool HoldFileOpen(const char* path, DWORD shareMode = 0);
void ReleaseHeldFiles();
// The Restart Manager's view of the holders. A program of the user, `appName` as the Restart
// Manager names it, holds the file open sharing nothing (as HoldFileOpen) and is named by
// RmGetList for it; asked to close (RmShutdown), it lets go when `closesWhenAsked`. A holder
// made by HoldFileOpen is one the Restart Manager cannot name. False when the file is missing.
// The Restart Manager is there on the NT family only; its calls fail as FailCall makes them.
bool HoldFileAsProgram(const char* path, const char* appName, bool closesWhenAsked = true,
                       bool critical = false);
// The programs asked to close, one a line in order, each with " forced" when the caller set
// RmForceShutdown.
std::string ProgramsAskedToClose();
// What another program of the user can do to the file at `path` while the program runs:
// overwrite its bytes, or delete it. False, with nothing changed, when the file is missing or a
// handle open on it does not share that access.
bool RewriteAsAnotherProcess(const char* path, const std::string& bytes);
bool DeleteAsAnotherProcess(const char* path);
// Turns the existing folder or file at `path` into a reparse point (a junction or a symbolic
// link, as a user may have made it); false when there is nothing there.
bool MakeReparsePoint(const char* path);
// Makes `ownerSid` ("S-1-5-21-...") the owner of the existing file or folder at `path`, as if
// that user had made it; false when there is nothing there. Without it, what the program makes
// is its administrator's ("S-1-5-32-544").
bool SetFileOwner(const char* path, const char* ownerSid);
// The program's process ends at once, as when it is ended from outside or crashes: every
// handle it held is closed by the system (a file opened to be deleted on close goes), its
// windows, searches and objects vanish, and nothing of its own code runs. The machine's disks
// and registry stay as they are. Its call counts and faults stay.
void EndProcess();
// Power cuts. From TrackDurability on, the emulation keeps, beside the machine, what of it a
// power cut would leave on the disks: the machine as it is then; a file's bytes as the last
// FlushFileBuffers on it left them; the names of files and folders (made, renamed, deleted) as
// any FlushFileBuffers last left them, as a file system that journals its names writes them in
// order; each hive as RegFlushKey on a key in it last left it (the machine's hives are its
// first-level keys, the user's keys one hive). Reset ends the tracking.
void TrackDurability();
// The power goes: the process ends (EndProcess), and of the changes since their last flush the
// names, the files' bytes and the registry's hives are each lost or kept as `lose` says (a file
// made and never flushed keeps its name but not its bytes). The machine then starts again,
// with what it holds as its durable state.
struct PowerCutLoss {
    bool names = true;
    bool fileBytes = true;
    bool registry = true;
};
void CutPower(PowerCutLoss lose);
// The access list the folder at `path` was created with, in its SDDL text, or "" when it took
// its parent's.
std::string FolderSecurity(const char* path);
// The SID of the user the program runs as: GetTokenInformation's TokenUser.
extern const char kProgramUserSid[];
// GetTempPathA's answer; a trailing backslash is added and the folder created.
void SetTempPath(const char* path);
// A temporary folder or desktop whose name holds characters code page 1252 lacks ("Michał"),
// as on an NT system that keeps its code page: the wide calls answer `wideName`, the 8-bit
// calls the same with '?' for each lacking character, which names nothing. GetShortPathNameW
// answers `shortName`, the 8.3 path the volume keeps it under (made at once), or the wide
// name itself where `shortName` is null, as on a volume that makes no short names.
void SetTempPathWide(const WCHAR* wideName, const char* shortName);
void SetDesktopDirectoryWide(const WCHAR* wideName, const char* shortName);
// Named kernel objects. Another user's program makes an object of `name` first, owned by
// `ownerSid` ("S-1-5-21-..."): a mutex or another kind, which this program may open or not.
// It lives until Reset. NamedObjectExists: some handle still holds one of that name.
void PlantNamedObject(const char* name, const char* ownerSid, bool mutex, bool opensForUs);
bool NamedObjectExists(const char* name);
void SetModuleFileName(const char* path);
// Which family of Windows the machine is; Reset chooses the NT family. Besides GetVersionExA's
// answer, the 95 family's RegDeleteKeyA deletes whole subtrees, its MoveFileExA answers
// ERROR_CALL_NOT_IMPLEMENTED and its profile calls cache (docs/win98-mode.md).
enum class PlatformFamily { NT, Win9x };
void SetPlatformFamily(PlatformFamily family);
PlatformFamily CurrentPlatformFamily();
// The code page GetACP answers, as a manifest's "UTF-8" makes it 65001 where Windows honours
// it; Reset makes it 1252, the system's own, as on a Windows that ignores the manifest. It
// tells the program how its 8-bit strings are made (IsDBCSLeadByte answers for no byte of
// either); the A calls' own conversions stay those of 1252.
void SetAnsiCodePage(UINT codePage);

// Shell. Reset puts the desktop in C:\WINDOWS\Desktop, made when the shell first names it;
// SetDesktopDirectory makes the folder at once.
void SetDesktopDirectory(const char* path);
// The user's next choice in the folder picker, taken in order; null cancels. A picker shown
// with no answer left is cancelled.
void AnswerFolderPicker(const char* path);
// How the last folder picker was asked for, and how many were shown since Reset.
struct FolderPickerRequest {
    HWND owner;
    bool hadRoot;
    std::string title;
    UINT flags;
    bool hadCallback;
};
FolderPickerRequest LastFolderPicker();
unsigned FolderPickersShown();

// Windows. What the user saw, one event a line: a top-level window shown or closed
// (show "Installing..."), a text changed in a visible window (text control 901: ...) and a
// visible progress bar moved (progress control 900: 3 of 0..19).
std::string UserLog();
void ClearUserLog();

// The user of the emulated machine. Every modal loop of the emulation (a property sheet, a
// message box, a folder picker with no answer queued) calls it whenever it has no message
// left to handle; it acts through the Win32 calls as a person would and answers true, or
// answers false when it has nothing to do, and the loop then gives up instead of waiting for
// ever: the sheet closes with -1, the message box answers 0, the picker is cancelled. Reset
// removes it; without a user every modal loop gives up at once.
void SetUser(std::function<bool()> user);
// Whether a folder picker is waiting for its answer (hostemu::AnswerFolderPicker).
bool FolderPickerOpen();

// Graphics. The drawing calls made on window device contexts (BeginPaint, GetDC), one a line
// ("DrawEdge 0,0,120,227 2 15", "FillRect 1,1,119,226 black"), and invalidations
// ("InvalidateRect page 103 all erase 0"); objects are named by kind, not by handle.
std::string DrawingLog();
void ClearDrawingLog();
// Bitmaps, palettes, regions, brushes and memory device contexts made and not yet deleted.
unsigned GdiObjectsAlive();
// The display's dots an inch, as GetDeviceCaps answers LOGPIXELSX and LOGPIXELSY; dialog base
// units grow with it, as the dialog font does. Reset makes it the usual 96.
void SetDisplayDpi(int dpi);
int DisplayDpi();

// Faults. A fault makes an emulated call fail with the error code Windows would give there.
// `occurrence` counts the calls of that function from 1 since the last Reset (0 = every call);
// a path fault hits the calls whose path (a registry key as ROOT\path, or a file path) is that
// path or lies below it, compared as Windows compares names.
void FailCall(const char* function, DWORD error, unsigned occurrence = 0);
void FailPath(const char* function, const char* path, DWORD error);
void ClearFaults();
// The program's calls that can fail, as they are made: every call that consults the faults
// above, except those the machine's user makes in a turn, is shown to the observer, which
// answers an error to fail it with, or 0. For sweeps that fail each call of a run in turn.
// Reset removes it.
using CallObserver = std::function<DWORD(const char* function, const std::string& path)>;
void SetCallObserver(CallObserver observer);
// The error Windows gives when `function` fails where nothing is wrong with the arguments: a
// refused file or key, a full disk, a failed read, an invalid handle at a close, a drive that
// is not ready, a resource the image lacks, or want of memory for windows, drawing objects,
// loading resources and COM.
DWORD UsualError(const char* function);
// Calls of an emulated function since the last Reset, failed ones included.
unsigned CallCount(const char* function);
// Calls of every emulated function since the last Reset.
unsigned TotalCallCount();

// Resources a test program carries beside the program's own (a compiled .res image, such as
// test dialogs), found by the resource calls as if the image held them. Adding the same image
// again does nothing; false when the image is malformed.
bool AddImageResources(const unsigned char* image, size_t size);

// Libraries. The files the program loaded (LoadLibraryA), one path a line, in order. lz32 and
// comctl32 are in the System folder; a library file left anywhere else loads when the search
// reaches it, with no entry points.
std::string LoadedLibraries();

// The whole emulated registry as REGEDIT4 text (HKEY_LOCAL_MACHINE, then HKEY_CURRENT_USER).
std::string ExportRegistry();

namespace detail {
// Counts the call and answers the error of the first fault that matches it, or 0.
DWORD CheckFault(const char* function, std::string_view path = std::string_view());
// Whether a fault or the observer could fail a call now: when not, a call whose path takes
// work to put together (a key's full path) only needs counting.
bool CallsWatched();
// Counts a call that cannot fail (it returns nothing, or the emulation does not model its
// failure), without consulting faults or the observer.
void CountCall(const char* function);
// While one lives, the calls made are not the program's: the user's in a turn, or those the
// emulation makes to carry out one call that Windows does as a whole (a profile write). The
// observer does not see them.
class NotTheProgram {
  public:
    NotTheProgram();
    ~NotTheProgram();
    NotTheProgram(const NotTheProgram&) = delete;
    NotTheProgram& operator=(const NotTheProgram&) = delete;

  private:
    bool outer_;
};
void ResetFaults();
void ResetRegistry();
void ResetFiles(const char* windowsDirectory, const char* systemDirectory);
void ResetSearches();
void ResetWindows();
void ResetLz();
void ResetLibraries();
void ResetRestartManager();
HMODULE SystemModuleHandle(const char* name);
std::string DescriptorText(const void* descriptor);
void EnsureFolder(const char* path);
void ResetVersion();
void ResetCom();
void ResetShell();
void ResetProfiles();
void TrackDurableRegistry();
void CutRegistryPower(bool lose);
void ResetMessages();
void ResetGdi();
void ResetKernelObjects();
// Closes a kernel object's handle; false when `handle` is none.
bool CloseKernelObject(HANDLE handle);
// The descriptor text the file open as `handle` was made with ("" when it took its folder's);
// false when it is no open file.
bool FileDescriptor(HANDLE handle, std::string& text);
// Closes every file and kernel-object handle of the program, as the end of a process does.
void CloseAllFiles();
void CloseAllKernelObjects();
bool EqualNames(std::string_view a, std::string_view b);
// One character through the ANSI code page as the A calls convert it, '?' for a character the
// code page lacks; without the faults and counts of the conversion calls themselves.
WCHAR AnsiToWide(char byte);
char WideToAnsi(WCHAR wide);
} // namespace detail

} // namespace hostemu
