// Graphics objects as real objects with handles: device-independent bitmaps, palettes,
// regions, brushes and device contexts, with what each holds selected. The drawing calls made
// on window device contexts are written to the drawing log for tests to read.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "platform/host/emulation.h"
#include "platform/host/window_manager.h"

#if defined(__SANITIZE_ADDRESS__)
#define NQ_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define NQ_ADDRESS_SANITIZER 1
#endif
#endif
#ifdef NQ_ADDRESS_SANITIZER
#include <sanitizer/asan_interface.h>
#endif

namespace hostemu {
namespace {

enum class Kind { Bitmap, Palette, Region, Brush, Dc };

// A section's pixel storage as Windows hands it out: whole pages, zero until written, so that a
// picture of many megabytes costs only the pages its rows touch (a fuzzed header claims such
// pictures by the thousand). An inaccessible page on either side, and under AddressSanitizer
// the slack after the last byte poisoned, so that a read outside the storage is caught as it
// would be on the heap.
class SectionBits {
  public:
    SectionBits() = default;
    SectionBits(const SectionBits&) = delete;
    SectionBits& operator=(const SectionBits&) = delete;
    ~SectionBits() { Release(); }

    // False, with nothing held, when the system has no pages for it.
    bool Allocate(size_t size) {
        Release();
        const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        const size_t used = (size + page - 1) / page * page;
        void* mapping =
            mmap(nullptr, used + 2 * page, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapping == MAP_FAILED)
            return false;
        BYTE* data = static_cast<BYTE*>(mapping) + page;
        if (mprotect(data, used, PROT_READ | PROT_WRITE) != 0) {
            munmap(mapping, used + 2 * page);
            return false;
        }
        mapping_ = mapping;
        mapped_ = used + 2 * page;
        used_ = used;
        data_ = data;
        size_ = size;
#ifdef NQ_ADDRESS_SANITIZER
        ASAN_POISON_MEMORY_REGION(data_ + size_, used - size_);
#endif
        return true;
    }

    BYTE* data() const {
        return data_;
    }
    size_t size() const {
        return size_;
    }
    BYTE& operator[](size_t index) const {
        return data_[index];
    }

  private:
    void Release() {
        if (!mapping_)
            return;
#ifdef NQ_ADDRESS_SANITIZER
        ASAN_UNPOISON_MEMORY_REGION(data_, used_);
#endif
        munmap(mapping_, mapped_);
        mapping_ = nullptr;
        data_ = nullptr;
        size_ = mapped_ = used_ = 0;
    }

