// The C runtime's streams over the emulated file system. Reads go through a buffer of the
// runtime's size, filled by one ReadFile at a time as the runtime fills its own; writes go
// straight to WriteFile. Text mode reads a CR LF as LF and stops at a Ctrl+Z, and writes LF as
// CR LF, as the Windows runtime does.
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
    // Bytes read from the file ahead of the caller: those from `next` to `end` are unread.
    char ahead[4096];
    DWORD next = 0;
    DWORD end = 0;
};

namespace {

constexpr char kEndOfText = 0x1A;

// Makes sure an unread byte is at hand; false at the end of the file or on failure, which only
// a read the caller asked for (`noted`) records.
bool Fill(FileStream* stream, bool noted) {
    if (stream->next < stream->end)
        return true;
    stream->next = stream->end = 0;
    DWORD read = 0;
    if (!ReadFile(stream->file, stream->ahead, sizeof stream->ahead, &read, nullptr)) {
        stream->failed = stream->failed || noted;
        return false;
    }
    if (read == 0) {
        stream->atEnd = stream->atEnd || noted;
        return false;
    }
    stream->end = read;
    return true;
}

// Gives the bytes read ahead back to the file, so that its position is the caller's again.
bool Unread(FileStream* stream) {
    const LONG back = static_cast<LONG>(stream->end - stream->next);
    stream->next = stream->end = 0;
    return back == 0 ||
           SetFilePointer(stream->file, -back, nullptr, FILE_CURRENT) != INVALID_SET_FILE_POINTER;
}

// One byte as the stream's mode reads it; false at the end of the file or on failure.
bool GetByte(FileStream* stream, char& byte) {
    if (!Fill(stream, true))
        return false;
    byte = stream->ahead[stream->next];
    if (stream->text && byte == kEndOfText) {
        // It stays unread: the runtime stops there every time.
        stream->atEnd = true;
        return false;
    }
    ++stream->next;
    if (stream->text && byte == '\r' && Fill(stream, false) &&
        stream->ahead[stream->next] == '\n') {
        ++stream->next;
        byte = '\n';
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
               : static_cast<long>(position - (stream->end - stream->next));
}

bool SeekFileStream(FileStream* stream, long offset) {
    if (offset < 0 || offset > 0x7FFFFFFF)
        return false;
    stream->next = stream->end = 0;
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
    if (!stream->canWrite || !Unread(stream))
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
        // What was read ahead first, then the rest straight from the file.
        size_t count = stream->end - stream->next < size ? stream->end - stream->next : size;
        std::memcpy(bytes, stream->ahead + stream->next, count);
        stream->next += static_cast<DWORD>(count);
        DWORD read = 0;
        if (count < size &&
            !ReadFile(stream->file, bytes + count, static_cast<DWORD>(size - count), &read,
                      nullptr)) {
            stream->failed = true;
            return count;
        }
        if (count + read < size)
            stream->atEnd = true;
        return count + read;
    }
    size_t count = 0;
    while (count < size && GetByte(stream, bytes[count]))
        ++count;
    return count;
}
