#include "driver/setup_log.h"

#include <cstring>

#include "driver/string_helpers.h"

SetupLog::~SetupLog() {
    Close();
}

bool SetupLog::Open(const char* path) {
    Close();
    file_ = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    return file_ != INVALID_HANDLE_VALUE;
}

void SetupLog::Line(std::initializer_list<const char*> pieces) {
    if (file_ == INVALID_HANDLE_VALUE)
        return;
    char line[1024 + 2] = {};
    for (const char* piece : pieces) {
        // A piece that does not fit is cut rather than dropped: a long path still shows.
        if (piece != nullptr && !AppendString(line, 1024, piece)) {
            size_t used = std::strlen(line);
            std::strncat(line, piece, 1023 - used);
        }
    }
    std::strcat(line, "\r\n");
    DWORD written = 0;
    WriteFile(file_, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
}

void SetupLog::BeginStep(const char* status) {
    EndStep("done");
    if (status == nullptr || !CopyString(step_, status, sizeof step_))
        step_[0] = '\0';
}

void SetupLog::EndStep(const char* result) {
    if (step_[0] != '\0')
        Line({step_, " ", result});
    step_[0] = '\0';
}

void SetupLog::Close() {
    if (file_ != INVALID_HANDLE_VALUE)
        CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
}
