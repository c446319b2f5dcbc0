#include "tests/e2e/robot/robot.h"

#include <cstdio>
#include <vector>

#include "tests/e2e/robot/installer_windows.h"

namespace {

// Generous: under emulation, on a loaded machine, a first start in a new prefix took past 30 s.
const DWORD kStepDeadline = 120000;
const DWORD kPictureDeadline = 15000;
const DWORD kPoll = 5;
// The progress box's status line.
const int kProgressStatusId = 901;

// Polls `ready` until it answers true or the deadline passes.
template <typename Ready> bool WaitFor(Ready ready, DWORD deadline = kStepDeadline) {
    const DWORD start = GetTickCount();
    while (!ready()) {
        if (GetTickCount() - start > deadline)
            return false;
        Sleep(kPoll);
    }
    return true;
}

std::string WindowCaption(HWND window) {
    char caption[256] = "";
    GetWindowTextA(window, caption, sizeof caption);
    return caption;
}

// Message texts on one line, their line breaks shown as "\n".
std::string OneLine(const std::string& text) {
    std::string line;
    for (char c : text) {
        if (c == '\r')
            continue;
        line += c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return line;
}

bool IsCheckBox(HWND control) {
    LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE) & BS_TYPEMASK;
    return style == BS_AUTOCHECKBOX || style == BS_CHECKBOX;
}

} // namespace

Robot::Robot(std::string setupPath, std::string pictureFolder)
    : setupPath_(std::move(setupPath)), pictureFolder_(std::move(pictureFolder)) {}

Robot::~Robot() {
    if (process_.hProcess) {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
}

void Robot::Note(const std::string& line) {
    transcript_ += line + "\n";
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

bool Robot::Stop(const std::string& reason) {
    Note("stopped: " + reason);
    stopped_ = true;
    if (process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, kStepDeadline);
    }
    return false;
}

bool Robot::Start(const std::string& arguments) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::vector<char> commandLine(setupPath_.begin(), setupPath_.end());
    commandLine.insert(commandLine.begin(), '"');
    commandLine.push_back('"');
    if (!arguments.empty()) {
        commandLine.push_back(' ');
        commandLine.insert(commandLine.end(), arguments.begin(), arguments.end());
    }
    commandLine.push_back('\0');
    if (!CreateProcessA(setupPath_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process_))
        return Stop("cannot start " + setupPath_);
    Note("started NetQuilloSetup.exe" + (arguments.empty() ? "" : " " + arguments));
    return true;
}

bool Robot::StartCommand(const std::string& commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_))
        return Stop("cannot start " + commandLine);
    Note("started " + commandLine);
    return true;
}

bool Robot::AtPage(int id, const char* name) {
    if (stopped_)
        return false;
    InstallerWindows windows;
    int shown = 0;
    const bool arrived = WaitFor([&] {
        windows = FindInstallerWindows(process_.dwProcessId);
        shown = windows.wizard ? CurrentPageId(windows.wizard) : 0;
        return windows.message || shown == id;
    });
    if (windows.message)
        return Stop("message instead of page " + std::to_string(id) + ": " +
                    OneLine(MessageText(windows.message)));
    if (!arrived)
        return Stop("page " + std::to_string(id) + " did not come (showing " +
                    std::to_string(shown) + ")");
    if (wizard_ != windows.wizard)
        Note("wizard \"" + WindowCaption(windows.wizard) + "\"");
    wizard_ = windows.wizard;
    // The page posts its button states: read them until two readings agree.
    std::string buttons;
    std::string previous;
    WaitFor(
        [&] {
            previous = buttons;
            Settle(wizard_);
            buttons = WizardButtons(wizard_);
            return buttons == previous;
        },
        2000);
    Note("page " + std::to_string(id) + " [" + buttons + "]");
    pagePicture_ = name;
    return true;
}

