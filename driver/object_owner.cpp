#include "driver/object_owner.h"

#include <cstring>

#include "driver/system_libraries.h"

namespace {

const char kAdministrators[] = "S-1-5-32-544";
const char kSystem[] = "S-1-5-18";

// The SID of the user setup runs as, in text to be freed with LocalFree, or null.
char* CallerSid() {
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    auto openToken = EntryPoint<decltype(&OpenProcessToken)>(advapi, "OpenProcessToken");
    auto askToken = EntryPoint<decltype(&GetTokenInformation)>(advapi, "GetTokenInformation");
    auto asText = EntryPoint<decltype(&ConvertSidToStringSidA)>(advapi, "ConvertSidToStringSidA");
    HANDLE token = nullptr;
    if (!openToken || !askToken || !asText || !openToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return nullptr;
    // A TOKEN_USER with room for the longest SID behind it.
    alignas(TOKEN_USER) BYTE user[sizeof(TOKEN_USER) + 256];
    DWORD needed = 0;
    char* caller = nullptr;
    if (!askToken(token, TokenUser, user, sizeof user, &needed) ||
        !asText(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &caller))
        caller = nullptr;
    CloseHandle(token);
    return caller;
}

} // namespace

bool OwnedBy(HANDLE handle, SE_OBJECT_TYPE type, Owners owners) {
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    auto ownerOf = EntryPoint<decltype(&GetSecurityInfo)>(advapi, "GetSecurityInfo");
    auto asText = EntryPoint<decltype(&ConvertSidToStringSidA)>(advapi, "ConvertSidToStringSidA");
    if (!ownerOf || !asText)
        return true;
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (ownerOf(handle, type, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                &descriptor) != ERROR_SUCCESS)
        return false;
    char* text = nullptr;
    bool trusted = owner != nullptr && asText(owner, &text) &&
                   (std::strcmp(text, kAdministrators) == 0 || std::strcmp(text, kSystem) == 0);
    if (!trusted && text != nullptr && owners == Owners::AdministratorsOrCaller) {
        char* caller = CallerSid();
        trusted = caller != nullptr && std::strcmp(text, caller) == 0;
        if (caller)
            LocalFree(caller);
    }
    if (text)
        LocalFree(text);
    LocalFree(descriptor);
    return trusted;
}