    void* mapping_ = nullptr;
    size_t mapped_ = 0;
    size_t used_ = 0;
    BYTE* data_ = nullptr;
    size_t size_ = 0;
};

struct Object {
    Kind kind = Kind::Bitmap;
    bool stock = false;
    std::string name; // how the drawing log names it
    // Bitmaps: the header, the colour table and the bits.
    BITMAPINFOHEADER header = {};
    std::vector<RGBQUAD> colours;
    SectionBits bits;
    // Palettes.
    std::vector<PALETTEENTRY> entries;
    // Brushes.
    COLORREF colour = 0;
    // Regions.
    RECT rect = {};
    // Device contexts: the window it draws on (null for memory) and what is selected.
    HWND window = nullptr;
    bool forWindow = false;
    HGDIOBJ bitmap = nullptr;
    HGDIOBJ palette = nullptr;
    HGDIOBJ brush = nullptr;
};

struct Gdi {
    std::map<uintptr_t, std::unique_ptr<Object>> objects;
    uintptr_t next = 0x20000;
    std::map<int, HGDIOBJ> stock;
    std::string log;
    int dpi = 96;
};

Gdi& TheGdi() {
    static Gdi gdi;
    return gdi;
}

Object* Get(HGDIOBJ handle, Kind kind) {
    auto it = TheGdi().objects.find(reinterpret_cast<uintptr_t>(handle));
    if (it == TheGdi().objects.end() || it->second->kind != kind)
        return nullptr;
    return it->second.get();
}

Object* GetAny(HGDIOBJ handle) {
    auto it = TheGdi().objects.find(reinterpret_cast<uintptr_t>(handle));
    return it == TheGdi().objects.end() ? nullptr : it->second.get();
}

HGDIOBJ Add(std::unique_ptr<Object> object) {
    Gdi& gdi = TheGdi();
    uintptr_t handle = gdi.next;
    gdi.next += 4;
    gdi.objects[handle] = std::move(object);
    return reinterpret_cast<HGDIOBJ>(handle);
}

HGDIOBJ Stock(int index, Kind kind, const std::string& name, COLORREF colour = 0) {
    Gdi& gdi = TheGdi();
    auto it = gdi.stock.find(index);
    if (it != gdi.stock.end())
        return it->second;
    auto object = std::make_unique<Object>();
    object->kind = kind;
    object->stock = true;
    object->name = name;
    object->colour = colour;
    if (kind == Kind::Palette)
        object->entries.assign(20, PALETTEENTRY{0, 0, 0, 0});
    if (kind == Kind::Bitmap) {
        object->header.biSize = sizeof(BITMAPINFOHEADER);
        object->header.biWidth = 1;
        object->header.biHeight = 1;
        object->header.biPlanes = 1;
        object->header.biBitCount = 1;
    }
    HGDIOBJ handle = Add(std::move(object));
    gdi.stock[index] = handle;
    return handle;
}

// Stock objects beyond GetStockObject's own: the default bitmap of a memory context and the
// brushes of the system colours.
const int kDefaultBitmap = 1000;
const int kSysColorBrush = 2000;

HDC MakeDc(HWND window, bool forWindow) {
    auto object = std::make_unique<Object>();
    object->kind = Kind::Dc;
    object->window = window;
    object->forWindow = forWindow;
    object->bitmap = Stock(kDefaultBitmap, Kind::Bitmap, "default bitmap");
    object->palette = Stock(DEFAULT_PALETTE, Kind::Palette, "default palette");
    object->brush = Stock(WHITE_BRUSH, Kind::Brush, "white", RGB(255, 255, 255));
    return static_cast<HDC>(Add(std::move(object)));
}

void Draw(HDC dc, const std::string& line) {
    Object* object = Get(dc, Kind::Dc);
    if (object && object->forWindow)
        TheGdi().log += line + "\n";
}

std::string RectText(const RECT& rect) {
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
           std::to_string(rect.right) + "," + std::to_string(rect.bottom);
}

std::string NameOf(HGDIOBJ handle) {
    Object* object = GetAny(handle);
    return object ? object->name : "null";
}

bool SelectedSomewhere(HGDIOBJ handle) {
    for (const auto& entry : TheGdi().objects) {
        const Object& dc = *entry.second;
        if (dc.kind == Kind::Dc &&
            (dc.bitmap == handle || dc.palette == handle || dc.brush == handle))
            return true;
    }
    return false;
}

size_t ColourCount(const BITMAPINFOHEADER& header) {
    if (header.biBitCount > 8)
        return 0;
    size_t most = size_t{1} << header.biBitCount;
    return header.biClrUsed && header.biClrUsed < most ? header.biClrUsed : most;
}

size_t Stride(const BITMAPINFOHEADER& header) {
    return ((static_cast<size_t>(header.biWidth) * header.biBitCount + 31) / 32) * 4;
}

// Fills what of `rect` lies on a true-colour section; pictures of other depths, which the
// program only ever copies, keep their bits.
void FillPixels(Object& bitmap, const RECT& rect, COLORREF colour) {
    const BITMAPINFOHEADER& header = bitmap.header;
    if (bitmap.stock || (header.biBitCount != 24 && header.biBitCount != 32))
        return;
    const LONG height = std::abs(header.biHeight);
    const LONG left = std::max<LONG>(rect.left, 0);
    const LONG right = std::min<LONG>(rect.right, header.biWidth);
    const LONG top = std::max<LONG>(rect.top, 0);
    const LONG bottom = std::min<LONG>(rect.bottom, height);
    const size_t stride = Stride(header);
    const size_t pixelBytes = header.biBitCount / 8;
    for (LONG y = top; y < bottom; ++y) {
        // Bottom-up sections keep their first row last.
        const size_t row = static_cast<size_t>(header.biHeight < 0 ? y : height - 1 - y);
        for (LONG x = left; x < right; ++x) {
            BYTE* pixel = &bitmap.bits[row * stride + static_cast<size_t>(x) * pixelBytes];
            pixel[0] = GetBValue(colour);
            pixel[1] = GetGValue(colour);
            pixel[2] = GetRValue(colour);
            if (pixelBytes == 4)
                pixel[3] = 0;
        }
    }
}

} // namespace

namespace detail {
void ResetGdi() {
    TheGdi() = Gdi();
}
} // namespace detail

std::string DrawingLog() {
    return TheGdi().log;
}

void ClearDrawingLog() {
    TheGdi().log.clear();
}

void SetDisplayDpi(int dpi) {
    TheGdi().dpi = dpi;
}

int DisplayDpi() {
    return TheGdi().dpi;
}

unsigned GdiObjectsAlive() {
    unsigned count = 0;
    for (const auto& entry : TheGdi().objects) {
        const Object& object = *entry.second;
        if (!object.stock && !(object.kind == Kind::Dc && object.forWindow))
            ++count;
    }
    return count;
}

namespace wm {
void LogInvalidation(const std::string& line) {
    TheGdi().log += line + "\n";
}
} // namespace wm

} // namespace hostemu

