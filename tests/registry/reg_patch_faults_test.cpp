// What the applier does when the registry refuses it: every refusal stops the patch with a
// false answer and keeps what was written before. Only the emulation can refuse on demand.
#include <string>

#include "platform/host/emulation.h"
#include "registry/reg_patch.h"
#include "resources/patch_texts.h"
#include "tests/registry/patch_test_support.h"
#include "tests/support/test_world.h"

namespace {
class RegPatchFaults : public TestWorld {};
} // namespace

TEST_F(RegPatchFaults, ARefusedWriteStopsThePatch_HostOnly) {
    hostemu::FailCall("RegSetValueExA", ERROR_ACCESS_DENIED, 2);
    PatchStop stop;
    EXPECT_FALSE(ApplyBody("[Web]\n\"a\"=number:1\n\"b\"=string:\"x\"\n\"c\"=number:3\n", &stop));
    EXPECT_EQ(4u, stop.line);
    EXPECT_EQ(1u, stop.column);
    EXPECT_TRUE(ReadStored("Web", "a").exists);
    EXPECT_FALSE(ReadStored("Web", "c").exists);
}

TEST_F(RegPatchFaults, ARefusedKeyOrDeletionStopsThePatch_HostOnly) {
    hostemu::FailPath("RegCreateKeyExA",
                      ("HKEY_CURRENT_USER\\" + kSuitePath + "\\Web\\Locked").c_str(),
                      ERROR_ACCESS_DENIED);
    PatchStop stop;
    EXPECT_FALSE(ApplyBody("[Web]\n\"a\"=number:1\n[Web\\Locked]\n\"b\"=number:2\n", &stop));
    EXPECT_EQ(4u, stop.line);
    EXPECT_TRUE(ReadStored("Web", "a").exists);
    hostemu::ClearFaults();
    hostemu::FailCall("RegDeleteValueA", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(ApplyBody("[Web]\n\"a\"=\n"));
    EXPECT_TRUE(ReadStored("Web", "a").exists);
    hostemu::FailCall("RegCreateKeyExA", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(ApplyBody(""));
}

TEST_F(RegPatchFaults, FailingEachCallOfACarriedPatchInTurn_HostOnly) {
    const CarriedPatchText& irc = kCarriedPatchTexts[kCarriedPatchCount - 1];
    RegPatch patch;
    ASSERT_TRUE(patch.Apply(irc.shortName, irc.text));
    for (const char* function : {"RegCreateKeyExA", "RegSetValueExA"}) {
        unsigned calls = hostemu::CallCount(function);
        ASSERT_GT(calls, 0u);
        for (unsigned n = 1; n <= calls; ++n) {
            hostemu::Reset();
            hostemu::FailCall(function, ERROR_ACCESS_DENIED, n);
            PatchStop stop;
            EXPECT_FALSE(patch.Apply(irc.shortName, irc.text, &stop)) << function << " #" << n;
            EXPECT_NE(nullptr, stop.expected);
            EXPECT_EQ(n, hostemu::CallCount(function)); // it stopped at the refused call
        }
    }
}
