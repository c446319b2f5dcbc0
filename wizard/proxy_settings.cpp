#include "wizard/proxy_settings.h"

#include <cstring>

#include "driver/setup_context.h"
#include "driver/string_helpers.h"
#include "registry/reg_key.h"
#include "wizard/server_address.h"

const ProxyProtocol kProxyProtocols[kProxyProtocolCount] = {
    {800, 801, 802, "HttpUseProxy", "HttpProxyServer", "HttpProxyPort", 80, "http"},
    {830, 831, 832, "FtpUseProxy", "FtpProxyServer", "FtpProxyPort", 21, "ftp"},
    {840, 841, 842, "SocksUseProxy", "SocksProxyServer", "SocksProxyPort", 1080, "socks"},
};

namespace {

const char kInternetSettingsKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const char kBrowserProxyKey[] = "Software\\Netscape\\Netscape Navigator\\Proxy Information";
const char kBrowserServicesKey[] = "Software\\Netscape\\Netscape Navigator\\Services";

bool ImportSystemProxy(const char* name, bool& use, char* address, DWORD& port) {
    RegKey key(GetModuleShortName(0));
    if (!key.Open(CurrentUser, kInternetSettingsKey, true))
        return false;
    DWORD enabled = 0;
    DWORD size = sizeof enabled;
    if (!key.ReadBinary("ProxyEnable", &enabled, size))
        return false;
    char servers[kServerTextCapacity];
    if (!key.ReadString("ProxyServer", servers, sizeof servers))
        return false;
    if (!FindSystemProxy(servers, name, address, kServerTextCapacity, port))
        return false;
    use = enabled != 0;
    return true;
}

// The browser keeps SOCKS among its services and the others among its proxies.
void ImportBrowserProxy(const char* name, bool& use, char* address, DWORD& port) {
    bool socks = EqualIgnoringCase(name, "socks");
    char serverValue[64];
    char portValue[64];
    if (!ConcatStrings(serverValue, sizeof serverValue, name, socks ? "_Server" : "_Proxy") ||
        !ConcatStrings(portValue, sizeof portValue, name, socks ? "_ServerPort" : "_ProxyPort"))
        return;
    RegKey key(GetModuleShortName(0));
    if (!key.Open(CurrentUser, socks ? kBrowserServicesKey : kBrowserProxyKey, true))
        return;
    char server[kServerTextCapacity];
    if (!key.ReadString(serverValue, server, sizeof server) || server[0] == '\0')
        return;
    use = true;
    std::memcpy(address, server, std::strlen(server) + 1);
    key.ReadDword(portValue, port);
}

} // namespace

void ImportProxySettings(const char* name, bool& use, char* address, DWORD& port) {
    if (!ImportSystemProxy(name, use, address, port))
        ImportBrowserProxy(name, use, address, port);
}

void LoadProxySetting(const ProxyProtocol& protocol, ProxySetting& setting) {
    setting.use = false;
    setting.address[0] = '\0';
    setting.port = protocol.defaultPort;
    RegKey key(GetModuleShortName(0));
    if (key.Open(Updates, nullptr, true) && key.ValueExists(protocol.useValue)) {
        key.ReadFlag(protocol.useValue, setting.use);
        key.ReadString(protocol.serverValue, setting.address, sizeof setting.address);
        key.ReadDword(protocol.portValue, setting.port);
        return;
    }
    key.Close();
    ImportProxySettings(protocol.importName, setting.use, setting.address, setting.port);
}

bool StoreProxySetting(const ProxyProtocol& protocol, const ProxySetting& setting) {
    RegKey key(GetModuleShortName(0));
    if (!key.Open(Updates, nullptr, false))
        return false;
    bool stored = key.WriteFlag(protocol.useValue, setting.use);
    stored &= key.WriteString(protocol.serverValue, setting.address);
    stored &= key.WriteDword(protocol.portValue, setting.port);
    return stored;
}
