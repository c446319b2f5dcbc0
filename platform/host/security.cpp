// Security descriptors are kept as their text: a descriptor is a block that holds the SDDL it
// was made from, and a folder created with one keeps that text (hostemu::FolderSecurity).
#include <cstring>
#include <string>

#include "platform/host/emulation.h"
#include "platform/host/win32_api.h"

namespace {

const char kMagic[] = "SD:";

} // namespace

namespace hostemu {
namespace detail {
std::string DescriptorText(const void* descriptor) {
    const char* block = static_cast<const char*>(descriptor);
    if (block == nullptr || std::strncmp(block, kMagic, sizeof kMagic - 1) != 0)
        return std::string();
    return block + sizeof kMagic - 1;
}
} // namespace detail
} // namespace hostemu

BOOL ConvertStringSecurityDescriptorToSecurityDescriptorA(LPCSTR text, DWORD revision,
                                                          PSECURITY_DESCRIPTOR* descriptor,
                                                          PULONG size) {
    if (DWORD error = hostemu::detail::CheckFault(
            "ConvertStringSecurityDescriptorToSecurityDescriptorA", text ? text : "")) {
        SetLastError(error);
        return FALSE;
    }
    if (text == nullptr || descriptor == nullptr || revision != SDDL_REVISION_1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string block = std::string(kMagic) + text;
    char* memory = new char[block.size() + 1];
    std::memcpy(memory, block.c_str(), block.size() + 1);
    *descriptor = memory;
    if (size)
        *size = static_cast<ULONG>(block.size() + 1);
    return TRUE;
}

HLOCAL LocalFree(HLOCAL memory) {
    hostemu::detail::CountCall("LocalFree");
    delete[] static_cast<char*>(memory);
    return nullptr;
}
