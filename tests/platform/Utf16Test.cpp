// The UTF-16 records other programs read: malformed text and embedded zeros never pass as a
// shorter or different text.
#include <gtest/gtest.h>

#include "platform/Utf16.h"

TEST(Utf16, StrictConversionRefusesWhatAReaderWouldMisread) {
    struct Case {
        std::string utf8;
        bool ok;
    };
    for (const Case& c : {Case{"/tmp/a b/ü €/𝄞.wav", true}, Case{"", true}, Case{std::string("ab\0cd", 5), false},
                          Case{"a\xC0\x80", false} /* overlong zero */, Case{"\xED\xA0\x80", false} /* surrogate */,
                          Case{"\xF4\x90\x80\x80", false} /* past Unicode */, Case{"abc\xE2\x82", false}}) {
        auto units = platform::Utf8ToUtf16(c.utf8);
        EXPECT_EQ(units.has_value(), c.ok) << c.utf8;
        if (units) {
            EXPECT_EQ(platform::Utf16ToUtf8(*units), c.utf8);
        }
    }
    EXPECT_EQ(platform::Utf8ToUtf16("𝄞"), std::u16string(u"\xD834\xDD1E"));
    EXPECT_FALSE(platform::Utf16ToUtf8(u"a\xD834"));
    EXPECT_FALSE(platform::Utf16ToUtf8(std::u16string(u"a\0b", 3)));
}

TEST(Utf16, LenientConversionReplacesEachBadPiece) {
    EXPECT_EQ(platform::Utf8ToUtf16Lenient("a\xFF" "b\xC0\x80"), u"a\uFFFDb\uFFFD\uFFFD");
    EXPECT_EQ(platform::Utf16ToUtf8Lenient(u"a\xDC00" "b\xD834"), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
    EXPECT_EQ(platform::Utf16ToUtf8Lenient(u"\xD834\xDD1E"), "𝄞");
}
