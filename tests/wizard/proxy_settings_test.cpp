// Proxy settings proposed from the system's Internet settings, the browser's, or an earlier
// run, and stored for the modules.
#include <string>

#include "driver/setup_context.h"
#include "tests/support/test_world.h"
#include "tests/wizard/machine_value.h"
#include "wizard/proxy_settings.h"

namespace {

const char kInternetSettings[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const char kBrowserProxies[] = "Software\\Netscape\\Netscape Navigator\\Proxy Information";
const char kBrowserServices[] = "Software\\Netscape\\Netscape Navigator\\Services";
const std::string kEnabled("\x01\x00\x00\x00", 4);
const std::string kDisabled("\x00\x00\x00\x00", 4);

class ProxySettings : public TestWorld {
  protected:
    void SetUp() override {
        TestWorld::SetUp();
        enable_.Delete();
        servers_.Delete();
    }

    // HTTP, FTP and SOCKS as a page would propose them.
    void Load() {
        for (int i = 0; i < kProxyProtocolCount; ++i)
            LoadProxySetting(kProxyProtocols[i], settings_[i]);
    }

    void ExpectSetting(int protocol, bool use, const char* address, DWORD port) {
        SCOPED_TRACE(kProxyProtocols[protocol].importName);
        EXPECT_EQ(use, settings_[protocol].use);
        EXPECT_STREQ(address, settings_[protocol].address);
        EXPECT_EQ(port, settings_[protocol].port);
    }

    SetupContext context_{kSuiteName, kProductCatalogue, kCatalogueRowCount};
    MachineValue enable_{HKEY_CURRENT_USER, kInternetSettings, "ProxyEnable"};
    MachineValue servers_{HKEY_CURRENT_USER, kInternetSettings, "ProxyServer"};
    ProxySetting settings_[kProxyProtocolCount];
};

} // namespace

TEST_F(ProxySettings, SystemEntriesPerProtocolThenTheBrowser) {
    ASSERT_TRUE(enable_.SetBinary(kEnabled));
    ASSERT_TRUE(servers_.SetString("http=GateWay.Example.COM:8080;ftp=Files.Example.com:21"));
    ASSERT_TRUE(PutString(CurrentUser, kBrowserProxies, "http_Proxy", "navigator-http"));
    ASSERT_TRUE(PutString(CurrentUser, kBrowserServices, "socks_Server", "Socks.Example.net"));
    ASSERT_TRUE(PutDword(CurrentUser, kBrowserServices, "socks_ServerPort", 1081));
    Load();
    ExpectSetting(0, true, "gateway.example.com", 8080);
    ExpectSetting(1, true, "files.example.com", 21);
    ExpectSetting(2, true, "Socks.Example.net", 1081);
}

TEST_F(ProxySettings, SingleServerIsForHttpOnly) {
    ASSERT_TRUE(enable_.SetBinary(kEnabled));
    ASSERT_TRUE(servers_.SetString("proxy.example.com:3128"));
    Load();
    ExpectSetting(0, true, "proxy.example.com", 3128);
    ExpectSetting(1, false, "", 21);
    ExpectSetting(2, false, "", 1080);
}

TEST_F(ProxySettings, SchemeDroppedAndDisabledProxyKeepsItsAddress) {
    ASSERT_TRUE(enable_.SetBinary(kDisabled));
    ASSERT_TRUE(servers_.SetString("http=plain.example.com;ftp=ftp://files.example.com:2121"));
    Load();
    ExpectSetting(0, false, "plain.example.com", 80);
    ExpectSetting(1, false, "files.example.com", 2121);
}

TEST_F(ProxySettings, EnableOfAnotherTypeFallsThroughToTheBrowser) {
    ASSERT_TRUE(enable_.SetDword(1));
    ASSERT_TRUE(servers_.SetString("http=gateway:8080"));
    ASSERT_TRUE(PutString(CurrentUser, kBrowserProxies, "http_Proxy", "Navigator.Example.com"));
    ASSERT_TRUE(PutDword(CurrentUser, kBrowserProxies, "http_ProxyPort", 8888));
    ASSERT_TRUE(PutString(CurrentUser, kBrowserProxies, "ftp_Proxy", "navigator-ftp"));
    // SOCKS is a service of the browser, not one of its proxies.
    ASSERT_TRUE(PutString(CurrentUser, kBrowserProxies, "socks_Proxy", "wrong-place"));
    Load();
    ExpectSetting(0, true, "Navigator.Example.com", 8888);
    ExpectSetting(1, true, "navigator-ftp", 21);
    ExpectSetting(2, false, "", 1080);
}

TEST_F(ProxySettings, StoredUseValueDecidesPerProtocol) {
    ASSERT_TRUE(enable_.SetBinary(kEnabled));
    ASSERT_TRUE(servers_.SetString("http=imported:1;ftp=imported:2"));
    ASSERT_TRUE(PutDword(Updates, nullptr, "HttpUseProxy", 0));
    ASSERT_TRUE(PutString(Updates, nullptr, "HttpProxyServer", "stored.example.com"));
    Load();
    ExpectSetting(0, false, "stored.example.com", 80);
    ExpectSetting(1, true, "imported", 2);
}

TEST_F(ProxySettings, StoresEverySettingEvenWhenUnused) {
    settings_[0].use = true;
    strcpy(settings_[0].address, "gateway");
    settings_[0].port = 8080;
    settings_[1].port = 21;
    strcpy(settings_[2].address, "kept.example.com");
    settings_[2].port = 1080;
    for (int i = 0; i < kProxyProtocolCount; ++i)
        StoreProxySetting(kProxyProtocols[i], settings_[i]);
    std::string updates = std::string(kSuiteKeyPath) + "\\Updates";
    EXPECT_EQ("\"FtpProxyPort\"=dword:00000015\n"
              "\"FtpProxyServer\"=\"\"\n"
              "\"FtpUseProxy\"=dword:00000000\n"
              "\"HttpProxyPort\"=dword:00001f90\n"
              "\"HttpProxyServer\"=\"gateway\"\n"
              "\"HttpUseProxy\"=dword:00000001\n"
              "\"SocksProxyPort\"=dword:00000438\n"
              "\"SocksProxyServer\"=\"kept.example.com\"\n"
              "\"SocksUseProxy\"=dword:00000000\n",
              SortedValues(updates));
    Load();
    ExpectSetting(2, false, "kept.example.com", 1080);
}
