// The suite's proxy settings, one per protocol: proposed from what an earlier run stored, else
// imported from the system's Internet settings or the browser's, and stored at the end.
#pragma once

#include "platform/win32.h"

constexpr DWORD kServerTextCapacity = 1024;

struct ProxySetting {
    bool use = false;
    char address[kServerTextCapacity] = {};
    DWORD port = 0;
};

// One protocol: its controls on the proxy page, its values in the shared settings key, its
// default port and the name other programs know it by.
struct ProxyProtocol {
    int useBox;
    int addressField;
    int portField;
    const char* useValue;
    const char* serverValue;
    const char* portValue;
    DWORD defaultPort;
    const char* importName;
};

constexpr int kProxyProtocolCount = 3;
extern const ProxyProtocol kProxyProtocols[kProxyProtocolCount]; // HTTP, FTP, SOCKS

// The setting an earlier run stored when its use value exists; otherwise the import.
void LoadProxySetting(const ProxyProtocol& protocol, ProxySetting& setting);

// From the system's Internet settings, failing that from the browser's; each leaves the
// values alone when it has no server for `name`.
void ImportProxySettings(const char* name, bool& use, char* address, DWORD& port);

// Use, address and port into the shared settings key; false when the key or a value could not
// be written.
bool StoreProxySetting(const ProxyProtocol& protocol, const ProxySetting& setting);
