// The journal read back: what a cut-off write or a changed byte leaves is never taken for a
// whole frame, and what is not setup's own is refused with nothing done.
#include <cstdlib>
#include <cstring>
#include <string>

#include "driver/catalogue.h"
#include "driver/setup_context.h"
#include "install/prior_state.h"
#include "install/run_journal.h"
#include "tests/install/install_world.h"

namespace {

std::string Text(const PriorState::Buffer& buffer) {
    std::string text(reinterpret_cast<const char*>(buffer.data), buffer.size);
    std::free(buffer.data);
    return text;
}

// A journal of `modules` modules, the first selected in "C:\Q\WebQuillo", with `registry` and
// one frame for each of `records`.
std::string Journal(DWORD modules, const std::string& registry,
                    std::initializer_list<std::string> records) {
    PriorState::Buffer out;
    PriorState::Buffer header;
    const DWORD numbers[2] = {modules, 1};
    header.Add(numbers, sizeof numbers);
    header.AddText("C:\\Q\\WebQuillo");
    header.Add(registry.data(), static_cast<DWORD>(registry.size()));
    AppendJournalTag(out);
    AppendJournalFrame(out, 'H', header.data, header.size);
    std::free(header.data);
    for (const std::string& record : records)
        AppendJournalFrame(out, record[0], record.data() + 1, static_cast<DWORD>(record.size() - 1));
    return Text(out);
}

JournalRead Read(const std::string& bytes, JournalContents& contents) {
    return ReadJournal(reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size()), kCatalogueRowCount, contents);
}

bool Loads(const JournalContents& contents) {
    PriorState prior;
    return prior.Load(contents.registry, contents.registrySize, contents.files.data,
                      contents.files.size);
}

// A literal's bytes, its inner NULs and its last one included.
template <size_t N> std::string Bytes(const char (&text)[N]) {
    return std::string(text, N);
}

const std::string kKey = Bytes("KSoftware\\QuilloSoft\\NetQuillo\\Web");
const std::string kTree = Bytes("T\x04\x01\x00Software\\QuilloSoft\\NetQuillo") + kKey;
const std::string kKept = Bytes("FC:\\Q\\WebQuillo\\WebQuillo.exe\0"
                                "C:\\Q\\WebQuillo\\WebQuillo.exe.nqkeep2");
const std::string kFolder = Bytes("DC:\\Q\\WebQuillo");

} // namespace

TEST(RunJournal, AFrameCutOffOrChangedEndsWhatIsTakenAndStrangersAreRefused) {
    const std::string whole = Journal(kCatalogueRowCount, kTree, {kKept, kFolder, "C"});
    JournalContents contents;
    ASSERT_EQ(JournalRead::Whole, Read(whole, contents));
    EXPECT_TRUE(contents.committed);
    EXPECT_STREQ("C:\\Q\\WebQuillo", contents.installPaths[0]);
    EXPECT_EQ(kKept + kFolder, std::string(reinterpret_cast<const char*>(contents.files.data),
                                           contents.files.size));
    EXPECT_TRUE(Loads(contents));

    // Every cut: within the tag or the first frame nothing had begun; later, only whole frames.
    const size_t headerEnd = whole.size() - (8 + kKept.size()) - (8 + kFolder.size()) - 9;
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        JournalContents part;
        const std::string bytes = whole.substr(0, cut); // what `part` points into
        const JournalRead read = Read(bytes, part);
        ASSERT_EQ(cut < headerEnd ? JournalRead::Unbegun : JournalRead::Whole, read) << cut;
        EXPECT_FALSE(part.committed) << cut;
        EXPECT_TRUE(read != JournalRead::Whole || Loads(part)) << cut;
    }
    // A byte changed in the last record's frame: that frame is not taken.
    std::string changed = whole;
    changed[changed.size() - 1] ^= 0x20;
    JournalContents uncommitted;
    ASSERT_EQ(JournalRead::Whole, Read(changed, uncommitted));
    EXPECT_FALSE(uncommitted.committed);

    // Not setup's: another tag, another catalogue, a kind it never writes, or records that a
    // frame's sum vouches for but that are not as setup writes them.
    JournalContents refused;
    EXPECT_EQ(JournalRead::Refused, Read("MZ" + whole.substr(2), refused));
    EXPECT_EQ(JournalRead::Refused, Read(Journal(kCatalogueRowCount + 1, kTree, {}), refused));
    EXPECT_EQ(JournalRead::Refused, Read(Journal(kCatalogueRowCount, kTree, {"Xx"}), refused));
    const std::string strangers[] = {
        Journal(kCatalogueRowCount, kTree.substr(0, 10), {}),             // a record cut short
        Journal(kCatalogueRowCount, kKey, {}),                            // a key before its tree
        Journal(kCatalogueRowCount, kTree + Bytes("KSoftware"), {}),      // outside it
        Journal(kCatalogueRowCount, kTree,
                {Bytes("FC:\\Q\\a.exe\0C:\\Windows\\notepad.exe")}),      // not a kept name
    };
    for (const std::string& stranger : strangers) {
        JournalContents contents;
        EXPECT_TRUE(Read(stranger, contents) != JournalRead::Whole || !Loads(contents));
    }
}

#ifndef _WIN32
#include "platform/host/emulation.h"

// A journal that another user owns, or a folder in its place, is refused and taken away; the
// install folder it names is left as it is.
TEST_F(InstallWorld, ARepairRefusesAJournalThatIsNotSetupsOwn_HostOnly) {
    const std::string path = JoinedPath(WindowsFolder(), "NetQuilloSetup.nqj");
    ASSERT_TRUE(hostemu::WriteFileBytes("C:\\Q\\WebQuillo\\WebQuillo.exe", "MZ"));
    ASSERT_TRUE(WriteTestFile(path, Journal(kCatalogueRowCount, kTree,
                                            {Bytes("FC:\\Q\\WebQuillo\\WebQuillo.exe\0")})));
    ASSERT_TRUE(hostemu::SetFileOwner(path.c_str(), "S-1-5-21-1-2-3-1001"));
    {
        SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
        EXPECT_EQ(JournalRepair::Refused, RepairCutOffRun(context));
        EXPECT_FALSE(PathExists(path));
        ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
        EXPECT_EQ(JournalRepair::Refused, RepairCutOffRun(context));
        EXPECT_EQ(JournalRepair::None, RepairCutOffRun(context));
    }
    EXPECT_TRUE(PathExists("C:\\Q\\WebQuillo\\WebQuillo.exe"));
}
#endif
