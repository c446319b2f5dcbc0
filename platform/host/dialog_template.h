// Dialog templates as the resource compiler lays them out, classic and extended.
#pragma once

#include <string>
#include <vector>

#include "platform/host/win32_api.h"

namespace hostemu {

struct DialogItemTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;
    std::string className; // a predefined class's name when the template gives its number
    std::string text;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string className;
    std::string caption;
    WORD pointSize = 0;
    std::string typeface;
    std::vector<DialogItemTemplate> items;
};

// False when the template is malformed or runs past `size`.
bool ParseDialogTemplate(const BYTE* data, size_t size, DialogTemplate& dialog);

} // namespace hostemu
