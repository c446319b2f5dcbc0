#include "wizard/news_server_settings.h"

#include "driver/setup_context.h"
#include "registry/reg_key.h"
#include "wizard/server_address.h"

namespace {
const DWORD kDefaultNewsPort = 119;
const char kBrowserServicesKey[] = "Software\\Netscape\\Netscape Navigator\\Services";
} // namespace

void LoadNewsServerSettings(NewsServerSettings& settings) {
    settings = NewsServerSettings();
    const char* news = FindModuleShortName("news");
    RegKey key(news);
    // Without a News module there is no module key to read: an empty short name would name
    // the suite key itself.
    if (news[0] != '\0' && key.Open(Module, nullptr, true)) {
        key.ReadString("ServerNameText", settings.serverName, sizeof settings.serverName);
        if (!key.ReadDword("ServerPort", settings.port))
            settings.port = kDefaultNewsPort;
        key.ReadFlag("ServerAuthorization", settings.requiresAuthentication);
        key.ReadString("ServerUserid", settings.userId, sizeof settings.userId);
        key.ReadString("ServerPassword", settings.password, sizeof settings.password);
        return;
    }
    if (key.Open(CurrentUser, kBrowserServicesKey, true) &&
        key.ReadString("NNTP_Server", settings.serverName, sizeof settings.serverName))
        CutPort(settings.serverName, settings.port);
}

bool StoreNewsServerSettings(const NewsServerSettings& settings) {
    const char* news = FindModuleShortName("news");
    if (news[0] == '\0' || !IsModuleSelected("news"))
        return true;
    RegKey key(news);
    if (!key.Open(Module, nullptr, false))
        return false;
    bool stored = key.WriteString("ServerNameText", settings.serverName);
    stored &= key.WriteDword("ServerPort", settings.port);
    stored &= key.WriteFlag("ServerAuthorization", settings.requiresAuthentication);
    stored &= key.WriteString("ServerUserid", settings.userId);
    stored &= key.WriteString("ServerPassword", settings.password);
    return stored;
}
