// "%s" in the wizard's texts stands for the suite name, or for a replacement the page gives.
#include <cstring>

#include "driver/setup_context.h"
#include "wizard/wizard_page.h"

void ExpandPlaceholders(const char* text, char* buffer, size_t size, const char* replacement) {
    if (!replacement)
        replacement = GetSuiteName();
    // No room even for the terminating zero: nothing may be written at all.
    if (size == 0)
        return;
    std::memset(buffer, 0, size);
    // One byte always stays free for the zero. A piece that would reach it is not copied, so
    // the text is cut only at a "%s", never inside a word or a replacement.
    const size_t room = size - 1;
    const size_t replacementLength = std::strlen(replacement);
    size_t used = 0;
    const char* rest = text;
    while (const char* mark = std::strstr(rest, "%s")) {
        const size_t before = static_cast<size_t>(mark - rest);
        if (before + replacementLength >= room - used)
            return;
        std::memcpy(buffer + used, rest, before);
        std::memcpy(buffer + used + before, replacement, replacementLength);
        used += before + replacementLength;
        rest = mark + 2;
    }
    const size_t restLength = std::strlen(rest);
    if (restLength < room - used)
        std::memcpy(buffer + used, rest, restLength);
}