using hostemu::Kind;
using hostemu::Object;

HDC CreateCompatibleDC(HDC) {
    if (DWORD error = hostemu::detail::CheckFault("CreateCompatibleDC")) {
        SetLastError(error);
        return nullptr;
    }
    return hostemu::MakeDc(nullptr, false);
}

BOOL DeleteDC(HDC dc) {
    Object* object = hostemu::Get(dc, Kind::Dc);
    if (!object || object->forWindow)
        return FALSE;
    hostemu::TheGdi().objects.erase(reinterpret_cast<uintptr_t>(dc));
    return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ handle) {
    Object* context = hostemu::Get(dc, Kind::Dc);
    Object* object = hostemu::GetAny(handle);
    if (!context || !object)
        return nullptr;
    HGDIOBJ previous = nullptr;
    switch (object->kind) {
    case Kind::Bitmap:
        // A bitmap goes into a memory context only, and into one at a time.
        if (context->forWindow)
            return nullptr;
        for (const auto& entry : hostemu::TheGdi().objects) {
            if (entry.second->kind == Kind::Dc && entry.second.get() != context &&
                entry.second->bitmap == handle && !object->stock)
                return nullptr;
        }
        previous = context->bitmap;
        context->bitmap = handle;
        break;
    case Kind::Brush:
        previous = context->brush;
        context->brush = handle;
        break;
    case Kind::Region:
        return SelectClipRgn(dc, static_cast<HRGN>(handle)) == ERROR
                   ? HGDI_ERROR
                   : reinterpret_cast<HGDIOBJ>(SIMPLEREGION);
    default:
        return nullptr;
    }
    hostemu::Draw(dc, "SelectObject " + object->name);
    return previous;
}

BOOL DeleteObject(HGDIOBJ handle) {
    Object* object = hostemu::GetAny(handle);
    if (!object || object->kind == Kind::Dc)
        return FALSE;
    if (object->stock)
        return TRUE;
    // An object still selected into a device context is not deleted.
    if (hostemu::SelectedSomewhere(handle))
        return FALSE;
    hostemu::TheGdi().objects.erase(reinterpret_cast<uintptr_t>(handle));
    return TRUE;
}

