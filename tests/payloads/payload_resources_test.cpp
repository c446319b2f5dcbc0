// The payloads the image carries: every "CUSTOM" resource of the table holds an SZDD container
// that expands to exactly the file the build made, and those files are what their roles need.
#include <cstring>
#include <string>
#include <vector>

#include "payloads/payload_files.h"
#include "tests/support/test_world.h"
#include "tools/szdd/szdd.h"

namespace {

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bytes.clear();
    uint8_t chunk[65536];
    DWORD count = 0;
    bool ok;
    while ((ok = ReadFile(file, chunk, sizeof chunk, &count, nullptr) != FALSE) && count > 0)
        bytes.insert(bytes.end(), chunk, chunk + count);
    CloseHandle(file);
    return ok;
}

bool ResourceBytes(unsigned id, std::vector<uint8_t>& bytes) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), "CUSTOM");
    if (found == nullptr)
        return false;
    HGLOBAL loaded = LoadResource(nullptr, found);
    const uint8_t* data = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    if (data == nullptr)
        return false;
    bytes.assign(data, data + SizeofResource(nullptr, found));
    return true;
}

uint32_t Le32(const std::vector<uint8_t>& bytes, size_t at) {
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (uint32_t{bytes[at + 3]} << 24);
}

class PayloadResources : public TestWorld {};

} // namespace

TEST_F(PayloadResources, EveryResourceExpandsToItsSourceFile) {
    ASSERT_EQ(26u, sizeof kPayloadFiles / sizeof kPayloadFiles[0]);
    for (const PayloadFile& payload : kPayloadFiles) {
        SCOPED_TRACE(payload.name);
        std::vector<uint8_t> container, expanded, source, compressed;
        ASSERT_TRUE(ResourceBytes(payload.id, container));
        szdd::Error error;
        ASSERT_TRUE(szdd::Expand(container.data(), container.size(), expanded, &error))
            << szdd::Describe(error);
        ASSERT_TRUE(ReadWholeFile(std::string(NQ_PAYLOAD_FILES_DIR) + payload.name, source));
        EXPECT_FALSE(source.empty());
        EXPECT_EQ(source, expanded);
        ASSERT_TRUE(ReadWholeFile(std::string(NQ_PAYLOAD_COMPRESSED_DIR) + payload.name +
                                      NQ_PAYLOAD_COMPRESSED_SUFFIX,
                                  compressed));
        EXPECT_EQ(container, compressed);
    }
    // News has no registry patch, and nothing else stands in its place.
    std::vector<uint8_t> none;
    EXPECT_FALSE(ResourceBytes(5004, none));
}

TEST_F(PayloadResources, FilesAreWhatTheirRolesNeed) {
    std::vector<uint8_t> bitmap;
    ASSERT_TRUE(ReadWholeFile(std::string(NQ_PAYLOAD_FILES_DIR) + "Wizard.bmp", bitmap));
    ASSERT_GE(bitmap.size(), 1078u);
    EXPECT_EQ('B', bitmap[0]);
    EXPECT_EQ('M', bitmap[1]);
    EXPECT_EQ(1078u, Le32(bitmap, 10)); // bits offset
    EXPECT_EQ(40u, Le32(bitmap, 14));   // info header size
    EXPECT_EQ(116u, Le32(bitmap, 18));
    EXPECT_EQ(226u, Le32(bitmap, 22));
    EXPECT_EQ(8, bitmap[28]);          // bits a pixel
    EXPECT_EQ(0u, Le32(bitmap, 46));   // colours used: the whole table
    EXPECT_EQ(1078u + 116 * 226, bitmap.size());

    const char* const products[] = {"WebQuillo",  "EmailQuillo", "PhoneQuillo",
                                    "FileQuillo", "NewsQuillo",  "IRCQuillo"};
    for (const char* product : products) {
        SCOPED_TRACE(product);
        std::vector<uint8_t> contents;
        ASSERT_TRUE(ReadWholeFile(std::string(NQ_PAYLOAD_FILES_DIR) + product + ".cnt", contents));
        std::string firstLine(contents.begin(), contents.end());
        firstLine = firstLine.substr(0, firstLine.find("\r\n"));
        EXPECT_EQ(std::string(":Base ") + product + ".hlp", firstLine);

        // The program is a 32-bit GUI program with the icon the document type points at.
        std::string program = std::string(NQ_PAYLOAD_FILES_DIR) + product + ".exe";
        HMODULE image = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, image);
        EXPECT_NE(nullptr, FindResourceA(image, MAKEINTRESOURCEA(10000), RT_GROUP_ICON));
        FreeLibrary(image);
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(ReadWholeFile(program, bytes));
        const uint32_t pe = Le32(bytes, 0x3C);
        ASSERT_LT(pe + 0x60, bytes.size());
        EXPECT_EQ(0, std::memcmp(&bytes[pe], "PE\0\0", 4));
        EXPECT_EQ(0x14C, bytes[pe + 4] | (bytes[pe + 5] << 8));               // i386
        EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, bytes[pe + 0x5C] | (bytes[pe + 0x5D] << 8));
    }

    // The Find-menu library is a DLL with the two entry points the shell calls.
    std::string library = std::string(NQ_PAYLOAD_FILES_DIR) + "NetQuillo.dll";
    std::vector<uint8_t> dll;
    ASSERT_TRUE(ReadWholeFile(library, dll));
    const std::string text(dll.begin(), dll.end());
    EXPECT_NE(std::string::npos, text.find("DllGetClassObject"));
    EXPECT_NE(std::string::npos, text.find("DllCanUnloadNow"));
    const uint32_t pe = Le32(dll, 0x3C);
    EXPECT_TRUE((dll[pe + 0x16] | (dll[pe + 0x17] << 8)) & IMAGE_FILE_DLL);
}
