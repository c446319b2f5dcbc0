// A user at the keyboard, played by another program: it starts NetQuilloSetup.exe, waits for
// each of its windows, reads what a user would read, answers, and writes down every step.
// Each step it waits for has a deadline; a step that does not come stops the scenario, the
// installer is ended and the transcript says where.
#pragma once

#include <functional>
#include <string>

#include "platform/win32.h"

class Robot {
  public:
    // `pictureFolder` empty: no pictures. Otherwise each step asks for a picture of the screen
    // by leaving "snap.request" (the picture's name) in that folder, and waits until the
    // picture taker outside Wine has removed it.
    Robot(std::string setupPath, std::string pictureFolder);
    ~Robot();
    Robot(const Robot&) = delete;
    Robot& operator=(const Robot&) = delete;

    // Starts the installer, with `arguments` after its quoted path when there are any.
    bool Start(const std::string& arguments = "");
    // Starts `commandLine` as the list of installed programs starts an uninstall entry: the
    // command line as it is, the program found from its first word.
    bool StartCommand(const std::string& commandLine);
    // Waits for the wizard to show page `id` and notes the page and its buttons. Its picture,
    // `name`, is taken when the robot presses a button there, with the answers filled in.
    bool AtPage(int id, const char* name);
    // Notes the texts and check marks of the given controls of the current page.
    void NoteFields(std::initializer_list<int> ids);
    void Type(int id, const char* text);
    void Click(int id);
    void Press(int button);
    // Waits for a message box, notes its text and buttons, takes the picture `name` and
    // answers with the button `answer`.
    bool AnswerMessageBox(const char* name, int answer);
    // Waits for the files-in-use dialog, notes its text, the programs or files it names and
    // its buttons, takes the picture `name`, runs `beforeAnswer` when given, and answers with
    // `answer` (IDRETRY, IDCANCEL).
    bool AnswerFilesInUse(const char* name, int answer,
                          const std::function<void()>& beforeAnswer = nullptr);
    // After Finish or a cancel: pictures of the progress box and the outcome message, which it
    // answers, then the end of the process. True when the process ended.
    bool AwaitEnd();
    // Lets the installer run freely until `approached` answers true, then a slice at a time until
    // `reached` does, then ends it from outside, as the Task Manager or a power cut would, and
    // notes "cut off `where`". Notes instead that the installer had ended before, or never got
    // there. True when it was cut off.
    bool CutOffWhen(const std::function<bool()>& approached, const std::function<bool()>& reached,
                    const std::string& where);

    void Note(const std::string& line);
    bool Stopped() const { return stopped_; }
    const std::string& Transcript() const { return transcript_; }

  private:
    bool Stop(const std::string& reason);
    void Picture(const char* name);
    void HoldMidInstall(HWND progress);

    std::string setupPath_;
    std::string pictureFolder_;
    std::string transcript_;
    PROCESS_INFORMATION process_ = {};
    HWND wizard_ = nullptr;
    std::string pagePicture_;
    int pictureCount_ = 0;
    bool stopped_ = false;
};
