// payload_generator bitmap OUT          the wizard bitmap
// payload_generator icon RRGGBB OUT     an icon in the given accent colour
// payload_generator help PRODUCT OUT    a module's help file
// payload_generator contents PRODUCT OUT  a module's help contents file
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "help.h"
#include "images.h"
#include "picture.h"

int main(int argc, char** argv) {
    bool done = false;
    if (argc == 3 && std::strcmp(argv[1], "bitmap") == 0) {
        done = WriteBitmapFile(DrawWizardPicture(), argv[2]);
    } else if (argc == 4 && std::strcmp(argv[1], "icon") == 0) {
        unsigned long rgb = std::strtoul(argv[2], nullptr, 16);
        Rgb accent = {static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
                      static_cast<uint8_t>(rgb)};
        done = WriteIconFile({DrawIcon(32, accent), DrawIcon(16, accent)}, argv[3]);
    } else if (argc == 4 && std::strcmp(argv[1], "help") == 0) {
        done = WriteHelpFile(argv[2], argv[3]);
    } else if (argc == 4 && std::strcmp(argv[1], "contents") == 0) {
        done = WriteContentsFile(argv[2], argv[3]);
    } else {
        std::fprintf(stderr, "usage: payload_generator bitmap OUT | icon RRGGBB OUT | "
                             "help PRODUCT OUT | contents PRODUCT OUT\n");
        return 2;
    }
    if (!done) {
        std::fprintf(stderr, "payload_generator: cannot write %s\n", argv[argc - 1]);
        return 1;
    }
    return 0;
}
