// The news server page as a user sees and changes it.
#include "tests/wizard/question_pages_support.h"
#include "wizard/module_page.h"
#include "wizard/news_server_page.h"
#include "wizard/options_page.h"
#include "wizard/proxy_page.h"

using namespace scripted;

namespace {

const char kBrowserServices[] = "Software\\Netscape\\Netscape Navigator\\Services";

class NewsServerPageTest : public QuestionPages {
  protected:
    bool NewsKeyExists() {
        RegKey key("News");
        return key.Open(Module, nullptr, true);
    }
};

} // namespace

TEST_F(NewsServerPageTest, NothingToImportAndAuthenticationSwitchesTheFields) {
    NewsServerPage news(nullptr);
    EXPECT_NE(
        0, Play({&news}, {Expect::Page(107), Expect::Text(820, ""), Expect::Text(821, "119"),
                          Expect::Checked(822, false), Expect::Enabled(823, false),
                          Expect::Enabled(824, false), Do::Click(822), Expect::Enabled(823, true),
                          Expect::Enabled(824, true), Do::Type(823, "reader"),
                          Do::Type(824, "secret"), Do::Click(822), Expect::Enabled(823, false),
                          Expect::Enabled(824, false), Do::Finish()}));
    RegKey key("News");
    ASSERT_TRUE(key.Open(Module, nullptr, true));
    char text[64];
    bool authentication = true;
    EXPECT_TRUE(key.ReadFlag("ServerAuthorization", authentication));
    EXPECT_FALSE(authentication);
    EXPECT_TRUE(key.ReadString("ServerUserid", text, sizeof text));
    EXPECT_STREQ("reader", text);
    EXPECT_TRUE(key.ReadString("ServerPassword", text, sizeof text));
    EXPECT_STREQ("secret", text);
}

TEST_F(NewsServerPageTest, BrowserServerWithAndWithoutPort) {
    ASSERT_TRUE(PutString(CurrentUser, kBrowserServices, "NNTP_Server", "news.example.com:1119"));
    NewsServerPage withPort(nullptr);
    ASSERT_TRUE(PutString(CurrentUser, kBrowserServices, "NNTP_Server", "plain.example.com"));
    NewsServerPage withoutPort(nullptr);
    EXPECT_EQ(0, Play({&withPort, &withoutPort},
                      {Expect::Text(820, "news.example.com"), Expect::Text(821, "1119"), Do::Next(),
                       Expect::Text(820, "plain.example.com"), Expect::Text(821, "119"),
                       Do::Cancel(), Do::Answer(IDYES)}));
}

TEST_F(NewsServerPageTest, DeselectedAfterAVisitStoresNothing) {
    ModulePage modules(nullptr, context_.moduleCount, context_.selected.get());
    OptionsPage options(nullptr);
    NewsServerPage news(nullptr);
    ProxyPage proxy(nullptr);
    EXPECT_NE(0, Play({&modules, &options, &news, &proxy},
                      {Do::Next(), Do::Next(), Expect::Page(107), Do::Type(820, "news.example.com"),
                       Do::Back(), Do::Back(), Expect::Page(103), Do::Click(554), Do::Next(),
                       Do::Next(), Expect::Page(106), Do::Finish()}));
    EXPECT_FALSE(NewsKeyExists());
}
