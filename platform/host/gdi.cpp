// Graphics objects and the drawing calls of the wizard's picture.
#include "platform/host/window_manager.h"

HDC CreateCompatibleDC(HDC) {
    return nullptr;
}
BOOL DeleteDC(HDC) {
    return FALSE;
}
HGDIOBJ SelectObject(HDC, HGDIOBJ) {
    return nullptr;
}
BOOL DeleteObject(HGDIOBJ) {
    return FALSE;
}
int GetObjectA(HANDLE, int, LPVOID) {
    return 0;
}
HGDIOBJ GetStockObject(int) {
    return nullptr;
}
HBITMAP CreateDIBSection(HDC, const BITMAPINFO*, UINT, void** bits, HANDLE, DWORD) {
    if (bits)
        *bits = nullptr;
    return nullptr;
}
UINT GetDIBColorTable(HDC, UINT, UINT, RGBQUAD*) {
    return 0;
}
UINT SetDIBColorTable(HDC, UINT, UINT, const RGBQUAD*) {
    return 0;
}
int SetDIBitsToDevice(HDC, int, int, DWORD, DWORD, int, int, UINT, UINT, const void*,
                      const BITMAPINFO*, UINT) {
    return 0;
}
BOOL BitBlt(HDC, int, int, int, int, HDC, int, int, DWORD) {
    return FALSE;
}
HPALETTE CreatePalette(const LOGPALETTE*) {
    return nullptr;
}
HPALETTE SelectPalette(HDC, HPALETTE, BOOL) {
    return nullptr;
}
UINT RealizePalette(HDC) {
    return GDI_ERROR;
}
BOOL UnrealizeObject(HGDIOBJ) {
    return FALSE;
}
HRGN CreateRectRgn(int, int, int, int) {
    return nullptr;
}
int SelectClipRgn(HDC, HRGN) {
    return ERROR;
}
int GetDeviceCaps(HDC, int) {
    return 0;
}
HDC BeginPaint(HWND, LPPAINTSTRUCT) {
    return nullptr;
}
BOOL EndPaint(HWND, const PAINTSTRUCT*) {
    return TRUE;
}
BOOL InvalidateRect(HWND, const RECT*, BOOL) {
    return TRUE;
}
HDC GetDC(HWND) {
    return nullptr;
}
int ReleaseDC(HWND, HDC) {
    return 0;
}
int FillRect(HDC, const RECT*, HBRUSH) {
    return 0;
}
BOOL DrawEdge(HDC, LPRECT, UINT, UINT) {
    return FALSE;
}
DWORD GetSysColor(int) {
    return 0;
}
HBRUSH GetSysColorBrush(int) {
    return nullptr;
}
HANDLE LoadImageA(HINSTANCE, LPCSTR, UINT, int, int, UINT) {
    return nullptr;
}
HBRUSH CreateSolidBrush(COLORREF) {
    return nullptr;
}
BOOL GdiFlush() {
    return TRUE;
}
