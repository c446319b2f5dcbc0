// The pictures the payloads carry, drawn as 256-colour images: the wizard bitmap beside the
// setup wizard's pages and the icons of the programs.
#pragma once

#include <cstdint>
#include <vector>

struct Rgb {
    uint8_t r, g, b;
};

struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels; // top row first, one palette index a pixel
    std::vector<bool> transparent; // empty, or one flag a pixel
    Rgb palette[256] = {};
};

// 116 x 226: a calm evening gradient with a quill in a ring, the suite's emblem.
IndexedImage DrawWizardPicture();

// A square icon of `size` pixels: a rounded tile in `accent` with the emblem in white.
IndexedImage DrawIcon(int size, Rgb accent);
