// patchcheck [--module SHORTNAME] FILE
//
// Applies the registry patch FILE as module SHORTNAME's (default Web) to an empty emulated
// registry. Prints the resulting registry as REGEDIT4 text and exits with 0, or prints
// FILE:LINE:COLUMN and what the patch format expected there and exits with 1. A usage error or
// an unreadable file exits with 2.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/host/emulation.h"
#include "tools/patchcheck/patch_check.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: patchcheck [--module SHORTNAME] FILE\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const char* shortName = "Web";
    const char* fileName = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--module") == 0 && i + 1 < argc)
            shortName = argv[++i];
        else if (argv[i][0] == '-' && argv[i][1] != '\0')
            return Usage();
        else if (!fileName)
            fileName = argv[i];
        else
            return Usage();
    }
    if (!fileName)
        return Usage();

    std::ifstream file(fileName, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "patchcheck: cannot read %s\n", fileName);
        return 2;
    }
    // The patch ends at its first zero byte, as it does when setup hands it to the applier.
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());

    hostemu::Reset();
    std::string output;
    std::string diagnostic;
    if (!CheckPatch(fileName, shortName, text.c_str(), output, diagnostic)) {
        std::fputs(diagnostic.c_str(), stderr);
        return 1;
    }
    std::fputs(output.c_str(), stdout);
    return 0;
}
