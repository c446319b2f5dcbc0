#include "tests/e2e/robot/machine_state.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "driver/catalogue.h"
#include "driver/setup_context.h"
#include "install/find_menu.h"
#include "install/registry_names.h"
#include "platform/regedit_export.h"

namespace {

const char kSuiteRoot[] = "Software\\QuilloSoft";
const char kInstallRoot[] = "C:\\Program Files\\QuilloSoft";
const char kWow64InstallRoot[] = "C:\\Program Files (x86)\\QuilloSoft";
const char kSessionManagerKey[] = "System\\CurrentControlSet\\Control\\Session Manager";

std::string Section(HKEY root, const std::string& path) {
    // Sections only: the header line comes once, at the top.
    return ExportRegistryKey(root, path.c_str(), false);
}

std::string WindowsFolder() {
    char path[MAX_PATH] = "";
    GetWindowsDirectoryA(path, MAX_PATH);
    return path;
}

MachineView g_view = MachineView::Native;

std::string SystemFolder() {
    char path[MAX_PATH] = "";
    if (g_view == MachineView::Wow64)
        GetSystemWow64DirectoryA(path, MAX_PATH);
    else
        GetSystemDirectoryA(path, MAX_PATH);
    return path;
}

// `path` of HKEY_LOCAL_MACHINE as a 32-bit program sees it, when that is the view.
std::string MachinePath(const std::string& path) {
    const std::string software = "SOFTWARE\\";
    if (g_view == MachineView::Wow64 && path.compare(0, software.size(), software) == 0)
        return software + "Wow6432Node\\" + path.substr(software.size());
    return path;
}

// The COM class keys likewise; the file types under HKEY_CLASSES_ROOT are shared.
std::string ClassPath(const std::string& path) {
    return g_view == MachineView::Wow64 ? "Wow6432Node\\" + path : path;
}

std::string DesktopFolder() {
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, path, CSIDL_DESKTOPDIRECTORY, FALSE);
    return path;
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& start) {
    return !start.empty() && text.size() >= start.size() &&
           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.c_str(),
                          static_cast<int>(start.size()), start.c_str(),
                          static_cast<int>(start.size())) == CSTR_EQUAL;
}

// `path` with a machine's own folder written as its placeholder.
std::string Normalised(const std::string& path) {
    const struct {
        std::string folder;
        const char* name;
    } folders[] = {{DesktopFolder(), "<Desktop>"},
                   {SystemFolder(), "<System>"},
                   {WindowsFolder(), "<Windows>"}};
    for (const auto& folder : folders) {
        if (StartsWithIgnoringCase(path, folder.folder))
            return folder.name + path.substr(folder.folder.size());
    }
    return path;
}

std::vector<std::string> FolderEntries(const std::string& folder, const char* pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\" + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// With `contents`, each file's size and a digest of its bytes follow its name, so that two
// listings are equal only where every file is.
std::string Contents(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return " (cannot be read)";
    unsigned long long digest = 14695981039346656037ull, size = 0;
    unsigned char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        for (DWORD i = 0; i < read; ++i)
            digest = (digest ^ buffer[i]) * 1099511628211ull;
        size += read;
    }
    CloseHandle(file);
    char text[64];
    std::snprintf(text, sizeof text, " %llu %016llx", size, digest);
    return text;
}

void ListTree(std::string& out, const std::string& path, bool contents) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        out += path + (contents ? Contents(path) : "") + "\n";
        return;
    }
    out += path + "\\\n";
    for (const std::string& name : FolderEntries(path, "*"))
        ListTree(out, path + "\\" + name, contents);
}

void ListFile(std::string& out, const std::string& path, bool contents) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        out += Normalised(path) + (contents ? Contents(path) : "") + "\n";
}

std::string LinkTarget(const std::string& link) {
    std::string target;
    IShellLinkA* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&shellLink))))
        return target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t wide[MAX_PATH];
        char path[MAX_PATH];
        if (MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH) &&
            SUCCEEDED(file->Load(wide, STGM_READ)) &&
            SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, 0)))
            target = path;
        file->Release();
    }
    shellLink->Release();
    return target;
}

std::string FileText(const std::string& path) {
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    CloseHandle(file);
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

} // namespace

MachineView ImageView(const std::string& imagePath) {
    HANDLE file = CreateFileA(imagePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return MachineView::Native;
    // The machine type follows the "PE\0\0" signature that the DOS header's last field points at.
    unsigned char header[4096] = {};
    DWORD read = 0;
    ReadFile(file, header, sizeof header, &read, nullptr);
    CloseHandle(file);
    DWORD at = 0;
    if (read >= 0x40)
        std::memcpy(&at, header + 0x3C, sizeof at);
    WORD machine = 0;
    if (read >= 6 && at <= read - 6 && std::memcmp(header + at, "PE\0\0", 4) == 0)
        std::memcpy(&machine, header + at + 4, sizeof machine);
    return machine == IMAGE_FILE_MACHINE_I386 ? MachineView::Wow64 : MachineView::Native;
}

std::string InstallRoot(MachineView view) {
    return view == MachineView::Wow64 ? kWow64InstallRoot : kInstallRoot;
}

std::string ExportTouchedRegistry(const SetupContext& catalogue, MachineView view) {
    g_view = view;
    std::string out = "REGEDIT4\n\n";
    out += Section(HKEY_CURRENT_USER, kSuiteRoot);
    for (DWORD i = 0; i < catalogue.moduleCount; ++i) {
        const std::string type = std::string(catalogue.modules[i].productName.get()) + "Search";
        out += Section(HKEY_CLASSES_ROOT, "." + type);
        out += Section(HKEY_CLASSES_ROOT, type + "File");
    }
    out += Section(HKEY_CLASSES_ROOT, ClassPath(kFindMenuClassKey));
    out += Section(HKEY_LOCAL_MACHINE, MachinePath(kFindGroupKey));
    out += ExportRegistryValue(HKEY_LOCAL_MACHINE, MachinePath(kApprovedExtensionsKey).c_str(),
                               kFindMenuClassId);
    for (DWORD i = 0; i < catalogue.moduleCount; ++i)
        out += Section(HKEY_LOCAL_MACHINE, MachinePath(std::string(kUninstallKey) + "\\" +
                                                       catalogue.modules[i].productName.get()));
    out +=
        ExportRegistryValue(HKEY_LOCAL_MACHINE, kSessionManagerKey, "PendingFileRenameOperations");
    out += Section(HKEY_LOCAL_MACHINE, std::string(kSessionManagerKey) + "\\FileRenameOperations");
    return out;
}

std::string ListTouchedFiles(const SetupContext& catalogue, MachineView view, bool contents) {
    g_view = view;
    std::string out;
    ListTree(out, InstallRoot(view), contents);
    for (DWORD i = 0; i < catalogue.moduleCount; ++i)
        ListFile(out, catalogue.modules[i].uninstallerPath.get(), contents);
    ListFile(out, SystemFolder() + "\\" + kFindMenuLibraryFile, contents);
    const std::string desktop = DesktopFolder();
    for (const std::string& name : FolderEntries(desktop, "*.lnk")) {
        const std::string link = desktop + "\\" + name;
        out += Normalised(link) + " -> " + Normalised(LinkTarget(link)) + "\n";
    }
    const std::string wininit = WindowsFolder() + "\\wininit.ini";
    if (GetFileAttributesA(wininit.c_str()) != INVALID_FILE_ATTRIBUTES)
        out += Normalised(wininit) + ":\n" + FileText(wininit);
    return out;
}
