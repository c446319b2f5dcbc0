// The modeless progress box of the install phase (dialog 130): a status line and a progress
// bar, stepped by the install sequence and by file deployment.
#pragma once

#include "platform/win32.h"

class SetupLog;

class ProgressBox {
  public:
    ProgressBox() = default;
    ~ProgressBox();
    ProgressBox(const ProgressBox&) = delete;
    ProgressBox& operator=(const ProgressBox&) = delete;

    // Creates dialog 130 owned by `owner`, centred on the desktop, shown and painted.
    bool Open(HWND owner);
    // Each status text from now on also begins a step of `log`. A box that was never opened
    // (a silent install) shows nothing and still logs.
    void SetLog(SetupLog* log) { log_ = log; }
    // Step 1, range 0 to `maximum`.
    void SetRange(int maximum);
    void Step();
    void SetStatus(const char* text);
    // Ends the step of the last status with `result` in the log, instead of "done".
    void EndStep(const char* result);
    void Close();
    HWND Window() const { return window_; }

  private:
    HWND window_ = nullptr;
    SetupLog* log_ = nullptr;
};
