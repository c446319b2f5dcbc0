// Setup's check of its own file, on the built and signed image (the product under Wine; on the
// host a stand-in linked from the same resources, stamped and signed by the same steps): any
// changed byte, in any section or carried payload, and any cut is found; what signing changes
// is not.
#include <cstring>
#include <string>

#include "driver/image_check.h"
#include "payloads/payload_files.h"
#include "tests/support/test_world.h"

namespace {

DWORD Read32(const std::string& bytes, size_t at) {
    DWORD value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

class ImageCheck : public TestWorld {
  protected:
    void SetUp() override {
        TestWorld::SetUp();
        ASSERT_TRUE(ReadBuildFile(NQ_CHECKED_IMAGE, image_)) << NQ_CHECKED_IMAGE;
        ASSERT_GT(image_.size(), 4096u);
    }
    // Whether the check passes `bytes` written as a file.
    bool Passes(const std::string& bytes) {
        EXPECT_TRUE(WriteTestFile(path_, bytes));
        return CheckImageFile(path_.c_str());
    }
    bool PassesWithByteChanged(size_t at) {
        std::string changed = image_;
        changed[at] = static_cast<char>(changed[at] ^ 0x01);
        return Passes(changed);
    }

    std::string image_;
    const std::string path_ = ScratchPath("NetQuilloSetup.exe");
};

} // namespace

TEST_F(ImageCheck, AnyChangedOrMissingByteIsFoundButSigningIsNot) {
    EXPECT_TRUE(Passes(image_)) << "the signed image as built";
    const size_t pe = Read32(image_, 0x3C);
    const size_t stampedLength = Read32(image_, 0x28 + 4);
    ASSERT_LT(stampedLength, image_.size()) << "a certificate follows the stamped bytes";

    // The headers, and one byte in the middle of every section.
    EXPECT_FALSE(PassesWithByteChanged(0x80)) << "the DOS stub";
    EXPECT_FALSE(PassesWithByteChanged(pe + 8)) << "the time stamp";
    EXPECT_FALSE(PassesWithByteChanged(0x28 + 8)) << "the stored sum itself";
    const size_t sections = static_cast<unsigned char>(image_[pe + 6]);
    const size_t table = pe + 24 + (Read32(image_, pe + 20) & 0xFFFF);
    ASSERT_GE(sections, 3u);
    for (size_t i = 0; i < sections; ++i) {
        const size_t header = table + 40 * i;
        const size_t rawSize = Read32(image_, header + 16);
        const size_t rawStart = Read32(image_, header + 20);
        if (rawSize != 0) {
            EXPECT_FALSE(PassesWithByteChanged(rawStart + rawSize / 2))
                << "section " << image_.substr(header, 8).c_str();
        }
    }
    // Each payload the image carries, found by its compressed bytes.
    for (const PayloadFile& payload : kPayloadFiles) {
        std::string compressed;
        ASSERT_TRUE(ReadBuildFile(std::string(NQ_PAYLOAD_COMPRESSED_DIR) + payload.name +
                                      NQ_PAYLOAD_COMPRESSED_SUFFIX,
                                  compressed));
        const size_t at = image_.find(compressed);
        ASSERT_NE(std::string::npos, at) << payload.name;
        EXPECT_FALSE(PassesWithByteChanged(at + compressed.size() / 2)) << payload.name;
    }
    // Cut short anywhere, down to nothing at all.
    for (size_t length : {size_t(0), size_t(1), size_t(0x3F), pe + 30, size_t(4096),
                          stampedLength / 2, stampedLength - 1})
        EXPECT_FALSE(Passes(image_.substr(0, length))) << length << " bytes";
    EXPECT_FALSE(Passes("MZ but nothing else")) << "no headers";

    // What signing changes: the header's CheckSum, the certificate table's entry and the
    // certificate itself. Whether the signature holds is for Windows to judge.
    const size_t optional = pe + 24;
    const bool wide = Read32(image_, optional) % 0x10000 == 0x20B;
    EXPECT_TRUE(PassesWithByteChanged(optional + 64)) << "the CheckSum";
    EXPECT_TRUE(PassesWithByteChanged(optional + (wide ? 112 : 96) + 4 * 8 + 5))
        << "the certificate table entry";
    EXPECT_TRUE(PassesWithByteChanged(stampedLength + 100)) << "the certificate";
    std::string unstamped = image_;
    unstamped[0x28] = 0;
    EXPECT_FALSE(Passes(unstamped)) << "an image the build never stamped";
}
