// The image carries each patch text as an uncompressed "CUSTOM" resource whose bytes are those
// of its file. Only the Windows build links the compiled resources into the test program.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"
#include "resources/patch_texts.h"

namespace {

// The bytes of resource `id` of type "CUSTOM" in the program's own image; false when absent.
bool ResourceBytes(WORD id, std::string& bytes) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), "CUSTOM");
    if (!found)
        return false;
    HGLOBAL loaded = LoadResource(nullptr, found);
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!data)
        return false;
    bytes.assign(data, SizeofResource(nullptr, found));
    return true;
}

} // namespace

TEST(CarriedPatchResources, EachResourceHoldsItsFile) {
    const WORD ids[] = {1004, 2004, 3004, 4004, 6004};
    for (size_t i = 0; i < kCarriedPatchCount; ++i) {
        const CarriedPatchText& carried = kCarriedPatchTexts[i];
        SCOPED_TRACE(carried.fileName);
        EXPECT_EQ(ids[i], carried.resourceId);
        std::string bytes;
        ASSERT_TRUE(ResourceBytes(carried.resourceId, bytes));
        EXPECT_EQ(std::string(carried.text, carried.size), bytes);
    }
    std::string none;
    EXPECT_FALSE(ResourceBytes(5004, none)); // News carries no patch
}
