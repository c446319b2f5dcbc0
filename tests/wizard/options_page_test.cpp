// The options page as a user sees and changes it: the default folder, the path probe and its
// message, the folder picker, the mailing-list choice and the jump over the news page.
#include "tests/wizard/question_pages_support.h"
#include "wizard/module_page.h"
#include "wizard/news_server_page.h"
#include "wizard/options_page.h"
#include "wizard/proxy_page.h"

using namespace scripted;

namespace {

const char kAccessMessage[] =
    "The given installation path cannot be accessed.  Please ensure that the path is valid and "
    "that you have write permission to the specified directory.";

class OptionsPageTest : public QuestionPages {};

} // namespace

TEST_F(OptionsPageTest, DefaultsAndTheStoredChoices) {
    OptionsPage options(nullptr);
    ProxyPage proxy(nullptr);
    std::string folder = ScratchPath("Outer\\Inner");
    EXPECT_NE(0, Play({&options, &proxy},
                      {Expect::Page(105), Expect::Buttons(PSWIZB_NEXT),
                       Expect::Text(702, "C:\\Program Files\\QuilloSoft\\"),
                       Expect::Text(701, "&Add NetQuillo links to the desktop"),
                       Expect::Checked(701, true), Expect::Checked(700, false), Do::Click(701),
                       Do::Type(702, folder), Do::Next(), Expect::Page(106), Do::Finish()}));
    EXPECT_FALSE(options.WantsDesktopShortcuts());
    char path[MAX_PATH];
    options.GetInstallPath(path, sizeof path);
    EXPECT_EQ(folder, path);
    // Two nested folders that were missing passed the probe and are gone again.
    EXPECT_FALSE(FileExists(ScratchPath("Outer")));
    EXPECT_EQ("0", UpdatesString("subscribelist"));

    OptionsPage again(nullptr);
    ProxyPage lastPage(nullptr);
    EXPECT_NE(0, Play({&again, &lastPage}, {Do::Click(700), Do::Next(), Do::Finish()}));
    EXPECT_TRUE(again.WantsDesktopShortcuts());
    EXPECT_EQ("1", UpdatesString("subscribelist"));
}

TEST_F(OptionsPageTest, PathsThatCannotBeUsedKeepTheUserOnThePage) {
    ASSERT_TRUE(CreateDirectoryA(ScratchPath("Full").c_str(), nullptr));
    ASSERT_TRUE(WriteTestFile(ScratchPath("Full\\test.tmp"), "mine"));
    std::string tooLong = ScratchPath(std::string(232 - ScratchPath("x").size() + 1, 'x'));
    ASSERT_EQ(232u, tooLong.size());
    OptionsPage options(nullptr);
    ProxyPage proxy(nullptr);
    std::vector<Step> steps;
    for (const std::string& path :
         {std::string("QuilloSoft\\Sub"), std::string("C:"), ScratchPath("Full"), tooLong}) {
        for (Step step :
             {Do::Type(702, path), Do::Next(), Expect::Message(kAccessMessage, kWizardTitle),
              Do::Answer(IDOK), Expect::Page(105), Expect::Text(702, path)})
            steps.push_back(step);
    }
    steps.push_back(Do::Cancel());
    steps.push_back(Do::Answer(IDYES));
    EXPECT_EQ(0, Play({&options, &proxy}, steps));
    EXPECT_FALSE(FileExists("QuilloSoft"));
    EXPECT_FALSE(FileExists(tooLong));
    std::string bytes;
    EXPECT_TRUE(ReadTestFile(ScratchPath("Full\\test.tmp"), bytes));
}

TEST_F(OptionsPageTest, BrowseReplacesThePathUnlessCancelled) {
    OptionsPage options(nullptr);
    ProxyPage proxy(nullptr);
    std::string folder = kScratchFolder;
    EXPECT_NE(0, Play({&options, &proxy}, {Do::Click(703), Do::PickFolder(nullptr),
                                           Expect::Text(702, "C:\\Program Files\\QuilloSoft\\"),
                                           Do::Click(703), Do::PickFolder(folder.c_str()),
                                           Expect::Text(702, folder), Do::Next(), Do::Finish()}));
    char path[MAX_PATH];
    options.GetInstallPath(path, sizeof path);
    EXPECT_EQ(folder, path);
}

TEST_F(OptionsPageTest, NewsPageIsSkippedBothWaysWithoutNews) {
    ModulePage modules(nullptr, context_.moduleCount, context_.selected.get());
    OptionsPage options(nullptr);
    NewsServerPage news(nullptr);
    ProxyPage proxy(nullptr);
    EXPECT_NE(
        0, Play({&modules, &options, &news, &proxy}, {Do::Next(),
                                                      Expect::Page(105),
                                                      Do::Next(),
                                                      Expect::Page(107),
                                                      Do::Next(),
                                                      Expect::Page(106),
                                                      Do::Back(),
                                                      Expect::Page(107),
                                                      Do::Back(),
                                                      Do::Back(),
                                                      Expect::Page(103),
                                                      Do::Click(554),
                                                      Do::Next(),
                                                      Expect::Page(105),
                                                      Do::Next(),
                                                      Expect::Page(106),
                                                      Expect::Buttons(PSWIZB_BACK | PSWIZB_FINISH),
                                                      Do::Back(),
                                                      Expect::Page(105),
                                                      Do::Next(),
                                                      Expect::Page(106),
                                                      Do::Finish()}));
}
