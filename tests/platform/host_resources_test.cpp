// The emulation's readers of compiled resources and dialog templates, on inputs Windows never
// shows a program: every malformed image is refused whole. Host-only.
#include <string>
#include <vector>

#include "platform/host/dialog_template.h"
#include "platform/host/resource_file.h"
#include "tests/support/test_world.h"

namespace {

class HostResources : public TestWorld {};

void Put16(std::vector<BYTE>& out, unsigned value) {
    out.push_back(static_cast<BYTE>(value));
    out.push_back(static_cast<BYTE>(value >> 8));
}

void Put32(std::vector<BYTE>& out, unsigned value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// One entry with a numbered type and a string name, as windres writes it.
std::vector<BYTE> Entry(unsigned type, const std::string& name, const std::string& data) {
    std::vector<BYTE> header;
    Put16(header, 0xFFFF);
    Put16(header, type);
    for (char c : name)
        Put16(header, static_cast<unsigned char>(c));
    Put16(header, 0);
    while (header.size() % 4)
        header.push_back(0);
    Put32(header, 0);      // data version
    Put16(header, 0x30);   // memory flags
    Put16(header, 0x0409); // language
    Put32(header, 0);
    Put32(header, 0);
    std::vector<BYTE> entry;
    Put32(entry, static_cast<unsigned>(data.size()));
    Put32(entry, static_cast<unsigned>(header.size() + 8));
    entry.insert(entry.end(), header.begin(), header.end());
    entry.insert(entry.end(), data.begin(), data.end());
    while (entry.size() % 4)
        entry.push_back(0);
    return entry;
}

} // namespace

TEST_F(HostResources, ReadsEntriesAndRefusesAnyMalformedImage_HostOnly) {
    // The leading empty entry only marks the file as 32-bit resources.
    std::vector<BYTE> image = Entry(0, "", "");
    std::vector<BYTE> first = Entry(10, "payload", "abcde");
    image.insert(image.end(), first.begin(), first.end());
    std::vector<hostemu::ResourceEntry> entries;
    ASSERT_TRUE(hostemu::ParseResourceFile(image.data(), image.size(), entries));
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(10, entries[0].type.number);
    EXPECT_FALSE(entries[0].name.isNumber);
    EXPECT_EQ("PAYLOAD", entries[0].name.text);
    EXPECT_EQ(std::string("abcde"),
              std::string(reinterpret_cast<const char*>(entries[0].data), entries[0].size));
    EXPECT_EQ(0x0409, entries[0].language);

    // Cut anywhere before its data ends, an entry is refused and nothing is kept; only the
    // padding after the data may be missing.
    size_t dataEnd = first.size() - 3;
    for (size_t cut = 1; cut < dataEnd; ++cut) {
        std::vector<BYTE> truncated(first.begin(), first.begin() + cut);
        EXPECT_FALSE(hostemu::ParseResourceFile(truncated.data(), truncated.size(), entries))
            << cut;
        EXPECT_TRUE(entries.empty());
    }
    // A data size that runs past the end.
    std::vector<BYTE> overlong = first;
    overlong[0] = 0xF0;
    EXPECT_FALSE(hostemu::ParseResourceFile(overlong.data(), overlong.size(), entries));
    // A name without its terminating zero inside the header.
    std::vector<BYTE> unterminated = Entry(10, "x", "");
    unterminated[4] = 12;
    EXPECT_FALSE(hostemu::ParseResourceFile(unterminated.data(), unterminated.size(), entries));
}

TEST_F(HostResources, DialogTemplatesAreReadOrRefusedWhole_HostOnly) {
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(130), RT_DIALOG);
    ASSERT_NE(nullptr, resource);
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, resource)));
    DWORD size = SizeofResource(nullptr, resource);
    hostemu::DialogTemplate dialog;
    ASSERT_TRUE(hostemu::ParseDialogTemplate(data, size, dialog));
    EXPECT_EQ("Installing...", dialog.caption);
    EXPECT_EQ(8, dialog.pointSize);
    EXPECT_EQ("MS Sans Serif", dialog.typeface);
    EXPECT_EQ(144, dialog.cx);
    EXPECT_EQ(58, dialog.cy);
    ASSERT_EQ(2u, dialog.items.size());
    EXPECT_EQ(901, dialog.items[0].id);
    EXPECT_EQ("Static", dialog.items[0].className);
    EXPECT_EQ(900, dialog.items[1].id);
    // The resource compiler stores a class name in capitals.
    EXPECT_EQ("MSCTLS_PROGRESS32", dialog.items[1].className);
    EXPECT_EQ(static_cast<DWORD>(WS_BORDER), dialog.items[1].style & WS_BORDER);
    EXPECT_EQ(4, dialog.items[1].x);
    EXPECT_EQ(34, dialog.items[1].y);

    // Every shorter prefix is refused.
    std::vector<BYTE> copy(data, data + size);
    for (DWORD cut = 0; cut + 2 < size; ++cut) {
        std::vector<BYTE> prefix(copy.begin(), copy.begin() + cut);
        EXPECT_FALSE(hostemu::ParseDialogTemplate(prefix.data(), prefix.size(), dialog)) << cut;
    }
}
