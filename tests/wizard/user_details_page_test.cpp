// The user details page as a user sees and changes it.
#include "tests/wizard/question_pages_support.h"
#include "wizard/user_details_page.h"

using namespace scripted;

namespace {

const char kNtVersion[] = "Software\\Microsoft\\Windows NT\\CurrentVersion";
const char kWin9xVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion";

std::string LocaleCountry() {
    char country[256] = "";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGCOUNTRY, country, sizeof country);
    return country;
}

class UserDetailsPageTest : public QuestionPages {
  protected:
    // Owner and organisation registered where `versionKey` says; the page proposes them.
    void ExpectSystemProposal(const char* versionKey) {
        MachineValue owner(HKEY_LOCAL_MACHINE, versionKey, "RegisteredOwner");
        MachineValue organisation(HKEY_LOCAL_MACHINE, versionKey, "RegisteredOrganization");
        ASSERT_TRUE(owner.SetString("Ada Owner"));
        ASSERT_TRUE(organisation.SetString("Owner Works"));
        UserDetailsPage page(nullptr);
        EXPECT_NE(0, Play({&page}, {Expect::Page(104), Expect::Buttons(PSWIZB_FINISH),
                                    Expect::Text(600, "Please register your copy of NetQuillo."),
                                    Expect::Text(601, "Ada Owner"),
                                    Expect::Text(602, "Owner Works"), Expect::Text(603, ""),
                                    Expect::Text(604, LocaleCountry()), Do::Finish()}));
        EXPECT_EQ("Ada Owner", UpdatesString("username"));
        EXPECT_EQ("", UpdatesString("email"));
        EXPECT_EQ(LocaleCountry(), UpdatesString("country"));
    }
};

} // namespace

TEST_F(UserDetailsPageTest, FreshSystemShowsTheRegisteredOwner) {
    ExpectSystemProposal(kNtVersion);
}

TEST_F(UserDetailsPageTest, Win9xFamilyShowsItsRegisteredOwner) {
    ASSERT_TRUE(UseWin9xFamily()) << "needs the 95 family (Wine in win98 mode)";
    ExpectSystemProposal(kWin9xVersion);
}

TEST_F(UserDetailsPageTest, KeyWithoutUsernameStillShowsTheOwner) {
    ASSERT_TRUE(PutString(Updates, nullptr, "email", "old@example.com"));
    ASSERT_TRUE(PutString(Updates, nullptr, "company", "Old Company"));
    ExpectSystemProposal(kNtVersion);
}

TEST_F(UserDetailsPageTest, SecondRunShowsWhatTheFirstStored) {
    MachineValue owner(HKEY_LOCAL_MACHINE, kNtVersion, "RegisteredOwner");
    ASSERT_TRUE(owner.SetString("Ada Owner"));
    {
        UserDetailsPage first(nullptr);
        EXPECT_NE(0, Play({&first}, {Do::Type(601, "Grace Hopper"), Do::Type(602, "Navy"),
                                     Do::Type(603, ""), Do::Type(604, "Freedonia"), Do::Finish()}));
    }
    UserDetailsPage second(nullptr);
    EXPECT_NE(0, Play({&second},
                      {Expect::Text(601, "Grace Hopper"), Expect::Text(602, "Navy"),
                       Expect::Text(603, ""), Expect::Text(604, "Freedonia"), Do::Type(601, ""),
                       Do::Type(602, ""), Do::Type(604, ""), Do::Finish()}));
    // Clearing every field stores four empty strings.
    for (const char* name : {"username", "email", "company", "country"})
        EXPECT_EQ("", UpdatesString(name)) << name;
}
