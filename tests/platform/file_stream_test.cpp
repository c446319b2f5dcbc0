// The C runtime's streams on Windows paths, as the program edits "wininit.ini" with them.
#include <string>

#include "platform/file_stream.h"
#include "tests/support/test_world.h"

namespace {

class FileStreamTest : public TestWorld {
  protected:
    const std::string path_ = ScratchPath("stream.ini");
};

} // namespace

TEST_F(FileStreamTest, TextLinesEndInLineFeedsAndPositionsCountFileBytes) {
    ASSERT_TRUE(WriteTestFile(path_, "one\r\ntwo\r\nthree"));
    FileStream* stream = OpenFileStream(path_.c_str(), "r+t");
    ASSERT_NE(nullptr, stream);
    char line[16];
    EXPECT_EQ(0, TellFileStream(stream));
    ASSERT_TRUE(ReadFileStreamLine(stream, line, sizeof line));
    EXPECT_STREQ("one\n", line);
    EXPECT_EQ(5, TellFileStream(stream));
    ASSERT_TRUE(ReadFileStreamLine(stream, line, sizeof line));
    EXPECT_STREQ("two\n", line);
    EXPECT_EQ(10, TellFileStream(stream));
    EXPECT_FALSE(FileStreamAtEnd(stream));
    ASSERT_TRUE(ReadFileStreamLine(stream, line, sizeof line));
    EXPECT_STREQ("three", line);
    EXPECT_TRUE(FileStreamAtEnd(stream));
    EXPECT_FALSE(ReadFileStreamLine(stream, line, sizeof line));
    CloseFileStream(stream);
}

TEST_F(FileStreamTest, WritingInPlaceKeepsTheFilesLength) {
    ASSERT_TRUE(WriteTestFile(path_, "one\r\ntwo\r\nthree"));
    FileStream* stream = OpenFileStream(path_.c_str(), "r+t");
    ASSERT_NE(nullptr, stream);
    char line[16];
    ASSERT_TRUE(ReadFileStreamLine(stream, line, sizeof line));
    ASSERT_TRUE(SeekFileStream(stream, 5));
    EXPECT_TRUE(WriteFileStream(stream, "TWO", 3));
    ASSERT_TRUE(SeekFileStream(stream, 5));
    ASSERT_TRUE(ReadFileStreamLine(stream, line, sizeof line));
    EXPECT_STREQ("TWO\n", line);
    CloseFileStream(stream);
    std::string bytes;
    ASSERT_TRUE(ReadTestFile(path_, bytes));
    EXPECT_EQ("one\r\nTWO\r\nthree", bytes);
}

TEST_F(FileStreamTest, LongLinesComeInPiecesAndBinaryKeepsCarriageReturns) {
    ASSERT_TRUE(WriteTestFile(path_, "abcdef\r\nx"));
    FileStream* stream = OpenFileStream(path_.c_str(), "rt");
    ASSERT_NE(nullptr, stream);
    char line[4];
    ASSERT_TRUE(ReadFileStreamLine(stream, line, sizeof line));
    EXPECT_STREQ("abc", line);
    ASSERT_TRUE(ReadFileStreamLine(stream, line, sizeof line));
    EXPECT_STREQ("def", line);
    ASSERT_TRUE(ReadFileStreamLine(stream, line, sizeof line));
    EXPECT_STREQ("\n", line);
    CloseFileStream(stream);

    stream = OpenFileStream(path_.c_str(), "rb");
    ASSERT_NE(nullptr, stream);
    char bytes[16];
    EXPECT_EQ(9u, ReadFileStream(stream, bytes, sizeof bytes));
    EXPECT_EQ("abcdef\r\nx", std::string(bytes, 9));
    EXPECT_TRUE(FileStreamAtEnd(stream));
    CloseFileStream(stream);
}

TEST_F(FileStreamTest, UpdatingAMissingFileOpensNothingAndCreatesNothing) {
    EXPECT_EQ(nullptr, OpenFileStream(path_.c_str(), "r+t"));
    EXPECT_FALSE(FileExists(path_));
}
