#include "tests/wizard/question_pages_support.h"

#include "wizard/wizard_sheet.h"

const char kWizardTitle[] = "NetQuillo Installation";
const char kInternetSettingsKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

void QuestionPages::SetUp() {
    TestWorld::SetUp();
    proxyEnable_.Delete();
    proxyServer_.Delete();
    programFiles_.SetString("C:\\Program Files");
}

INT_PTR QuestionPages::Play(const std::vector<DialogPage*>& pages,
                            std::vector<scripted::Step> steps) {
    WizardSheet sheet(nullptr, kWizardTitle);
    for (DialogPage* page : pages)
        sheet.AddPage(page);
    scripted::ScriptedUser user(std::move(steps));
    INT_PTR result = user.Play([&sheet] { return sheet.Run(); });
    EXPECT_EQ("", user.Failures());
    if (result != 0) {
        EXPECT_TRUE(sheet.CommitPages());
    }
    return result;
}

std::string UpdatesString(const char* name) {
    RegKey key("Web");
    char text[1024];
    if (!key.Open(Updates, nullptr, true) || !key.ReadString(name, text, sizeof text))
        return "-";
    return text;
}
