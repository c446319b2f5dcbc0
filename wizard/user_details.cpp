#include "wizard/user_details.h"

#include "driver/setup_context.h"
#include "driver/shell_helpers.h"
#include "registry/reg_key.h"

namespace {
const char kWin9xVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
const char kNtVersionKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion";
} // namespace

void LoadUserDetails(UserDetails& details) {
    details = UserDetails();
    RegKey key(GetModuleShortName(0));
    if (key.Open(Updates, nullptr, true) && key.ValueExists("username")) {
        key.ReadString("username", details.fullName, sizeof details.fullName);
        key.ReadString("email", details.email, sizeof details.email);
        key.ReadString("company", details.company, sizeof details.company);
        key.ReadString("country", details.country, sizeof details.country);
        return;
    }
    // The registered owner lives where each family of Windows keeps its version.
    if (!key.Open(LocalMachine, IsWin9xPlatform() ? kWin9xVersionKey : kNtVersionKey, true))
        return;
    key.ReadString("RegisteredOwner", details.fullName, sizeof details.fullName);
    key.ReadString("RegisteredOrganization", details.company, sizeof details.company);
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGCOUNTRY, details.country,
                       sizeof details.country) == 0)
        details.country[0] = '\0';
}

bool StoreUserDetails(const UserDetails& details) {
    RegKey key(GetModuleShortName(0));
    if (!key.Open(Updates, nullptr, false))
        return false;
    bool stored = key.WriteString("username", details.fullName);
    stored &= key.WriteString("email", details.email);
    stored &= key.WriteString("company", details.company);
    stored &= key.WriteString("country", details.country);
    return stored;
}
