// The emulation's LZ calls refuse every malformed container with a negative LZ code and never
// read past what the file holds. The system library instead reads a file without the SZDD
// magic as it is, so these cases are host-only.
#include <string>
#include <vector>

#include "platform/host/emulation.h"
#include "tests/support/lz_reader.h"
#include "tests/support/test_world.h"
#include "tools/szdd/szdd.h"

namespace {

class HostLz : public TestWorld {
  protected:
    // Opens `bytes` as a container and reads it through; the open's or the first failing
    // read's code, or the total expanded when all went well.
    INT Expand(const std::vector<uint8_t>& bytes) {
        const std::string path = ScratchPath("payload.sz_");
        hostemu::WriteFileBytes(path.c_str(), std::string(bytes.begin(), bytes.end()));
        std::vector<uint8_t> out;
        return ReadThroughLz(path, out);
    }
};

std::vector<uint8_t> Container(size_t size) {
    std::vector<uint8_t> data(size);
    for (size_t i = 0; i < size; ++i)
        data[i] = static_cast<uint8_t>(i * 7 + i / 13);
    return szdd::Compress(data.data(), data.size());
}

} // namespace

TEST_F(HostLz, MalformedContainersAreRefusedWithLzCodes_HostOnly) {
    std::vector<uint8_t> good = Container(3000);
    EXPECT_EQ(3000, Expand(good));

    std::vector<uint8_t> badMagic = good;
    badMagic[0] = 'X';
    EXPECT_EQ(LZERROR_BADVALUE, Expand(badMagic));
    std::vector<uint8_t> otherMode = good;
    otherMode[8] = 'B';
    EXPECT_EQ(LZERROR_UNKNOWNALG, Expand(otherMode));
    for (size_t cut = 0; cut < szdd::kHeaderSize; ++cut)
        EXPECT_EQ(LZERROR_BADVALUE, Expand(std::vector<uint8_t>(good.begin(), good.begin() + cut)));

    // A stream that stops short of the stated length, or states less than it holds.
    EXPECT_EQ(LZERROR_READ, Expand(std::vector<uint8_t>(good.begin(), good.end() - 5)));
    std::vector<uint8_t> understated = good;
    understated[10] = static_cast<uint8_t>(understated[10] - 100);
    EXPECT_EQ(LZERROR_READ, Expand(understated));
}

TEST_F(HostLz, MissingFilesBadHandlesAndFaults_HostOnly) {
    OFSTRUCT record = {};
    record.cBytes = sizeof record;
    char missing[] = "C:\\NetQuilloTests\\none.sz_";
    EXPECT_EQ(LZERROR_BADINHANDLE, LZOpenFileA(missing, &record, OF_READ));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, record.nErrCode);
    char buffer[16];
    EXPECT_EQ(LZERROR_BADINHANDLE, LZRead(0x400, buffer, sizeof buffer));
    LZClose(0x400);

    hostemu::FailCall("LZRead", ERROR_READ_FAULT, 2);
    EXPECT_EQ(LZERROR_READ, Expand(Container(5000)));
}
