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
    // ExpandFile from the container at `container` into a new file at `destination`.
    bool Expand(const std::string& container, const std::string& destination) {
        HANDLE compressed = CreateFileA(container.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (compressed == INVALID_HANDLE_VALUE)
            return false;
        HANDLE expanded = CreateFileA(destination.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
        if (expanded == INVALID_HANDLE_VALUE) {
            CloseHandle(compressed);
            return false;
        }
        bool done = extractor_.ExpandFile(compressed, expanded);
        CloseHandle(expanded);
        return done;
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

// The expansion goes through the handle that wrote the container, so no path limit of the LZ
// open applies to it; and the container file is gone as soon as the expansion is done.
TEST_F(PayloadExtractorTest, AContainerInADeepFolderExpandsAndGoesWithItsHandle) {
    std::string folder = ScratchPath("");
    while (folder.size() < 140)
        folder += "A Deep Temporary Folder\\";
    folder.pop_back();
    ASSERT_TRUE(MakeFolders(folder));
    const std::string source = folder + "\\NQ1A.tmp";
    const std::string plain = WriteContainer(source, 5000);
    const std::string destination = ScratchPath("expanded.cnt");
    HANDLE compressed = CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, compressed);
    HANDLE expanded = CreateFileA(destination.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, expanded);
    EXPECT_TRUE(extractor_.ExpandFile(compressed, expanded));
    CloseHandle(expanded);
    EXPECT_EQ(plain, Contents(destination));
    EXPECT_FALSE(FileExists(source)) << "LZClose closed the container's handle";
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
    EXPECT_TRUE(Expand(container, expanded));
    EXPECT_EQ(plain, Contents(expanded));
}

TEST_F(PayloadExtractorTest, LengthsAtAndAroundTheBlockSizeExpandWhole) {
    const std::string container = ScratchPath("data.sz_");
    const std::string expanded = ScratchPath("data.bin");
    for (size_t size : {0u, 1u, 1023u, 1024u, 1025u, 2048u, 4096u * 3}) {
        SCOPED_TRACE(size);
        const std::string plain = WriteContainer(container, size);
        EXPECT_TRUE(Expand(container, expanded));
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

TEST_F(PayloadExtractorTest, AMissingFolderWritesNothing) {
    const std::set<std::string> tempBefore = FolderNames(TempFolder());
    EXPECT_FALSE(extractor_.ExtractPayload(1000, ScratchPath("no\\such\\out.bin").c_str()));
    EXPECT_TRUE(FolderNames(kScratchFolder).empty());
    EXPECT_EQ(tempBefore, FolderNames(TempFolder()));
}