void Robot::NoteFields(std::initializer_list<int> ids) {
    if (stopped_)
        return;
    HWND page = CurrentPage(wizard_);
    for (int id : ids) {
        HWND control = GetDlgItem(page, id);
        std::string line = "  " + std::to_string(id) + " ";
        if (IsCheckBox(control)) {
            DWORD_PTR checked = 0;
            SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &checked);
            line += checked == BST_CHECKED ? "[x]" : "[ ]";
        } else {
            line += "\"" + OneLine(ControlText(control)) + "\"";
        }
        if (!IsWindowEnabled(control))
            line += " (disabled)";
        Note(line);
    }
}

void Robot::Type(int id, const char* text) {
    if (stopped_)
        return;
    SetControlText(GetDlgItem(CurrentPage(wizard_), id), text);
    Note("  typed " + std::to_string(id) + " \"" + text + "\"");
}

void Robot::Click(int id) {
    if (stopped_)
        return;
    HWND control = GetDlgItem(CurrentPage(wizard_), id);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(control, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    Note("  clicked " + std::to_string(id));
}

void Robot::Press(int button) {
    if (stopped_)
        return;
    const char* name = button == PSBTN_BACK     ? "Back"
                       : button == PSBTN_NEXT   ? "Next"
                       : button == PSBTN_FINISH ? "Finish"
                       : button == PSBTN_CANCEL ? "Cancel"
                                                : "?";
    if (!pagePicture_.empty()) {
        // The page as the user leaves it, with the answers in it.
        Settle(wizard_);
        Picture(pagePicture_.c_str());
        pagePicture_.clear();
    }
    Note(std::string("  pressed ") + name);
    PressWizardButton(wizard_, button);
}

bool Robot::AnswerMessageBox(const char* name, int answer) {
    if (stopped_)
        return false;
    InstallerWindows windows;
    if (!WaitFor([&] { return (windows = FindInstallerWindows(process_.dwProcessId)).message; }))
        return Stop("no message box came");
    Settle(windows.message);
    // The box's window comes before its text under emulation; an empty text is read again.
    WaitFor([&] { return !MessageText(windows.message).empty(); });
    Note("message \"" + OneLine(MessageText(windows.message)) + "\" [" +
         MessageButtons(windows.message) + "] caption \"" + WindowCaption(windows.message) + "\"");
    Picture(name);
    Note(std::string("  answered ") + (answer == IDYES ? "Yes" : answer == IDNO ? "No" : "OK"));
    AnswerMessage(windows.message, answer);
    // The box must be gone before the next step looks for windows.
    HWND box = windows.message;
    if (!WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }))
        return Stop("the message box stayed");
    return true;
}

bool Robot::AnswerFilesInUse(const char* name, int answer,
                             const std::function<void()>& beforeAnswer) {
    if (stopped_)
        return false;
    InstallerWindows windows;
    if (!WaitFor([&] {
            windows = FindInstallerWindows(process_.dwProcessId);
            return windows.filesInUse || windows.message || windows.progress;
        }) ||
        !windows.filesInUse)
        return Stop("no files-in-use dialog came");
    Settle(windows.filesInUse);
    Note("files in use \"" + OneLine(FilesInUseText(windows.filesInUse)) + "\" naming \"" +
         OneLine(FilesInUseNames(windows.filesInUse)) + "\" [" +
         FilesInUseButtons(windows.filesInUse) + "] caption \"" +
         WindowCaption(windows.filesInUse) + "\"");
    Picture(name);
    if (beforeAnswer)
        beforeAnswer();
    Note(std::string("  answered ") + (answer == IDRETRY ? "Retry" : "Cancel"));
    AnswerMessage(windows.filesInUse, answer);
    HWND box = windows.filesInUse;
    if (!WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }))
        return Stop("the files-in-use dialog stayed");
    return true;
}

