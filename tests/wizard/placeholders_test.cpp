// "%s" in the wizard's texts: the suite name or a replacement, never past the buffer.
#include <cstring>
#include <string>

#include "driver/setup_context.h"
#include "tests/support/test_world.h"
#include "wizard/wizard_page.h"

namespace {

class Placeholders : public TestWorld {
  protected:
    // The expansion into `size` bytes of a larger buffer whose other bytes must stay '#'.
    std::string Expand(const char* text, size_t size, const char* replacement = nullptr) {
        char buffer[64];
        std::memset(buffer, '#', sizeof buffer);
        ExpandPlaceholders(text, buffer, size, replacement);
        for (size_t i = size; i < sizeof buffer; ++i)
            EXPECT_EQ('#', buffer[i]) << "written past " << size << " at " << i;
        if (size == 0)
            return std::string(buffer, 1);
        EXPECT_NE(nullptr, std::memchr(buffer, '\0', size)) << "unterminated in " << size;
        return buffer;
    }
    SetupContext context_{"NetQuillo", kProductCatalogue, kCatalogueRowCount};
};

} // namespace

TEST_F(Placeholders, EachMarkBecomesTheSuiteNameOrTheReplacement) {
    EXPECT_EQ("Please register your copy of NetQuillo.",
              Expand("Please register your copy of %s.", 64));
    EXPECT_EQ("&Add NetQuillo links to the desktop",
              Expand("&Add %s to the desktop", 64, "NetQuillo links"));
    EXPECT_EQ("NetQuillo and NetQuillo", Expand("%s and %s", 64));
    EXPECT_EQ("No marks here", Expand("No marks here", 64));
    EXPECT_EQ("50% off, %d stays", Expand("50% off, %d stays", 64));
    EXPECT_EQ("[]", Expand("[%s]", 64, ""));
}

TEST_F(Placeholders, WhatDoesNotFitIsDroppedAndTheResultStaysInsideTheBuffer) {
    // The second replacement would not fit: only what was built before it remains.
    EXPECT_EQ("ab-NetQuillo", Expand("ab-%s-cd-%s-ef", 20));
    // Text after the last mark comes whole or not at all.
    EXPECT_EQ("NetQuillo", Expand("%s and the rest", 20));
    EXPECT_EQ("NetQuillo and the rest", Expand("%s and the rest", 24));
    // One byte beside the zero always stays free: a text of exactly size - 1 is dropped.
    EXPECT_EQ("", Expand("%s", 10));
    EXPECT_EQ("NetQuillo", Expand("%s", 11));
    EXPECT_EQ("", Expand("abcdefgh", 9));
    EXPECT_EQ("", Expand("Please register your copy of %s.", 1));
    // Nothing at all fits in no bytes, not even the zero: the buffer is left alone.
    EXPECT_EQ("#", Expand("Please register your copy of %s.", 0));
    EXPECT_EQ("#", Expand("", 0));
}
