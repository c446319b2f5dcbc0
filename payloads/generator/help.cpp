#include "help.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

struct Topic {
    const char* id;
    const char* title;
    const char* text;
};

const Topic kTopics[] = {
    {"getting_started", "Getting started",
     "%s searches the Internet for you. Type what you are looking for and press Enter; the "
     "results appear in the list below, best first."},
    {"searching", "Searching",
     "Use several words to narrow a search. Double-click a result to open it. Saved searches "
     "open again with File, Open, or by double-clicking them in a folder."},
    {"settings", "Settings",
     "Setup stored your name, your e-mail address and your proxy servers. Change them with "
     "Tools, Options; %s reads them each time it starts."},
};

bool WriteText(const std::string& text, const char* path) {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr)
        return false;
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

std::string Format(const char* pattern, const char* product) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, pattern, product, product);
    return buffer;
}

void PutU32(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>(value >> shift));
}

} // namespace

bool WriteHelpFile(const char* product, const char* path) {
    std::string body = std::string("|SYSTEM\r\nTitle=") + product + " Help\r\n";
    for (const Topic& topic : kTopics) {
        body += std::string("\r\n|TOPIC ") + topic.id + "\r\n" + topic.title + "\r\n\r\n";
        body += Format(topic.text, product) + "\r\n";
    }
    std::string file;
    PutU32(file, 0x00035F3F);                      // the help file signature
    PutU32(file, 16);                              // where the directory starts
    PutU32(file, 0xFFFFFFFF);                      // no free blocks
    PutU32(file, static_cast<uint32_t>(16 + body.size())); // the whole file's size
    return WriteText(file + body, path);
}

bool WriteContentsFile(const char* product, const char* path) {
    std::string text = std::string(":Base ") + product + ".hlp\r\n";
    text += std::string(":Title ") + product + " Help\r\n";
    text += std::string("1 ") + product + "\r\n";
    for (const Topic& topic : kTopics)
        text += std::string("2 ") + topic.title + "=" + topic.id + "\r\n";
    return WriteText(text, path);
}
