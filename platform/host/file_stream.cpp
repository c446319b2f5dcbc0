// The C runtime's streams over the emulated file system, unbuffered: every call goes straight
// to the Win32 file calls, so positions are always the file's own. Text mode reads a CR LF as
// LF and stops at a Ctrl+Z, and writes LF as CR LF, as the Windows runtime does.
#include <cstring>
#include <new>

#include "platform/file_stream.h"
#include "platform/host/win32_api.h"

struct FileStream {
    HANDLE file = INVALID_HANDLE_VALUE;
    bool text = true;
    bool canRead = false;
    bool canWrite = false;
    bool append = false;
    bool atEnd = false;
    // The runtime's error indicator: a read or write the system refused.
    bool failed = false;
};

namespace {

constexpr char kEndOfText = 0x1A;

// One byte as the stream's mode reads it; false at the end of the file or on failure.
bool GetByte(FileStream* stream, char& byte) {
    DWORD read = 0;
    if (!ReadFile(stream->file, &byte, 1, &read, nullptr)) {
        stream->failed = true;
        return false;
    }
    if (read == 0) {
        stream->atEnd = true;
        return false;
    }
    if (!stream->text)
        return true;
    if (byte == kEndOfText) {
        SetFilePointer(stream->file, -1, nullptr, FILE_CURRENT);
        stream->atEnd = true;
        return false;
    }
    if (byte == '\r') {
        char next;
        if (ReadFile(stream->file, &next, 1, &read, nullptr) && read == 1) {
            if (next == '\n')
                byte = '\n';
            else
                SetFilePointer(stream->file, -1, nullptr, FILE_CURRENT);
        }
    }
    return true;
}

bool PutBytes(FileStream* stream, const char* data, size_t size) {
    DWORD written = 0;
    if (WriteFile(stream->file, data, static_cast<DWORD>(size), &written, nullptr) &&
        written == size)
        return true;
    stream->failed = true;
    return false;
}

} // namespace

FileStream* OpenFileStream(const char* path, const char* mode) {
    if (path == nullptr || mode == nullptr)
        return nullptr;
    FileStream stream;
    bool plus = std::strchr(mode, '+') != nullptr;
    DWORD disposition;
    switch (mode[0]) {
    case 'r':
        disposition = OPEN_EXISTING;
        stream.canRead = true;
        stream.canWrite = plus;
        break;
    case 'w':
        disposition = CREATE_ALWAYS;
        stream.canWrite = true;
        stream.canRead = plus;
        break;
    case 'a':
        disposition = OPEN_ALWAYS;
        stream.canWrite = true;
        stream.canRead = plus;
        stream.append = true;
        break;
    default:
        return nullptr;
    }
    for (const char* flag = mode + 1; *flag; ++flag) {
        if (*flag == 'b')
            stream.text = false;
        else if (*flag == 't')
            stream.text = true;
        else if (*flag != '+')
            return nullptr;
    }
    DWORD access = (stream.canRead ? GENERIC_READ : 0) | (stream.canWrite ? GENERIC_WRITE : 0);
    stream.file = CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (stream.file == INVALID_HANDLE_VALUE)
        return nullptr;
    return new (std::nothrow) FileStream(stream);
}

void CloseFileStream(FileStream* stream) {
    if (stream == nullptr)
        return;
    CloseHandle(stream->file);
    delete stream;
}

long TellFileStream(FileStream* stream) {
    DWORD position = SetFilePointer(stream->file, 0, nullptr, FILE_CURRENT);
    return position == INVALID_SET_FILE_POINTER || position > 0x7FFFFFFF
               ? -1
               : static_cast<long>(position);
}

bool SeekFileStream(FileStream* stream, long offset) {
    if (offset < 0 || offset > 0x7FFFFFFF)
        return false;
    if (SetFilePointer(stream->file, static_cast<LONG>(offset), nullptr, FILE_BEGIN) ==
        INVALID_SET_FILE_POINTER)
        return false;
    stream->atEnd = false;
    return true;
}

bool ReadFileStreamLine(FileStream* stream, char* buffer, int capacity) {
    if (!stream->canRead || capacity <= 0)
        return false;
    int length = 0;
    char byte;
    while (length < capacity - 1 && GetByte(stream, byte)) {
        buffer[length++] = byte;
        if (byte == '\n')
            break;
    }
    buffer[length] = '\0';
    return length > 0 || capacity == 1;
}

bool WriteFileStream(FileStream* stream, const void* data, size_t size) {
    if (!stream->canWrite)
        return false;
    if (stream->append)
        SetFilePointer(stream->file, 0, nullptr, FILE_END);
    const char* bytes = static_cast<const char*>(data);
    if (!stream->text)
        return PutBytes(stream, bytes, size);
    size_t start = 0;
    for (size_t i = 0; i < size; ++i) {
        if (bytes[i] != '\n')
            continue;
        if (!PutBytes(stream, bytes + start, i - start) || !PutBytes(stream, "\r\n", 2))
            return false;
        start = i + 1;
    }
    return PutBytes(stream, bytes + start, size - start);
}

bool FileStreamAtEnd(FileStream* stream) {
    return stream->atEnd;
}

bool FileStreamFailed(FileStream* stream) {
    return stream->failed;
}

size_t ReadFileStream(FileStream* stream, void* buffer, size_t size) {
    if (!stream->canRead)
        return 0;
    char* bytes = static_cast<char*>(buffer);
    if (!stream->text) {
        DWORD read = 0;
        if (!ReadFile(stream->file, bytes, static_cast<DWORD>(size), &read, nullptr)) {
            stream->failed = true;
            return 0;
        }
        if (read < size)
            stream->atEnd = true;
        return read;
    }
    size_t count = 0;
    while (count < size && GetByte(stream, bytes[count]))
        ++count;
    return count;
}
