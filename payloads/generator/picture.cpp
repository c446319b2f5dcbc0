#include "picture.h"

#include <algorithm>
#include <cmath>

namespace {

// Palette layout: 32 background shades times 8 levels of foreground coverage, so that the
// emblem's edges blend smoothly into any shade of the gradient.
constexpr int kShades = 32;
constexpr int kLevels = 8;

Rgb Mix(Rgb a, Rgb b, double t) {
    auto channel = [t](uint8_t x, uint8_t y) {
        return static_cast<uint8_t>(std::lround(x + (y - x) * t));
    };
    return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

void FillPalette(IndexedImage& image, Rgb top, Rgb bottom, Rgb foreground) {
    for (int level = 0; level < kLevels; ++level) {
        for (int shade = 0; shade < kShades; ++shade) {
            Rgb background = Mix(top, bottom, shade / double(kShades - 1));
            image.palette[level * kShades + shade] =
                Mix(background, foreground, level / double(kLevels - 1));
        }
    }
}

// 4 x 4 ordered dither, so the gradient's 32 shades show no bands.
const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

uint8_t PixelIndex(int x, int y, double gradient, double coverage) {
    double exact = gradient * (kShades - 1) + (kBayer[y & 3][x & 3] + 0.5) / 16.0 - 0.5;
    int shade = std::clamp(static_cast<int>(std::lround(exact)), 0, kShades - 1);
    int level = std::clamp(static_cast<int>(std::lround(coverage * (kLevels - 1))), 0, kLevels - 1);
    if (level == kLevels - 1)
        shade = 0; // full coverage is the foreground whatever the shade
    return static_cast<uint8_t>(level * kShades + shade);
}

double DistanceToSegment(double px, double py, double ax, double ay, double bx, double by) {
    double dx = bx - ax, dy = by - ay;
    double t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

// The emblem in a unit square (0..1 both ways): a ring with a quill across it. Answers how
// much of the foreground covers the point (0..1).
double Emblem(double x, double y) {
    const double cx = 0.5, cy = 0.5;
    double r = std::hypot(x - cx, y - cy);
    if (r > 0.40 && r < 0.47)
        return 1.0;
    // The feather: an ellipse along the diagonal from lower left to upper right.
    const double angle = 0.85;
    double u = (x - 0.54) * std::cos(angle) - (y - 0.44) * std::sin(angle);
    double v = (x - 0.54) * std::sin(angle) + (y - 0.44) * std::cos(angle);
    double feather = (u * u) / (0.30 * 0.30) + (v * v) / (0.085 * 0.085);
    if (feather < 1.0) {
        // The shaft runs through the vane as a thin dark line.
        return std::fabs(v) < 0.012 && u > -0.25 ? 0.45 : 1.0;
    }
    // The quill's tip, down towards the ring's lower left.
    if (DistanceToSegment(x, y, 0.34, 0.66, 0.20, 0.82) < 0.018)
        return 1.0;
    return 0.0;
}

// Coverage by 4 x 4 supersampling of a pixel.
template <typename Shape> double Cover(Shape shape, int px, int py) {
    double sum = 0;
    for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx)
            sum += shape(px + (sx + 0.5) / 4.0, py + (sy + 0.5) / 4.0);
    return sum / 16.0;
}

} // namespace

IndexedImage DrawWizardPicture() {
    IndexedImage image;
    image.width = 116;
    image.height = 226;
    FillPalette(image, {0x10, 0x24, 0x5A}, {0x2C, 0x8A, 0x9A}, {0xF7, 0xE9, 0xC0});
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);

    const double emblemSize = 84, emblemLeft = (116 - emblemSize) / 2, emblemTop = 46;
    auto scene = [&](double x, double y) {
        double e = Emblem((x - emblemLeft) / emblemSize, (y - emblemTop) / emblemSize);
        if (e > 0)
            return e;
        // A few quiet stars above the emblem.
        const double stars[][2] = {{18, 20}, {92, 14}, {70, 30}, {30, 150}, {100, 132}};
        for (const auto& star : stars)
            if (std::hypot(x - star[0], y - star[1]) < 1.1)
                return 0.8;
        // Soft hills along the bottom, faintly lighter than the sky.
        double hill = 196 + 7 * std::sin(x / 17.0) + 4 * std::sin(x / 7.0 + 1.3);
        if (y > hill)
            return 0.2;
        return 0.0;
    };
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            double gradient = y / double(image.height - 1);
            image.pixels[static_cast<size_t>(y) * image.width + x] =
                PixelIndex(x, y, gradient, Cover(scene, x, y));
        }
    }
    return image;
}

IndexedImage DrawIcon(int size, Rgb accent) {
    IndexedImage image;
    image.width = size;
    image.height = size;
    Rgb light = Mix(accent, {0xFF, 0xFF, 0xFF}, 0.35);
    Rgb dark = Mix(accent, {0x00, 0x00, 0x00}, 0.35);
    FillPalette(image, light, dark, {0xFF, 0xFF, 0xFF});
    image.palette[255] = {0, 0, 0}; // what the transparent pixels hold, as icons want
    image.pixels.resize(static_cast<size_t>(size) * size);
    image.transparent.resize(static_cast<size_t>(size) * size);

    const double corner = size / 5.0;
    auto tile = [&](double x, double y) {
        double dx = std::max({corner - x, x - (size - corner), 0.0});
        double dy = std::max({corner - y, y - (size - corner), 0.0});
        return std::hypot(dx, dy) <= corner ? 1.0 : 0.0;
    };
    auto emblem = [&](double x, double y) {
        double inset = size * 0.12;
        return Emblem((x - inset) / (size - 2 * inset), (y - inset) / (size - 2 * inset));
    };
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            size_t at = static_cast<size_t>(y) * size + x;
            if (Cover(tile, x, y) < 0.5) {
                image.transparent[at] = true;
                image.pixels[at] = 255;
                continue;
            }
            image.pixels[at] = PixelIndex(x, y, y / double(size - 1), Cover(emblem, x, y));
        }
    }
    return image;
}
