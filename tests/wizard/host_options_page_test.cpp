// The free-space warning of the options page, where only the emulation can set a drive's free
// space exactly or offer a share.
#include "platform/host/emulation.h"
#include "tests/wizard/question_pages_support.h"
#include "wizard/module_page.h"
#include "wizard/options_page.h"
#include "wizard/proxy_page.h"

using namespace scripted;

namespace {

const char kSpaceMessage[] =
    "There does not appear to be enough free space on the drive you are attempting to install "
    "on. Do you want continue the installation anyway? (Not recommended)";

class HostOptionsPage : public QuestionPages {
  protected:
    // Three modules chosen: 4,608,000 bytes are needed.
    void SetUp() override {
        QuestionPages::SetUp();
        context_.selected[0] = context_.selected[1] = context_.selected[2] = 0;
    }

    // Leaving the options page for `path` shows the warning or goes straight on.
    void ExpectWarning(const char* path, bool warns) {
        OptionsPage options(nullptr);
        ProxyPage proxy(nullptr);
        std::vector<Step> steps = {Do::Type(702, path), Do::Next()};
        if (warns)
            steps.insert(steps.end(),
                         {Expect::Message(kSpaceMessage, kWizardTitle), Do::Answer(IDYES)});
        steps.insert(steps.end(), {Expect::Page(106), Do::Finish()});
        EXPECT_NE(0, Play({&options, &proxy}, steps)) << path;
    }
};

} // namespace

TEST_F(HostOptionsPage, WarnsBelowTheNeedOfTheChosenModules_HostOnly) {
    hostemu::AddDrive('D', 4607999);
    ExpectWarning("D:\\QuilloSoft", true);
    hostemu::SetFreeSpace("D:\\", 4608000);
    ExpectWarning("D:\\QuilloSoft", false);
    hostemu::AddShare("\\\\server\\share", 0);
    ExpectWarning("\\\\server\\share\\QuilloSoft", false);
    // Would read as 1 MiB if the free space wrapped at 4 GB.
    hostemu::AddDrive('E', (16ull << 30) + (1u << 20));
    ExpectWarning("E:\\QuilloSoft", false);
    hostemu::AddDrive('F', 81799999488ull);
    ExpectWarning("F:\\QuilloSoft", false);
}

TEST_F(HostOptionsPage, YesSuppressesTheWarningUntilThePathChanges_HostOnly) {
    hostemu::AddDrive('D', 1000);
    ASSERT_TRUE(CreateDirectoryA("D:\\Picked", nullptr));
    OptionsPage options(nullptr);
    ProxyPage proxy(nullptr);
    EXPECT_NE(0,
              Play({&options, &proxy},
                   {Do::Type(702, "D:\\QuilloSoft"), Do::Next(),
                    Expect::Message(kSpaceMessage, kWizardTitle), Do::Answer(IDNO),
                    Expect::Page(105), Do::Next(), Expect::Message(kSpaceMessage, kWizardTitle),
                    Do::Answer(IDYES), Expect::Page(106), Do::Back(), Do::Next(), Expect::Page(106),
                    // Editing the path brings the warning back.
                    Do::Back(), Do::Type(702, "D:\\QuilloSoft\\"), Do::Next(),
                    Expect::Message(kSpaceMessage, kWizardTitle), Do::Answer(IDYES),
                    Expect::Page(106), Do::Back(), Do::Next(), Expect::Page(106),
                    // So does a folder picked with Browse.
                    Do::Back(), Do::Click(703), Do::PickFolder("D:\\Picked"),
                    Expect::Text(702, "D:\\Picked"), Do::Next(),
                    Expect::Message(kSpaceMessage, kWizardTitle), Do::Answer(IDYES),
                    Expect::Page(106), Do::Finish()}));
}

TEST_F(HostOptionsPage, ShareRootThatRefusesCreationIsUsable_HostOnly) {
    hostemu::AddShare("\\\\server\\share", 1 << 30);
    // An NTFS-backed share answers ERROR_ACCESS_DENIED for its existing root.
    hostemu::FailPath("CreateDirectoryA", "\\\\server\\share", ERROR_ACCESS_DENIED);
    hostemu::WriteFileBytes("\\\\server\\share\\QuilloSoft\\keep.txt", "x");
    OptionsPage options(nullptr);
    ProxyPage proxy(nullptr);
    EXPECT_NE(0, Play({&options, &proxy}, {Do::Type(702, "\\\\server\\share\\QuilloSoft\\"),
                                           Do::Next(), Expect::Page(106), Do::Finish()}));
}
