// The platform's LZ expansion calls reading containers from our compressor: whatever Win32 this
// runs on must give back every input byte for byte, in the 1024-byte reads the program makes.
#include <string>
#include <vector>

#include "tests/support/lz_reader.h"
#include "tests/support/test_world.h"
#include "tests/tools/szdd_test_data.h"
#include "tools/szdd/szdd.h"

namespace {

using szddtest::Kind;

class LzApi : public TestWorld {
  protected:
    void SetUp() override {
        TestWorld::SetUp();
        char folder[MAX_PATH];
        ASSERT_NE(0u, GetTempPathA(sizeof folder, folder));
        path_ = std::string(folder) + "nq_lz_api_test.sz_";
    }
    void TearDown() override {
        DeleteFileA(path_.c_str());
        TestWorld::TearDown();
    }

    bool WriteContainer(const std::vector<uint8_t>& bytes) {
        HANDLE file = CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        DWORD written = 0;
        BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        return ok && written == bytes.size();
    }

    // Expands the file as the payload extractor does.
    bool ExpandWithLz(std::vector<uint8_t>& out) { return ReadThroughLz(path_, out) >= 0; }

    std::string path_;
};

} // namespace

TEST_F(LzApi, ExpandsOurContainersByteExactly) {
    EXPECT_EQ(136u, sizeof(OFSTRUCT)); // the record size the program passes

    const Kind kinds[] = {Kind::Incompressible, Kind::Repetitive, Kind::BlankLed, Kind::Text,
                          Kind::WindowRepeat};
    const size_t sizes[] = {0, 1, 1023, 1024, 1025, 4096, 8192, 12288, 65536};
    for (Kind kind : kinds) {
        for (size_t size : sizes) {
            SCOPED_TRACE(std::string(szddtest::KindName(kind)) + " " + std::to_string(size));
            std::vector<uint8_t> data = szddtest::MakeData(kind, size);
            ASSERT_TRUE(WriteContainer(szdd::Compress(data.data(), data.size())));
            std::vector<uint8_t> expanded;
            ASSERT_TRUE(ExpandWithLz(expanded));
            EXPECT_EQ(data, expanded) << "expanded " << expanded.size() << " bytes";
        }
    }
}

// The open goes through OpenFile, whose record holds fewer than 128 characters of path.
TEST_F(LzApi, APathOf128CharactersOrMoreIsRefused) {
    const size_t limit = OFS_MAXPATHNAME;
    std::vector<uint8_t> data = szddtest::MakeData(Kind::Text, 300);
    std::string folder = ScratchPath("");
    const std::string name = "c.sz_";
    folder += std::string(limit - 1 - folder.size() - 1 - name.size(), 'f');
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    for (size_t length : {limit - 1, limit}) {
        SCOPED_TRACE(length);
        path_ = folder + "\\" + std::string(length - folder.size() - 1 - name.size() + 1, 'c') +
                name.substr(1);
        ASSERT_EQ(length, path_.size());
        ASSERT_TRUE(WriteContainer(szdd::Compress(data.data(), data.size())));
        std::vector<uint8_t> expanded;
        EXPECT_EQ(length < limit, ExpandWithLz(expanded));
        DeleteFileA(path_.c_str());
    }
}