int GetObjectA(HANDLE handle, int size, LPVOID buffer) {
    Object* object = hostemu::GetAny(handle);
    if (!object || size < 0)
        return 0;
    if (object->kind == Kind::Palette) {
        if (!buffer)
            return sizeof(WORD);
        if (size < static_cast<int>(sizeof(WORD)))
            return 0;
        WORD count = static_cast<WORD>(object->entries.size());
        std::memcpy(buffer, &count, sizeof count);
        return sizeof(WORD);
    }
    if (object->kind != Kind::Bitmap)
        return 0;
    DIBSECTION section = {};
    const BITMAPINFOHEADER& header = object->header;
    section.dsBm.bmType = 0;
    section.dsBm.bmWidth = header.biWidth;
    section.dsBm.bmHeight = std::abs(header.biHeight);
    section.dsBm.bmWidthBytes = static_cast<LONG>(hostemu::Stride(header));
    section.dsBm.bmPlanes = 1;
    section.dsBm.bmBitsPixel = header.biBitCount;
    section.dsBm.bmBits = object->stock ? nullptr : object->bits.data();
    section.dsBmih = header;
    section.dsBmih.biSizeImage = static_cast<DWORD>(object->bits.size());
    bool dib = !object->stock;
    if (!buffer)
        return dib ? sizeof(DIBSECTION) : sizeof(BITMAP);
    if (dib && size >= static_cast<int>(sizeof(DIBSECTION))) {
        std::memcpy(buffer, &section, sizeof section);
        return sizeof(DIBSECTION);
    }
    if (size >= static_cast<int>(sizeof(BITMAP))) {
        std::memcpy(buffer, &section.dsBm, sizeof(BITMAP));
        return sizeof(BITMAP);
    }
    return 0;
}

HGDIOBJ GetStockObject(int index) {
    switch (index) {
    case WHITE_BRUSH:
        return hostemu::Stock(index, Kind::Brush, "white", RGB(255, 255, 255));
    case LTGRAY_BRUSH:
        return hostemu::Stock(index, Kind::Brush, "light grey", RGB(192, 192, 192));
    case GRAY_BRUSH:
        return hostemu::Stock(index, Kind::Brush, "grey", RGB(128, 128, 128));
    case DKGRAY_BRUSH:
        return hostemu::Stock(index, Kind::Brush, "dark grey", RGB(64, 64, 64));
    case BLACK_BRUSH:
        return hostemu::Stock(index, Kind::Brush, "black", RGB(0, 0, 0));
    case NULL_BRUSH:
        return hostemu::Stock(index, Kind::Brush, "hollow");
    case DEFAULT_PALETTE:
        return hostemu::Stock(index, Kind::Palette, "default palette");
    default:
        return nullptr;
    }
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD) {
    if (bits)
        *bits = nullptr;
    if (DWORD error = hostemu::detail::CheckFault("CreateDIBSection")) {
        SetLastError(error);
        return nullptr;
    }
    if (!info || section || usage != DIB_RGB_COLORS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const BITMAPINFOHEADER& header = info->bmiHeader;
    WORD depth = header.biBitCount;
    bool knownDepth =
        depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biWidth <= 0 || header.biHeight == 0 ||
        header.biWidth > 0x4000 || std::abs(header.biHeight) > 0x4000 || !knownDepth ||
        header.biCompression != BI_RGB) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto object = std::make_unique<Object>();
    object->kind = Kind::Bitmap;
    object->header = header;
    object->header.biSize = sizeof(BITMAPINFOHEADER);
    size_t colours = hostemu::ColourCount(header);
    object->colours.assign(info->bmiColors, info->bmiColors + colours);
    object->colours.resize(depth <= 8 ? size_t{1} << depth : 0, RGBQUAD{0, 0, 0, 0});
    if (!object->bits.Allocate(hostemu::Stride(header) *
                               static_cast<size_t>(std::abs(header.biHeight)))) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    object->name = "bitmap " + std::to_string(header.biWidth) + "x" +
                   std::to_string(std::abs(header.biHeight)) + "x" + std::to_string(depth);
    void* data = object->bits.data();
    HBITMAP handle = static_cast<HBITMAP>(hostemu::Add(std::move(object)));
    if (bits)
        *bits = data;
    return handle;
}

UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colours) {
    Object* context = hostemu::Get(dc, Kind::Dc);
    Object* bitmap = context ? hostemu::Get(context->bitmap, Kind::Bitmap) : nullptr;
    if (!bitmap || !colours || start >= bitmap->colours.size())
        return 0;
    UINT copied = std::min<UINT>(count, static_cast<UINT>(bitmap->colours.size()) - start);
    std::copy_n(bitmap->colours.begin() + start, copied, colours);
    return copied;
}

UINT SetDIBColorTable(HDC dc, UINT start, UINT count, const RGBQUAD* colours) {
    Object* context = hostemu::Get(dc, Kind::Dc);
    Object* bitmap = context ? hostemu::Get(context->bitmap, Kind::Bitmap) : nullptr;
    if (!bitmap || !colours || start >= bitmap->colours.size() || bitmap->stock)
        return 0;
    UINT copied = std::min<UINT>(count, static_cast<UINT>(bitmap->colours.size()) - start);
    std::copy_n(colours, copied, bitmap->colours.begin() + start);
    return copied;
}

namespace {

// How the drawing log names the bits a DIB call draws from: "116x226x8 rgb".
std::string DibText(const BITMAPINFO* info, UINT usage) {
    return std::to_string(info->bmiHeader.biWidth) + "x" +
           std::to_string(info->bmiHeader.biHeight) + "x" +
           std::to_string(info->bmiHeader.biBitCount) +
           (usage == DIB_RGB_COLORS ? " rgb" : " palette");
}

} // namespace

int SetDIBitsToDevice(HDC dc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc,
                      UINT startScan, UINT lines, const void* bits, const BITMAPINFO* info,
                      UINT usage) {
    if (!hostemu::Get(dc, Kind::Dc) || !bits || !info)
        return 0;
    hostemu::Draw(dc, "SetDIBitsToDevice " + std::to_string(xDest) + "," + std::to_string(yDest) +
                          " " + std::to_string(width) + "x" + std::to_string(height) + " from " +
                          std::to_string(xSrc) + "," + std::to_string(ySrc) + " lines " +
                          std::to_string(startScan) + "+" + std::to_string(lines) + " " +
                          DibText(info, usage));
    return static_cast<int>(lines);
}

BOOL BitBlt(HDC dc, int x, int y, int cx, int cy, HDC source, int x1, int y1, DWORD) {
    Object* from = hostemu::Get(source, Kind::Dc);
    if (!hostemu::Get(dc, Kind::Dc) || !from)
        return FALSE;
    hostemu::Draw(dc, "BitBlt " + std::to_string(x) + "," + std::to_string(y) + " " +
                          std::to_string(cx) + "x" + std::to_string(cy) + " from " +
                          hostemu::NameOf(from->bitmap) + " at " + std::to_string(x1) + "," +
                          std::to_string(y1));
    return TRUE;
}

int StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                  int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage,
                  DWORD) {
    if (!hostemu::Get(dc, Kind::Dc) || !bits || !info)
        return 0;
    hostemu::Draw(dc, "StretchDIBits " + std::to_string(xDest) + "," + std::to_string(yDest) + " " +
                          std::to_string(destWidth) + "x" + std::to_string(destHeight) + " from " +
                          std::to_string(xSrc) + "," + std::to_string(ySrc) + " " +
                          std::to_string(srcWidth) + "x" + std::to_string(srcHeight) + " " +
                          DibText(info, usage));
    return srcHeight;
}

BOOL StretchBlt(HDC dc, int x, int y, int cx, int cy, HDC source, int x1, int y1, int cx1, int cy1,
                DWORD) {
    Object* from = hostemu::Get(source, Kind::Dc);
    if (!hostemu::Get(dc, Kind::Dc) || !from)
        return FALSE;
    hostemu::Draw(dc, "StretchBlt " + std::to_string(x) + "," + std::to_string(y) + " " +
                          std::to_string(cx) + "x" + std::to_string(cy) + " from " +
                          hostemu::NameOf(from->bitmap) + " at " + std::to_string(x1) + "," +
                          std::to_string(y1) + " " + std::to_string(cx1) + "x" +
                          std::to_string(cy1));
    return TRUE;
}

