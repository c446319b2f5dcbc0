// The log of a silent install: one line per step with its result, the outcome last. Written
// only when the command line asks for it; a log that was never opened takes every line and
// writes nothing.
#pragma once

#include <initializer_list>

#include "platform/win32.h"

class SetupLog {
  public:
    SetupLog() = default;
    ~SetupLog();
    SetupLog(const SetupLog&) = delete;
    SetupLog& operator=(const SetupLog&) = delete;

    // Creates `path`, or empties the plain file there; false when it cannot be written or is
    // not a full path to a plain file of its own reached through no link.
    bool Open(const char* path);
    // One line: the pieces in order (null ones left out), cut at 1,023 characters.
    void Line(std::initializer_list<const char*> pieces);
    // The install phase's steps are its status texts: each begins a step and ends the one
    // before it as "done"; EndStep ends the last with `result`.
    void BeginStep(const char* status);
    void EndStep(const char* result);
    void Close();

  private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    char step_[1024] = {};
};
