// What other programs left in the registry, of any length and content, through the proxy and
// news server imports: the system's ProxyServer list, the browser's proxies and news server.
// Every answer must be a zero-terminated string inside its field, whatever was stored.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "driver/catalogue.h"
#include "driver/setup_context.h"
#include "platform/host/emulation.h"
#include "registry/reg_key.h"
#include "tests/fuzz/fresh_machine.h"
#include "wizard/news_server_settings.h"
#include "wizard/proxy_settings.h"
#include "wizard/server_address.h"

namespace {

std::string Field(const std::string& input, size_t index) {
    size_t start = 0;
    for (size_t i = 0; i < index && start != std::string::npos; ++i) {
        start = input.find('\n', start);
        if (start != std::string::npos)
            ++start;
    }
    if (start == std::string::npos)
        return std::string();
    std::string field = input.substr(start, input.find('\n', start) - start);
    return field.c_str(); // the registry holds zero-terminated strings
}

void Put(const char* path, const char* name, const std::string& text) {
    RegKey key("Web");
    if (key.Open(CurrentUser, path, false))
        key.WriteString(name, text.c_str());
}

void CheckField(const char* text) {
    if (std::memchr(text, '\0', kServerTextCapacity) == nullptr)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FreshMachine machine;
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    std::string input(reinterpret_cast<const char*>(data), size);
    uint8_t choice = size > 0 ? data[0] : 0;

    RegKey settings("Web");
    if (settings.Open(CurrentUser,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", false)) {
        // ProxyEnable of the wrong type, or of 0 to 5 bytes.
        BYTE enable[8] = {static_cast<BYTE>(choice & 1)};
        if (choice & 2)
            settings.WriteDword("ProxyEnable", choice & 1);
        else
            settings.WriteBinary("ProxyEnable", enable, (choice >> 2) % 6);
        settings.WriteString("ProxyServer", Field(input, 0).c_str());
    }
    Put("Software\\Netscape\\Netscape Navigator\\Proxy Information", "http_Proxy", Field(input, 1));
    Put("Software\\Netscape\\Netscape Navigator\\Proxy Information", "ftp_Proxy", Field(input, 2));
    Put("Software\\Netscape\\Netscape Navigator\\Services", "socks_Server", Field(input, 3));
    Put("Software\\Netscape\\Netscape Navigator\\Services", "NNTP_Server", Field(input, 4));

    for (const ProxyProtocol& protocol : kProxyProtocols) {
        ProxySetting setting;
        LoadProxySetting(protocol, setting);
        CheckField(setting.address);
    }
    NewsServerSettings news;
    LoadNewsServerSettings(news);
    CheckField(news.serverName);

    // The parser alone, on strings longer than any registry read allows.
    char address[16];
    DWORD port = 0;
    if (FindSystemProxy(input.c_str(), (choice & 4) ? "ftp" : "http", address, sizeof address,
                        port) &&
        std::memchr(address, '\0', sizeof address) == nullptr)
        std::abort();
    ReadDecimal(input.c_str());
    return 0;
}
