#include <gtest/gtest.h>

#include <string>

#include "wizard/server_address.h"

namespace {

// The system's answer for `name`, or "-" when it names none; the port starts at 7.
std::string Proxy(const char* servers, const char* name, DWORD* portOut = nullptr) {
    char address[64] = "untouched";
    DWORD port = 7;
    bool found = FindSystemProxy(servers, name, address, sizeof address, port);
    if (portOut)
        *portOut = port;
    if (!found) {
        EXPECT_STREQ("untouched", address);
        EXPECT_EQ(7u, port);
        return "-";
    }
    return address;
}

} // namespace

TEST(ReadDecimal, ReadsAsAtoiWithoutOverflow) {
    EXPECT_EQ(8080, ReadDecimal("8080"));
    EXPECT_EQ(21, ReadDecimal(" \t21abc"));
    EXPECT_EQ(-5, ReadDecimal("-5"));
    EXPECT_EQ(5, ReadDecimal("+5"));
    EXPECT_EQ(0, ReadDecimal(""));
    EXPECT_EQ(0, ReadDecimal("port"));
    EXPECT_EQ(0, ReadDecimal("- 5"));
    EXPECT_EQ(2147483647, ReadDecimal("99999999999999999999999"));
    EXPECT_EQ(-2147483647 - 1, ReadDecimal("-99999999999999999999999"));
}

TEST(CutPort, CutsAtTheLastColon) {
    char text[] = "news.example.net:1119";
    DWORD port = 119;
    EXPECT_TRUE(CutPort(text, port));
    EXPECT_STREQ("news.example.net", text);
    EXPECT_EQ(1119u, port);

    char twice[] = "a:b:25";
    EXPECT_TRUE(CutPort(twice, port));
    EXPECT_STREQ("a:b", twice);
    EXPECT_EQ(25u, port);

    char bare[] = "news";
    port = 119;
    EXPECT_FALSE(CutPort(bare, port));
    EXPECT_STREQ("news", bare);
    EXPECT_EQ(119u, port);

    char empty[] = "news:";
    EXPECT_TRUE(CutPort(empty, port));
    EXPECT_EQ(0u, port);
}

TEST(FindSystemProxy, EntriesPerProtocol) {
    DWORD port = 0;
    const char* servers = "http=GateWay.Example.COM:8080;ftp=ftp.example.com:21";
    EXPECT_EQ("gateway.example.com", Proxy(servers, "http", &port));
    EXPECT_EQ(8080u, port);
    EXPECT_EQ("ftp.example.com", Proxy(servers, "ftp", &port));
    EXPECT_EQ(21u, port);
    EXPECT_EQ("-", Proxy(servers, "socks"));
    EXPECT_EQ("socks.example.com", Proxy("HTTP=x:1;SOCKS=Socks.Example.com:1080", "socks", &port));
    EXPECT_EQ(1080u, port);
}

TEST(FindSystemProxy, SingleServerServesHttpOnly) {
    DWORD port = 0;
    EXPECT_EQ("proxy", Proxy("Proxy:3128", "http", &port));
    EXPECT_EQ(3128u, port);
    EXPECT_EQ("-", Proxy("proxy:3128", "ftp"));
    EXPECT_EQ("-", Proxy("proxy:3128", "socks"));
    // A list without an http entry has nothing for http.
    EXPECT_EQ("-", Proxy("ftp=f:21", "http"));
    EXPECT_EQ("-", Proxy("proxy;other", "http"));
}

TEST(FindSystemProxy, SchemeDroppedPortOptional) {
    DWORD port = 0;
    EXPECT_EQ("proxy.example.com", Proxy("http=http://proxy.example.com:8000", "http", &port));
    EXPECT_EQ(8000u, port);
    EXPECT_EQ("bare", Proxy("http=bare", "http", &port));
    EXPECT_EQ(7u, port);
    // Nothing left of the entry is no server at all.
    EXPECT_EQ("-", Proxy("http=:8080;ftp=f", "http"));
    EXPECT_EQ("-", Proxy("http=;ftp=f", "http"));
    EXPECT_EQ("-", Proxy("", "http"));
}

TEST(FindSystemProxy, RefusesWhatDoesNotFit) {
    std::string servers = "http=" + std::string(64, 'a');
    EXPECT_EQ("-", Proxy(servers.c_str(), "http"));
    EXPECT_EQ(std::string(63, 'a'), Proxy(("http=" + std::string(63, 'a')).c_str(), "http"));
}