int SetStretchBltMode(HDC dc, int mode) {
    if (!hostemu::Get(dc, Kind::Dc))
        return 0;
    hostemu::Draw(dc, "SetStretchBltMode " + std::to_string(mode));
    return COLORONCOLOR;
}

BOOL SetBrushOrgEx(HDC dc, int, int, LPPOINT previous) {
    if (!hostemu::Get(dc, Kind::Dc))
        return FALSE;
    if (previous)
        *previous = POINT{0, 0};
    return TRUE;
}

HPALETTE CreatePalette(const LOGPALETTE* palette) {
    if (DWORD error = hostemu::detail::CheckFault("CreatePalette")) {
        SetLastError(error);
        return nullptr;
    }
    if (!palette || palette->palVersion != 0x300 || palette->palNumEntries == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto object = std::make_unique<Object>();
    object->kind = Kind::Palette;
    object->entries.assign(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
    object->name = "palette " + std::to_string(palette->palNumEntries);
    return static_cast<HPALETTE>(hostemu::Add(std::move(object)));
}

HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground) {
    Object* context = hostemu::Get(dc, Kind::Dc);
    Object* object = hostemu::Get(palette, Kind::Palette);
    if (!context || !object)
        return nullptr;
    HGDIOBJ previous = context->palette;
    context->palette = palette;
    hostemu::Draw(dc, "SelectPalette " + object->name + " " + std::to_string(forceBackground));
    return static_cast<HPALETTE>(previous);
}

// The emulated screen has true colour: a palette realizes without mapping any entry.
UINT RealizePalette(HDC dc) {
    if (!hostemu::Get(dc, Kind::Dc))
        return GDI_ERROR;
    hostemu::Draw(dc, "RealizePalette");
    return 0;
}

BOOL UnrealizeObject(HGDIOBJ handle) {
    Object* object = hostemu::GetAny(handle);
    if (!object)
        return FALSE;
    hostemu::TheGdi().log += "UnrealizeObject " + object->name + "\n";
    return TRUE;
}

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    if (DWORD error = hostemu::detail::CheckFault("CreateRectRgn")) {
        SetLastError(error);
        return nullptr;
    }
    auto object = std::make_unique<Object>();
    object->kind = Kind::Region;
    object->rect = RECT{std::min(left, right), std::min(top, bottom), std::max(left, right),
                        std::max(top, bottom)};
    object->name = "region " + hostemu::RectText(object->rect);
    return static_cast<HRGN>(hostemu::Add(std::move(object)));
}

// The context keeps a copy of the region: the caller may delete its own at once.
int SelectClipRgn(HDC dc, HRGN region) {
    if (!hostemu::Get(dc, Kind::Dc))
        return ERROR;
    if (!region) {
        hostemu::Draw(dc, "SelectClipRgn null");
        return SIMPLEREGION;
    }
    Object* object = hostemu::Get(region, Kind::Region);
    if (!object)
        return ERROR;
    hostemu::Draw(dc, "SelectClipRgn " + hostemu::RectText(object->rect));
    const RECT& r = object->rect;
    return r.right > r.left && r.bottom > r.top ? SIMPLEREGION : NULLREGION;
}

int GetDeviceCaps(HDC dc, int index) {
    if (!hostemu::Get(dc, Kind::Dc))
        return 0;
    switch (index) {
    case BITSPIXEL:
        return 32;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return -1;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return hostemu::DisplayDpi();
    default:
        return 0;
    }
}

