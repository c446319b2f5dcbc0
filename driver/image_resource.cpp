#include "driver/image_resource.h"

const BYTE* FindImageResource(LPCSTR name, LPCSTR type, DWORD& size) {
    size = 0;
    HMODULE image = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(image, name, type);
    HGLOBAL loaded = resource ? LoadResource(image, resource) : nullptr;
    const BYTE* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (bytes)
        size = SizeofResource(image, resource);
    return bytes;
}

const char* ImageText(WORD id) {
    DWORD size;
    const BYTE* bytes = FindImageResource(MAKEINTRESOURCEA(id), "TEXT", size);
    return bytes && size > 0 && bytes[size - 1] == '\0' ? reinterpret_cast<const char*>(bytes)
                                                         : "";
}