bool Robot::AwaitEnd() {
    if (stopped_)
        return false;
    bool progressSeen = false;
    const bool ended = WaitFor(
        [&] {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0)
                return true;
            InstallerWindows windows = FindInstallerWindows(process_.dwProcessId);
            if (windows.progress && !progressSeen) {
                progressSeen = true;
                Note("progress box \"" + WindowCaption(windows.progress) + "\"");
                HoldMidInstall(windows.progress);
                Picture("progress");
                ResumeThread(process_.hThread);
            }
            if (windows.filesInUse) {
                Stop("files-in-use dialog \"" + OneLine(FilesInUseNames(windows.filesInUse)) +
                     "\" unanswered");
                return true;
            }
            if (windows.message) {
                std::string name = progressSeen ? "outcome" : "message";
                AnswerMessageBox(name.c_str(), IDOK);
            }
            return stopped_;
        },
        120000);
    if (stopped_)
        return false;
    if (!ended)
        return Stop("the installer did not end");
    DWORD exitCode = 0;
    GetExitCodeProcess(process_.hProcess, &exitCode);
    Note("ended with exit code " + std::to_string(exitCode));
    return true;
}

bool Robot::CutOffWhen(const std::function<bool()>& approached,
                       const std::function<bool()>& reached, const std::string& where) {
    if (stopped_)
        return false;
    auto ended = [&] { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; };
    WaitFor([&] { return approached() || ended(); });
    // The install phase is over in half a second: held between slices of a millisecond, the
    // installer is ended within a slice of the moment asked for, however busy the machine is.
    // Held from its start, it would take twice as long under emulation.
    SuspendThread(process_.hThread);
    bool there = false;
    const DWORD start = GetTickCount();
    while (!(there = reached()) && !ended() && GetTickCount() - start < kStepDeadline) {
        ResumeThread(process_.hThread);
        Sleep(1);
        SuspendThread(process_.hThread);
    }
    if (ended())
        return Stop("the installer ended before it was cut off " + where);
    if (!there)
        return Stop("the installer did not come to the point to cut it off " + where);
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, kStepDeadline);
    Note("cut off " + where);
    return true;
}

// The install runs without a message loop and is over in a moment: the installer is held, and
// let go on a millisecond at a time until its status line has changed a few times, so that the
// picture shows the box mid-install, with a status and a part-filled bar. The status line is
// read as the window's own text, which Wine hands another process without asking the held
// installer; where nothing changes, the install goes on in slices until the box is gone.
void Robot::HoldMidInstall(HWND progress) {
    const int kStatusChanges = 6;
    HWND status = GetDlgItem(progress, kProgressStatusId);
    SuspendThread(process_.hThread);
    std::string last;
    int changes = 0;
    const DWORD start = GetTickCount();
    while (changes < kStatusChanges && GetTickCount() - start < kStepDeadline &&
           IsWindow(progress) && WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) {
        ResumeThread(process_.hThread);
        Sleep(1);
        SuspendThread(process_.hThread);
        char text[256] = "";
        GetWindowTextA(status, text, sizeof text);
        if (last != text) {
            last = text;
            ++changes;
        }
    }
}

void Robot::Picture(const char* name) {
    if (pictureFolder_.empty())
        return;
    char numbered[128];
    std::snprintf(numbered, sizeof numbered, "%02d-%s", ++pictureCount_, name);
    const std::string request = pictureFolder_ + "\\snap.request";
    const std::string draft = request + ".draft";
    HANDLE file = CreateFileA(draft.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, numbered, static_cast<DWORD>(strlen(numbered)), &written, nullptr);
    CloseHandle(file);
    // Whole or not at all: the taker never reads half a name.
    if (!MoveFileExA(draft.c_str(), request.c_str(), MOVEFILE_REPLACE_EXISTING))
        return;
    if (!WaitFor([&] { return GetFileAttributesA(request.c_str()) == INVALID_FILE_ATTRIBUTES; },
                 kPictureDeadline))
        Note(std::string("no picture taken of ") + numbered);
}
