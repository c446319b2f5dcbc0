// The proxy page as a user sees and changes it.
#include "tests/wizard/question_pages_support.h"
#include "wizard/proxy_page.h"

using namespace scripted;

namespace {

const char kBrowserServices[] = "Software\\Netscape\\Netscape Navigator\\Services";

class ProxyPageTest : public QuestionPages {};

} // namespace

TEST_F(ProxyPageTest, NothingToImportLeavesEveryProxyOff) {
    ProxyPage proxy(nullptr);
    std::vector<Step> steps = {Expect::Page(106)};
    for (int id : {800, 830, 840})
        steps.push_back(Expect::Checked(id, false));
    for (int id : {801, 802, 831, 832, 841, 842})
        steps.push_back(Expect::Enabled(id, false));
    for (Step step :
         {Expect::Text(801, ""), Expect::Text(802, "80"), Expect::Text(831, ""),
          Expect::Text(832, "21"), Expect::Text(841, ""), Expect::Text(842, "1080"), Do::Finish()})
        steps.push_back(step);
    EXPECT_NE(0, Play({&proxy}, steps));
    EXPECT_EQ("", UpdatesString("HttpProxyServer"));
}

TEST_F(ProxyPageTest, ImportedSettingsShownAndAnUncheckedProxyKeepsItsAddress) {
    ASSERT_TRUE(proxyEnable_.SetBinary(std::string("\x01\x00\x00\x00", 4)));
    ASSERT_TRUE(proxyServer_.SetString("http=GateWay.Example.COM:8080;ftp=ftp://Files:21"));
    ASSERT_TRUE(PutString(CurrentUser, kBrowserServices, "socks_Server", "socks.example.net"));
    ASSERT_TRUE(PutDword(CurrentUser, kBrowserServices, "socks_ServerPort", 1081));
    ProxyPage proxy(nullptr);
    EXPECT_NE(0,
              Play({&proxy},
                   {Expect::Checked(800, true), Expect::Text(801, "gateway.example.com"),
                    Expect::Text(802, "8080"), Expect::Enabled(801, true),
                    Expect::Checked(830, true), Expect::Text(831, "files"), Expect::Text(832, "21"),
                    Expect::Checked(840, true), Expect::Text(841, "socks.example.net"),
                    Expect::Text(842, "1081"), Do::Click(800), Expect::Enabled(801, false),
                    Expect::Enabled(802, false), Do::Click(840), Do::Click(840),
                    Expect::Enabled(841, true), Do::Type(842, "not a number"), Do::Finish()}));
    RegKey key("Web");
    ASSERT_TRUE(key.Open(Updates, nullptr, true));
    bool use = true;
    DWORD port = 0;
    EXPECT_TRUE(key.ReadFlag("HttpUseProxy", use));
    EXPECT_FALSE(use);
    EXPECT_EQ("gateway.example.com", UpdatesString("HttpProxyServer"));
    EXPECT_TRUE(key.ReadDword("HttpProxyPort", port));
    EXPECT_EQ(8080u, port);
    EXPECT_TRUE(key.ReadDword("SocksProxyPort", port));
    EXPECT_EQ(0u, port);
}
