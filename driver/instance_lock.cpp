#include "driver/instance_lock.h"

#include <cstring>

#include "driver/shell_helpers.h"
#include "driver/system_libraries.h"

namespace {

// In the global namespace, so that a setup in another session (another user logged on, a
// remote desktop) is seen too: what setup installs is the machine's.
const char kLockName[] = "Global\\NetQuilloSetupRunning";
// Made by an administrator, and nobody but SYSTEM and the administrators may open it.
const char kLockSecurity[] = "O:BAD:(A;;GA;;;SY)(A;;GA;;;BA)";
} // namespace

InstanceLock::InstanceLock() {
    // The 95 family has neither sessions nor owners: the name alone.
    if (IsWin9xPlatform()) {
        handle_ = CreateMutexA(nullptr, FALSE, kLockName + std::strlen("Global\\"));
        heldElsewhere_ = handle_ != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
        return;
    }
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, DescriptorFromText(kLockSecurity), FALSE};
    handle_ = CreateMutexA(attributes.lpSecurityDescriptor ? &attributes : nullptr, FALSE, kLockName);
    const DWORD error = GetLastError();
    if (attributes.lpSecurityDescriptor)
        LocalFree(attributes.lpSecurityDescriptor);
    // An object that refuses an administrator, or is no mutex, or belongs to somebody else was
    // not made by a setup: it says nothing, and this run goes on without the lock.
    if (handle_ != nullptr && error == ERROR_ALREADY_EXISTS) {
        heldElsewhere_ = MadeByAdministrator(handle_, SE_KERNEL_OBJECT);
        if (!heldElsewhere_) {
            CloseHandle(handle_);
            handle_ = nullptr;
        }
    }
}

InstanceLock::~InstanceLock() {
    if (handle_)
        CloseHandle(handle_);
}
