// The resource calls over the program's own compiled resources. A resource handle is the
// entry's position plus one; the loaded data is the entry's bytes themselves.
#include <vector>

#include "platform/host/emulation.h"
#include "platform/host/resource_file.h"
#include "platform/host/win32_api.h"

namespace {

bool IsOwnModule(HMODULE module) {
    return module == nullptr || module == GetModuleHandleA(nullptr);
}

// A name or type as the caller gives it: a number, "#number" or a string.
hostemu::ResourceKey KeyOf(LPCSTR text) {
    hostemu::ResourceKey key;
    if (IS_INTRESOURCE(text)) {
        key.number = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(text));
        return key;
    }
    if (text[0] == '#') {
        unsigned long number = 0;
        const char* p = text + 1;
        for (; *p >= '0' && *p <= '9' && number <= 0xFFFF; ++p)
            number = number * 10 + static_cast<unsigned long>(*p - '0');
        if (*p == '\0' && p != text + 1 && number <= 0xFFFF) {
            key.number = static_cast<WORD>(number);
            return key;
        }
    }
    key.isNumber = false;
    for (const char* p = text; *p; ++p)
        key.text += (*p >= 'a' && *p <= 'z') ? static_cast<char>(*p - 'a' + 'A') : *p;
    return key;
}

bool SameKey(const hostemu::ResourceKey& a, const hostemu::ResourceKey& b) {
    return a.isNumber == b.isNumber && (a.isNumber ? a.number == b.number : a.text == b.text);
}

const hostemu::ResourceEntry* EntryOf(HRSRC resource) {
    const auto& entries = hostemu::ImageResources();
    ULONG_PTR index = reinterpret_cast<ULONG_PTR>(resource);
    if (index == 0 || index > entries.size())
        return nullptr;
    return &entries[index - 1];
}

} // namespace

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
    if (DWORD error = hostemu::detail::CheckFault("FindResourceA")) {
        SetLastError(error);
        return nullptr;
    }
    if (!IsOwnModule(module) || name == nullptr || type == nullptr) {
        SetLastError(name && type ? ERROR_RESOURCE_DATA_NOT_FOUND : ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    hostemu::ResourceKey wantedType = KeyOf(type);
    hostemu::ResourceKey wantedName = KeyOf(name);
    const auto& entries = hostemu::ImageResources();
    bool typeFound = false;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!SameKey(entries[i].type, wantedType))
            continue;
        typeFound = true;
        if (SameKey(entries[i].name, wantedName))
            return reinterpret_cast<HRSRC>(static_cast<ULONG_PTR>(i + 1));
    }
    SetLastError(typeFound ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
    if (DWORD error = hostemu::detail::CheckFault("LoadResource")) {
        SetLastError(error);
        return nullptr;
    }
    const hostemu::ResourceEntry* entry = EntryOf(resource);
    if (!IsOwnModule(module) || !entry) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return const_cast<BYTE*>(entry->data);
}

LPVOID LockResource(HGLOBAL data) {
    return data;
}

DWORD SizeofResource(HMODULE module, HRSRC resource) {
    const hostemu::ResourceEntry* entry = EntryOf(resource);
    if (!IsOwnModule(module) || !entry) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return entry->size;
}

// Resources stay mapped with the image; freeing is a no-op that answers FALSE, as on Win32.
BOOL FreeResource(HGLOBAL) {
    return FALSE;
}

// The bytes of the .res file, generated at build time from resources/setup.rc.
extern const unsigned char nq_resource_image[];
extern const size_t nq_resource_image_size;

namespace hostemu {

namespace {
std::vector<ResourceEntry>& Entries() {
    static std::vector<ResourceEntry> entries = [] {
        std::vector<ResourceEntry> parsed;
        ParseResourceFile(nq_resource_image, nq_resource_image_size, parsed);
        return parsed;
    }();
    return entries;
}
} // namespace

const std::vector<ResourceEntry>& ImageResources() {
    return Entries();
}

// Added entries go after the program's own, so the handles already given stay valid.
bool AddImageResources(const unsigned char* image, size_t size) {
    static std::vector<const unsigned char*> added;
    for (const unsigned char* known : added) {
        if (known == image)
            return true;
    }
    std::vector<ResourceEntry> parsed;
    if (!ParseResourceFile(image, size, parsed))
        return false;
    Entries().insert(Entries().end(), parsed.begin(), parsed.end());
    added.push_back(image);
    return true;
}

} // namespace hostemu
