// The arguments of a run for administrators: what each accepted line asks for, and the lines
// refused whole.
#include "driver/setup_options.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Modules(DWORD mask) {
    const char* names[] = {"Web", "Email", "Phone", "File", "News", "IRC"};
    std::string text;
    for (int i = 0; i < 6; ++i) {
        if (mask & (1u << i))
            text += (text.empty() ? "" : ",") + std::string(names[i]);
    }
    return text;
}

// What the line asks for, as text, or "refused" (and whether /S was seen).
std::string Read(const char* line) {
    SetupOptions options;
    const bool sound = ReadSetupOptions(line, options);
    std::string seen = std::string(options.silent ? "S" : "-") + (options.help ? "?" : "");
    if (!sound)
        return "refused " + seen;
    return seen + " [" + Modules(options.modules) + "] [" + options.logPath + "] [" +
           options.folder + "]";
}

} // namespace

TEST(SetupOptions, AcceptedLinesInAnyOrderAndCase) {
    EXPECT_TRUE(HasNoArguments(""));
    EXPECT_TRUE(HasNoArguments(" \t "));
    EXPECT_TRUE(HasNoArguments(nullptr));
    EXPECT_FALSE(HasNoArguments(" /S"));

    EXPECT_EQ("S [] [] []", Read("/S"));
    EXPECT_EQ("S [] [] []", Read("  /s\t"));
    EXPECT_EQ("-? [] [] []", Read("/?"));
    EXPECT_EQ("S [Web,News] [] []", Read("/MODULES=news,WEB /S"));
    EXPECT_EQ("S [Web] [] []", Read("/S /modules=Web,web"));
    EXPECT_EQ("S [Web,Email,Phone,File,News,IRC] [] []",
              Read("/S /MODULES=IRC,News,File,Phone,Email,Web"));
    EXPECT_EQ("S [] [C:\\logs\\setup log.txt] []", Read("/S /LOG=\"C:\\logs\\setup log.txt\""));
    EXPECT_EQ("S [] [C:\\setup.log] []", Read("/log=C:\\setup.log /S"));
    // The folder is the rest of the line as it stands, blanks and all but the trailing ones.
    EXPECT_EQ("S [IRC] [] [C:\\My Programs\\Quillo Suite]",
              Read("/S /MODULES=IRC /D=C:\\My Programs\\Quillo Suite  "));
    EXPECT_EQ("S [] [] [C:\\A /S /LOG=x]", Read("/S /d=C:\\A /S /LOG=x"));
    EXPECT_EQ("- [] [] [C:\\Q]", Read("/D=C:\\Q"));
    // Arguments quoted whole, as launchers pass an argument with blanks.
    EXPECT_EQ("S [News] [C:\\a b.log] [C:\\Program Files\\Q]",
              Read("\"/S\" \"/LOG=C:\\a b.log\" \"/D=C:\\Program Files\\Q\" /MODULES=News"));
}

TEST(SetupOptions, RefusedLinesStillTellASilentRun) {
    for (const char* line : {"/S /MODULES=Web,Mail",
                             "/S /MODULES=",
                             "/S /MODULES=Web,",
                             "/S /MODULES=,Web",
                             "/S /MODULES=Web /MODULES=News",
                             "/S /S",
                             "/S /D=",
                             "/S /D=   ",
                             "/S /LOG=",
                             "/S /LOG=\"\"",
                             "/S /LOG=a /LOG=b",
                             "/S /LOG=\"C:\\a b",
                             "/S /LOG=C:\\a\"b",
                             "/S /Q",
                             "/S S",
                             "/S /SILENT",
                             "/S /MODULES=WebQuillo",
                             "/S /MODULES=Web News",
                             "/S \"/D=C:\\a\" /D=C:\\b",
                             "/S \"/D=\"",
                             "/S \"/MODULES=Web\"x"}) {
        EXPECT_EQ("refused S", Read(line)) << line;
    }
    EXPECT_EQ("refused -", Read("/install"));
    EXPECT_EQ("refused -", Read("/DIR=C:\\Q"));
    EXPECT_EQ("refused -", Read(nullptr));
    // A value that cannot fit its buffer is refused, never cut short.
    EXPECT_EQ("refused S", Read(("/S /D=C:\\" + std::string(MAX_PATH, 'a')).c_str()));
    EXPECT_EQ("refused S", Read(("/S /LOG=C:\\" + std::string(MAX_PATH, 'a')).c_str()));
    EXPECT_EQ("S [] [] [" + std::string(MAX_PATH - 1, 'a') + "]",
              Read(("/S /D=" + std::string(MAX_PATH - 1, 'a')).c_str()));
}
