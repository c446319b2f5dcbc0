// The user's details proposed from an earlier run or from the system, and stored.
#include <string>

#include "driver/setup_context.h"
#include "tests/support/test_world.h"
#include "tests/wizard/machine_value.h"
#include "wizard/user_details.h"

namespace {

const char kNtVersion[] = "Software\\Microsoft\\Windows NT\\CurrentVersion";
const char kWin9xVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion";
const std::string kUpdatesKey = std::string(kSuiteKeyPath) + "\\Updates";

std::string LocaleCountry() {
    char country[256] = "";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGCOUNTRY, country, sizeof country);
    return country;
}

class UserDetailsTest : public TestWorld {
  protected:
    // The registered owner where the running family of Windows keeps it.
    void RegisterOwner(const char* versionKey) {
        owner_.reset(new MachineValue(HKEY_LOCAL_MACHINE, versionKey, "RegisteredOwner"));
        organisation_.reset(
            new MachineValue(HKEY_LOCAL_MACHINE, versionKey, "RegisteredOrganization"));
        ASSERT_TRUE(owner_->SetString("Ada Owner"));
        ASSERT_TRUE(organisation_->SetString("Owner Works"));
    }

    void ExpectSystemDefaults() {
        LoadUserDetails(details_);
        EXPECT_STREQ("Ada Owner", details_.fullName);
        EXPECT_STREQ("Owner Works", details_.company);
        EXPECT_STREQ("", details_.email);
        EXPECT_NE("", LocaleCountry());
        EXPECT_EQ(LocaleCountry(), details_.country);
    }

    SetupContext context_{kSuiteName, kProductCatalogue, kCatalogueRowCount};
    std::unique_ptr<MachineValue> owner_;
    std::unique_ptr<MachineValue> organisation_;
    UserDetails details_;
};

} // namespace

TEST_F(UserDetailsTest, FreshSystemProposesTheRegisteredOwner) {
    RegisterOwner(kNtVersion);
    ExpectSystemDefaults();
}

TEST_F(UserDetailsTest, Win9xFamilyReadsItsOwnVersionKey) {
    ASSERT_TRUE(UseWin9xFamily()) << "needs the 95 family (Wine in win98 mode)";
    RegisterOwner(kWin9xVersion);
    ExpectSystemDefaults();
}

TEST_F(UserDetailsTest, StoredDetailsWinOverTheOwner) {
    RegisterOwner(kNtVersion);
    ASSERT_TRUE(PutString(Updates, nullptr, "username", "Stored Name"));
    ASSERT_TRUE(PutString(Updates, nullptr, "email", ""));
    ASSERT_TRUE(PutString(Updates, nullptr, "company", "Stored Company"));
    ASSERT_TRUE(PutString(Updates, nullptr, "country", "Stored Country"));
    LoadUserDetails(details_);
    EXPECT_STREQ("Stored Name", details_.fullName);
    EXPECT_STREQ("", details_.email);
    EXPECT_STREQ("Stored Company", details_.company);
    EXPECT_STREQ("Stored Country", details_.country);
}

TEST_F(UserDetailsTest, WithoutStoredNameTheSystemDecides) {
    RegisterOwner(kNtVersion);
    ASSERT_TRUE(PutString(Updates, nullptr, "email", "someone@example.com"));
    ASSERT_TRUE(PutString(Updates, nullptr, "company", "Stored Company"));
    ASSERT_TRUE(PutString(Updates, nullptr, "country", "Stored Country"));
    ExpectSystemDefaults();
}

TEST_F(UserDetailsTest, StoresAllFourEvenWhenEmpty) {
    StoreUserDetails(details_);
    EXPECT_EQ("\"company\"=\"\"\n"
              "\"country\"=\"\"\n"
              "\"email\"=\"\"\n"
              "\"username\"=\"\"\n",
              SortedValues(kUpdatesKey));
}
