// Named mutexes in the machine's one namespace. An object knows its owner, as a SID in text,
// and whether this program may open it; a SID is its text in a block of its own.
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "platform/host/emulation.h"
#include "platform/host/win32_api.h"

namespace {

const char kAdministrators[] = "S-1-5-32-544";

struct KernelObject {
    std::string name;
    std::string owner;
    bool mutex = true;
    bool opensForUs = true;
    bool token = false; // the program's own access token
};

struct Objects {
    std::map<std::string, std::weak_ptr<KernelObject>> byName; // names are case-sensitive
    std::map<uintptr_t, std::shared_ptr<KernelObject>> handles;
    std::shared_ptr<KernelObject> planted; // made by another user's program, kept alive
    uintptr_t nextHandle = 0x7000;
};

Objects& TheObjects() {
    static Objects objects;
    return objects;
}

// The owner a descriptor's text names ("O:BA", "O:SY" or a SID), or empty.
std::string OwnerOf(const std::string& text) {
    if (text.compare(0, 2, "O:") != 0)
        return std::string();
    size_t end = 2; // up to the next part: "G:", "D:" or "S:"
    while (end + 1 < text.size() &&
           !(text[end + 1] == ':' && (text[end] == 'G' || text[end] == 'D' || text[end] == 'S')))
        ++end;
    const std::string owner = text.substr(2, end + 1 < text.size() ? end - 2 : std::string::npos);
    if (owner == "BA")
        return kAdministrators;
    if (owner == "SY")
        return "S-1-5-18";
    return owner;
}

char* TextBlock(const std::string& text) {
    char* block = new char[text.size() + 1];
    std::memcpy(block, text.c_str(), text.size() + 1);
    return block;
}

HANDLE NewHandle(const std::shared_ptr<KernelObject>& object) {
    uintptr_t value = TheObjects().nextHandle += 4;
    TheObjects().handles[value] = object;
    return reinterpret_cast<HANDLE>(value);
}

} // namespace

namespace hostemu {

void PlantNamedObject(const char* name, const char* ownerSid, bool mutex, bool opensForUs) {
    auto object = std::make_shared<KernelObject>();
    object->name = name;
    object->owner = ownerSid;
    object->mutex = mutex;
    object->opensForUs = opensForUs;
    TheObjects().planted = object;
    TheObjects().byName[name] = object;
}

bool NamedObjectExists(const char* name) {
    auto found = TheObjects().byName.find(name);
    return found != TheObjects().byName.end() && !found->second.expired();
}

namespace detail {

void ResetKernelObjects() {
    TheObjects() = Objects();
}

void CloseAllKernelObjects() {
    TheObjects().handles.clear();
}

bool CloseKernelObject(HANDLE handle) {
    return TheObjects().handles.erase(reinterpret_cast<uintptr_t>(handle)) != 0;
}

} // namespace detail
} // namespace hostemu

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES attributes, BOOL, LPCSTR name) {
    if (DWORD error = hostemu::detail::CheckFault("CreateMutexA", name ? name : "")) {
        SetLastError(error);
        return nullptr;
    }
    if (name != nullptr) {
        auto found = TheObjects().byName.find(name);
        if (found != TheObjects().byName.end()) {
            if (std::shared_ptr<KernelObject> object = found->second.lock()) {
                if (!object->mutex) {
                    SetLastError(ERROR_INVALID_HANDLE);
                    return nullptr;
                }
                if (!object->opensForUs) {
                    SetLastError(ERROR_ACCESS_DENIED);
                    return nullptr;
                }
                HANDLE handle = NewHandle(object);
                SetLastError(ERROR_ALREADY_EXISTS);
                return handle;
            }
        }
    }
    auto object = std::make_shared<KernelObject>();
    object->name = name ? name : "";
    // The program runs elevated, and an elevated administrator's objects belong to the group.
    std::string owner = attributes ? OwnerOf(hostemu::detail::DescriptorText(
                                         attributes->lpSecurityDescriptor))
                                   : std::string();
    object->owner = owner.empty() ? kAdministrators : owner;
    // Its access list, if it has one, lets administrators (elevated, as setup) or everybody in.
    const std::string text =
        attributes ? hostemu::detail::DescriptorText(attributes->lpSecurityDescriptor) : "";
    object->opensForUs = text.find("D:") == std::string::npos ||
                         text.find(";;;BA)") != std::string::npos ||
                         text.find(";;;WD)") != std::string::npos;
    if (name != nullptr)
        TheObjects().byName[name] = object;
    HANDLE handle = NewHandle(object);
    SetLastError(ERROR_SUCCESS);
    return handle;
}

