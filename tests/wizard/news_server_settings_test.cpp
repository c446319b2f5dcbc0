// The news server proposed from the News module's key or the browser, stored only for News.
#include <string>

#include "driver/setup_context.h"
#include "tests/support/test_world.h"
#include "tests/wizard/machine_value.h"
#include "wizard/news_server_settings.h"

namespace {

const char kBrowserServices[] = "Software\\Netscape\\Netscape Navigator\\Services";
const std::string kNewsKey = std::string(kSuiteKeyPath) + "\\News";

class NewsServer : public TestWorld {
  protected:
    SetupContext context_{kSuiteName, kProductCatalogue, kCatalogueRowCount};
    NewsServerSettings settings_;
};

} // namespace

TEST_F(NewsServer, NothingAnywhereGivesTheDefaults) {
    strcpy(settings_.serverName, "left over");
    LoadNewsServerSettings(settings_);
    EXPECT_STREQ("", settings_.serverName);
    EXPECT_EQ(119u, settings_.port);
    EXPECT_FALSE(settings_.requiresAuthentication);
    EXPECT_STREQ("", settings_.userId);
    EXPECT_STREQ("", settings_.password);
}

TEST_F(NewsServer, BrowserNameAndPort) {
    ASSERT_TRUE(PutString(CurrentUser, kBrowserServices, "NNTP_Server", "News.Example.com:1119"));
    LoadNewsServerSettings(settings_);
    EXPECT_STREQ("News.Example.com", settings_.serverName);
    EXPECT_EQ(1119u, settings_.port);

    ASSERT_TRUE(PutString(CurrentUser, kBrowserServices, "NNTP_Server", "news.example.com"));
    LoadNewsServerSettings(settings_);
    EXPECT_STREQ("news.example.com", settings_.serverName);
    EXPECT_EQ(119u, settings_.port);
}

TEST_F(NewsServer, ModuleKeyWinsAndMissingPortIs119) {
    ASSERT_TRUE(PutString(CurrentUser, kBrowserServices, "NNTP_Server", "browser:1119"));
    ASSERT_TRUE(PutString(Module, nullptr, "ServerNameText", "stored.example.com"));
    ASSERT_TRUE(PutDword(Module, nullptr, "ServerAuthorization", 1));
    ASSERT_TRUE(PutString(Module, nullptr, "ServerUserid", "reader"));
    LoadNewsServerSettings(settings_);
    EXPECT_STREQ("stored.example.com", settings_.serverName);
    EXPECT_EQ(119u, settings_.port);
    EXPECT_TRUE(settings_.requiresAuthentication);
    EXPECT_STREQ("reader", settings_.userId);
    EXPECT_STREQ("", settings_.password);
}

TEST_F(NewsServer, StoredOnlyWhileNewsIsSelected) {
    strcpy(settings_.serverName, "news.example.com");
    settings_.port = 1119;
    settings_.requiresAuthentication = true;
    strcpy(settings_.userId, "reader");
    strcpy(settings_.password, "secret");
    context_.selected[4] = 0;
    StoreNewsServerSettings(settings_);
    EXPECT_EQ("REGEDIT4\n\n", RegistryText(HKEY_CURRENT_USER, kSuiteKeyPath));

    context_.selected[4] = 1;
    StoreNewsServerSettings(settings_);
    EXPECT_EQ("\"ServerAuthorization\"=dword:00000001\n"
              "\"ServerNameText\"=\"news.example.com\"\n"
              "\"ServerPassword\"=\"secret\"\n"
              "\"ServerPort\"=dword:0000045f\n"
              "\"ServerUserid\"=\"reader\"\n",
              SortedValues(kNewsKey));
}
