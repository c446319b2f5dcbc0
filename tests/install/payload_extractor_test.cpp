// Extracting the image's payloads and expanding SZDD files, on both platforms.
#include <string>
#include <vector>

#include "install/payload_extractor.h"
#include "payloads/payload_files.h"
#include "tests/install/install_test_support.h"
#include "tests/install/install_world.h"
#include "tools/szdd/szdd.h"

namespace {

class PayloadExtractorTest : public TestWorld {
  protected:
    // Writes `size` bytes of a fixed pattern, compressed, and answers the plain bytes.
    std::string WriteContainer(const std::string& path, size_t size) {
        std::string plain(size, '\0');
        for (size_t i = 0; i < size; ++i)
            plain[i] = static_cast<char>((i * 31) ^ (i >> 5));
        std::vector<uint8_t> container =
            szdd::Compress(reinterpret_cast<const uint8_t*>(plain.data()), plain.size());
        EXPECT_TRUE(WriteTestFile(path, std::string(container.begin(), container.end())));
        return plain;
    }
    std::string Contents(const std::string& path) {
        std::string bytes;
        EXPECT_TRUE(ReadTestFile(path, bytes)) << path;
        return bytes;
    }
    PayloadExtractor extractor_;
};

} // namespace

TEST_F(PayloadExtractorTest, EveryPayloadExtractsToTheBytesOfItsSource) {
    const std::set<std::string> tempBefore = FolderNames(TempFolder());
    for (const PayloadFile& payload : kPayloadFiles) {
        SCOPED_TRACE(payload.name);
        const std::string destination = ScratchPath(payload.name);
        ASSERT_TRUE(extractor_.ExtractPayload(static_cast<WORD>(payload.id), destination.c_str()));
        EXPECT_EQ(PayloadSource(payload.name), Contents(destination));
    }
    // No temporary file outlives its extraction.
    EXPECT_EQ(tempBefore, FolderNames(TempFolder()));
}

// The LZ open takes fewer than 128 characters; a deep temporary folder gives longer paths.
TEST_F(PayloadExtractorTest, AContainerInADeepFolderExpandsByItsShortName) {
    std::string folder = ScratchPath("");
    while (folder.size() < 140)
        folder += "A Deep Temporary Folder\\";
    folder.pop_back();
    ASSERT_TRUE(MakeFolders(folder));
    const std::string source = folder + "\\NQ1A.tmp";
    const std::string plain = WriteContainer(source, 5000);
    const std::string destination = ScratchPath("expanded.cnt");
    ASSERT_TRUE(extractor_.ExpandFile(source.c_str(), destination.c_str()));
    EXPECT_EQ(plain, Contents(destination));
}

TEST_F(PayloadExtractorTest, AnIdNotInTheImageCreatesNoFileAnywhere) {
    const std::set<std::string> tempBefore = FolderNames(TempFolder());
    const std::string destination = ScratchPath("NewsQuillo.reg");
    EXPECT_FALSE(extractor_.ExtractPayload(5004, destination.c_str()));
    EXPECT_FALSE(FileExists(destination));
    EXPECT_TRUE(FolderNames(kScratchFolder).empty());
    EXPECT_EQ(tempBefore, FolderNames(TempFolder()));
}

TEST_F(PayloadExtractorTest, ReinstallingOverEarlierFilesReplacesThem) {
    // CREATE_ALWAYS over an existing file leaves ERROR_ALREADY_EXISTS behind on success; the
    // replacement must still count as done.
    const std::string destination = ScratchPath("WebQuillo.exe");
    ASSERT_TRUE(WriteTestFile(destination, std::string(300000, 'x')));
    ASSERT_TRUE(extractor_.ExtractPayload(1000, destination.c_str()));
    EXPECT_EQ(PayloadSource("WebQuillo.exe"), Contents(destination));
    ASSERT_TRUE(extractor_.ExtractPayload(1000, destination.c_str()));
    EXPECT_EQ(PayloadSource("WebQuillo.exe"), Contents(destination));

    const std::string container = ScratchPath("data.sz_");
    const std::string plain = WriteContainer(container, 5000);
    const std::string expanded = ScratchPath("data.bin");
    ASSERT_TRUE(WriteTestFile(expanded, "earlier"));
    EXPECT_TRUE(extractor_.ExpandFile(container.c_str(), expanded.c_str()));
    EXPECT_EQ(plain, Contents(expanded));
}

TEST_F(PayloadExtractorTest, LengthsAtAndAroundTheBlockSizeExpandWhole) {
    const std::string container = ScratchPath("data.sz_");
    const std::string expanded = ScratchPath("data.bin");
    for (size_t size : {0u, 1u, 1023u, 1024u, 1025u, 2048u, 4096u * 3}) {
        SCOPED_TRACE(size);
        const std::string plain = WriteContainer(container, size);
        EXPECT_TRUE(extractor_.ExpandFile(container.c_str(), expanded.c_str()));
        EXPECT_EQ(plain, Contents(expanded));
    }
}

TEST_F(PayloadExtractorTest, ADestinationHeldOpenFailsAndKeepsTheEarlierFile) {
    const std::set<std::string> tempBefore = FolderNames(TempFolder());
    const std::string destination = ScratchPath("WebQuillo.exe");
    ASSERT_TRUE(WriteTestFile(destination, "the running program"));
    HANDLE running = CreateFileA(destination.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, running);
    EXPECT_FALSE(extractor_.ExtractPayload(1000, destination.c_str()));
    CloseHandle(running);
    EXPECT_EQ("the running program", Contents(destination));
    EXPECT_EQ(tempBefore, FolderNames(TempFolder()));
}

TEST_F(PayloadExtractorTest, AMissingSourceOrFolderWritesNothing) {
    const std::string destination = ScratchPath("out.bin");
    EXPECT_FALSE(extractor_.ExpandFile(ScratchPath("missing.sz_").c_str(), destination.c_str()));
    EXPECT_FALSE(FileExists(destination));
    const std::string container = ScratchPath("data.sz_");
    WriteContainer(container, 100);
    EXPECT_FALSE(
        extractor_.ExpandFile(container.c_str(), ScratchPath("no\\such\\out.bin").c_str()));
    EXPECT_EQ(std::set<std::string>{"data.sz_"}, FolderNames(kScratchFolder));
}