DWORD GetSecurityInfo(HANDLE handle, SE_OBJECT_TYPE type, SECURITY_INFORMATION information,
                      PSID* owner, PSID*, PACL*, PACL*, PSECURITY_DESCRIPTOR* descriptor) {
    if (DWORD error = hostemu::detail::CheckFault("GetSecurityInfo"))
        return error;
    if (information != OWNER_SECURITY_INFORMATION || owner == nullptr || descriptor == nullptr)
        return ERROR_INVALID_PARAMETER;
    std::string ownerSid;
    if (type == SE_FILE_OBJECT) {
        std::string text;
        if (!hostemu::detail::FileDescriptor(handle, text))
            return ERROR_INVALID_HANDLE;
        // A file made without an owner of its own belongs to its maker: the program's
        // administrator.
        ownerSid = OwnerOf(text);
        if (ownerSid.empty())
            ownerSid = kAdministrators;
    } else {
        auto found = TheObjects().handles.find(reinterpret_cast<uintptr_t>(handle));
        if (found == TheObjects().handles.end() || type != SE_KERNEL_OBJECT)
            return ERROR_INVALID_HANDLE;
        ownerSid = found->second->owner;
    }
    char* block = TextBlock(ownerSid);
    *descriptor = block;
    *owner = block;
    return ERROR_SUCCESS;
}

BOOL ConvertSidToStringSidA(PSID sid, LPSTR* text) {
    if (DWORD error = hostemu::detail::CheckFault("ConvertSidToStringSidA")) {
        SetLastError(error);
        return FALSE;
    }
    if (sid == nullptr || text == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *text = TextBlock(static_cast<const char*>(sid));
    return TRUE;
}

namespace hostemu {
const char kProgramUserSid[] = "S-1-5-21-1111-2222-3333-1000";
} // namespace hostemu

namespace {
const uintptr_t kProcessHandle = static_cast<uintptr_t>(-1);

bool IsToken(HANDLE handle) {
    auto found = TheObjects().handles.find(reinterpret_cast<uintptr_t>(handle));
    return found != TheObjects().handles.end() && found->second->token;
}
} // namespace

HANDLE GetCurrentProcess() {
    return reinterpret_cast<HANDLE>(kProcessHandle);
}

BOOL OpenProcessToken(HANDLE process, DWORD, HANDLE* token) {
    if (DWORD error = hostemu::detail::CheckFault("OpenProcessToken")) {
        SetLastError(error);
        return FALSE;
    }
    if (reinterpret_cast<uintptr_t>(process) != kProcessHandle || token == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    auto object = std::make_shared<KernelObject>();
    object->mutex = false;
    object->token = true;
    *token = NewHandle(object);
    return TRUE;
}

// The answer is a TOKEN_USER with its SID, as text, in the same buffer behind it.
BOOL GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind, LPVOID information,
                         DWORD size, DWORD* needed) {
    if (DWORD error = hostemu::detail::CheckFault("GetTokenInformation")) {
        SetLastError(error);
        return FALSE;
    }
    if (!IsToken(token) || kind != TokenUser || needed == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const DWORD sidSize = static_cast<DWORD>(std::strlen(hostemu::kProgramUserSid) + 1);
    *needed = static_cast<DWORD>(sizeof(TOKEN_USER)) + sidSize;
    if (information == nullptr || size < *needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    auto* user = static_cast<TOKEN_USER*>(information);
    char* sid = static_cast<char*>(information) + sizeof(TOKEN_USER);
    std::memcpy(sid, hostemu::kProgramUserSid, sidSize);
    user->User.Sid = sid;
    user->User.Attributes = 0;
    return TRUE;
}