HDC BeginPaint(HWND window, LPPAINTSTRUCT paint) {
    hostemu::wm::Window* made = hostemu::wm::Find(window);
    if (!made || !paint)
        return nullptr;
    if (DWORD error = hostemu::detail::CheckFault("BeginPaint")) {
        SetLastError(error);
        return nullptr;
    }
    made->needsPaint = false;
    std::memset(paint, 0, sizeof *paint);
    paint->hdc = hostemu::MakeDc(window, true);
    paint->fErase = FALSE;
    GetClientRect(window, &paint->rcPaint);
    return paint->hdc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* paint) {
    if (paint)
        hostemu::TheGdi().objects.erase(reinterpret_cast<uintptr_t>(paint->hdc));
    return TRUE;
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    hostemu::wm::Window* made = hostemu::wm::Find(window);
    if (!made)
        return FALSE;
    made->needsPaint = true;
    std::string who =
        made->parent && made->id ? "control " + std::to_string(made->id) : "\"" + made->text + "\"";
    if (made->proc == hostemu::wm::DialogProc && made->parent)
        who = "child dialog";
    hostemu::wm::LogInvalidation("InvalidateRect " + who + " " +
                                 (rect ? hostemu::RectText(*rect) : std::string("all")) +
                                 " erase " + std::to_string(erase ? 1 : 0));
    return TRUE;
}

HDC GetDC(HWND window) {
    if (window && !hostemu::wm::Find(window))
        return nullptr;
    return hostemu::MakeDc(window, true);
}

int ReleaseDC(HWND, HDC dc) {
    Object* object = hostemu::Get(dc, Kind::Dc);
    if (!object || !object->forWindow)
        return 0;
    hostemu::TheGdi().objects.erase(reinterpret_cast<uintptr_t>(dc));
    return 1;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    Object* context = hostemu::Get(dc, Kind::Dc);
    Object* fill = hostemu::Get(brush, Kind::Brush);
    if (!context || !rect || !fill)
        return 0;
    hostemu::Draw(dc, "FillRect " + hostemu::RectText(*rect) + " " + hostemu::NameOf(brush));
    if (Object* bitmap = hostemu::Get(context->bitmap, Kind::Bitmap))
        hostemu::FillPixels(*bitmap, *rect, fill->colour);
    return 1;
}

BOOL DrawEdge(HDC dc, LPRECT rect, UINT edge, UINT flags) {
    if (!hostemu::Get(dc, Kind::Dc) || !rect)
        return FALSE;
    hostemu::Draw(dc, "DrawEdge " + hostemu::RectText(*rect) + " " + std::to_string(edge) + " " +
                          std::to_string(flags));
    if (flags & BF_ADJUST) {
        int width = ((edge & BDR_OUTER) ? 1 : 0) + ((edge & BDR_INNER) ? 1 : 0);
        if (flags & BF_LEFT)
            rect->left += width;
        if (flags & BF_TOP)
            rect->top += width;
        if (flags & BF_RIGHT)
            rect->right -= width;
        if (flags & BF_BOTTOM)
            rect->bottom -= width;
    }
    return TRUE;
}

// The classic scheme's colours.
DWORD GetSysColor(int index) {
    switch (index) {
    case COLOR_WINDOW:
    case COLOR_BTNHIGHLIGHT:
        return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT:
    case COLOR_BTNTEXT:
        return RGB(0, 0, 0);
    case COLOR_BTNSHADOW:
        return RGB(128, 128, 128);
    default:
        return RGB(192, 192, 192);
    }
}

HBRUSH GetSysColorBrush(int index) {
    if (index < 0 || index > 30)
        return nullptr;
    return static_cast<HBRUSH>(hostemu::Stock(hostemu::kSysColorBrush + index, Kind::Brush,
                                              "system colour " + std::to_string(index),
                                              GetSysColor(index)));
}

HBRUSH CreateSolidBrush(COLORREF colour) {
    if (DWORD error = hostemu::detail::CheckFault("CreateSolidBrush")) {
        SetLastError(error);
        return nullptr;
    }
    auto object = std::make_unique<Object>();
    object->kind = Kind::Brush;
    object->colour = colour & 0xFFFFFF;
    object->name = "solid " + std::to_string(GetRValue(colour)) + "," +
                   std::to_string(GetGValue(colour)) + "," + std::to_string(GetBValue(colour));
    return static_cast<HBRUSH>(hostemu::Add(std::move(object)));
}

// Drawing is never batched here.
BOOL GdiFlush() {
    return TRUE;
}
