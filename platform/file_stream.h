// The C runtime's buffered streams on Windows paths. On Windows they are the runtime's own
// FILE streams; on the host they work over the emulated file system, so that a program that
// edits "wininit.ini" or reads a bitmap sees the same files as its Win32 calls.
// Modes are the runtime's ("r+t", "rb", ...); positions are byte offsets in the file.
#pragma once

#include <cstddef>

#ifdef _WIN32
#include <cstdio>

typedef FILE FileStream;

// Null when the file cannot be opened in that mode.
inline FileStream* OpenFileStream(const char* path, const char* mode) {
    return std::fopen(path, mode);
}
inline void CloseFileStream(FileStream* stream) {
    std::fclose(stream);
}
// -1 on failure.
inline long TellFileStream(FileStream* stream) {
    return std::ftell(stream);
}
// From the file's start; also ends a run of reads before a write and vice versa.
inline bool SeekFileStream(FileStream* stream, long offset) {
    return std::fseek(stream, offset, SEEK_SET) == 0;
}
// One line with its line end (as much as fits with the zero); false at the end or on failure.
inline bool ReadFileStreamLine(FileStream* stream, char* buffer, int capacity) {
    return std::fgets(buffer, capacity, stream) != nullptr;
}
// True when all `size` bytes were written.
inline bool WriteFileStream(FileStream* stream, const void* data, size_t size) {
    return std::fwrite(data, 1, size, stream) == size;
}
// True once a read has met the end of the file.
inline bool FileStreamAtEnd(FileStream* stream) {
    return std::feof(stream) != 0;
}
// True once a read or a write has failed (not merely met the end).
inline bool FileStreamFailed(FileStream* stream) {
    return std::ferror(stream) != 0;
}
// The number of bytes read, short only at the end or on failure.
inline size_t ReadFileStream(FileStream* stream, void* buffer, size_t size) {
    return std::fread(buffer, 1, size, stream);
}
#else
struct FileStream;

FileStream* OpenFileStream(const char* path, const char* mode);
void CloseFileStream(FileStream* stream);
long TellFileStream(FileStream* stream);
bool SeekFileStream(FileStream* stream, long offset);
bool ReadFileStreamLine(FileStream* stream, char* buffer, int capacity);
bool WriteFileStream(FileStream* stream, const void* data, size_t size);
bool FileStreamAtEnd(FileStream* stream);
bool FileStreamFailed(FileStream* stream);
size_t ReadFileStream(FileStream* stream, void* buffer, size_t size);
#endif
