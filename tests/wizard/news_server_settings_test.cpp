// The news server proposed from the News module's key or the browser, stored only for News.
#include <string>

#include "driver/setup_context.h"
#include "tests/support/test_world.h"
#include "tests/wizard/machine_value.h"
#include "wizard/news_server_settings.h"

namespace {

const char kBrowserServices[] = "Software\\Netscape\\Netscape Navigator\\Services";

class NewsServer : public TestWorld {
  protected:
    SetupContext context_{kSuiteName, kProductCatalogue, kCatalogueRowCount};
    NewsServerSettings settings_;
};

} // namespace

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
