#include "platform/text/Cp1251.h"

#include <gtest/gtest.h>

#include <iconv.h>

using namespace platform::text;

namespace {

// The C library's own converter, an independent opinion on the code page.
std::string iconvToUtf8(unsigned char byte) {
    iconv_t cd = iconv_open("UTF-8", "CP1251");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return "?unavailable";
    }
    char in[1] = {static_cast<char>(byte)};
    char out[8] = {};
    char* inPtr = in;
    char* outPtr = out;
    size_t inLeft = 1;
    size_t outLeft = sizeof out;
    const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1)) {
        return "?undefined";
    }
    return std::string(out, outPtr);
}

} // namespace

TEST(Cp1251, EveryByteAgreesWithTheSystemConverter) {
    if (iconvToUtf8('A') == "?unavailable") {
        GTEST_SKIP() << "iconv has no CP1251";
    }
    for (int b = 0; b < 256; ++b) {
        if (b == 0x98) {
            continue;
        }
        const std::string ours = cp1251ToUtf8(std::string(1, static_cast<char>(b)));
        EXPECT_EQ(ours, iconvToUtf8(static_cast<unsigned char>(b))) << "byte " << b;
    }
}

TEST(Cp1251, AllDefinedBytesRoundTrip) {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        if (b != 0x98) {
            all.push_back(static_cast<char>(b));
        }
    }
    bool lossless = false;
    EXPECT_EQ(utf8ToCp1251(cp1251ToUtf8(all), &lossless), all);
    EXPECT_TRUE(lossless);
}

TEST(Cp1251, CyrillicAndSymbols) {
    EXPECT_EQ(cp1251ToUtf8("\xCF\xF0\xE8\xE1\xEE\xF0"), "Прибор");
    EXPECT_EQ(utf8ToCp1251("Ёё°µ№"), "\xA8\xB8\xB0\xB5\xB9");
}

TEST(Cp1251, UnmappableAndMalformedInputBecomesQuestionMarks) {
    bool lossless = true;
    EXPECT_EQ(utf8ToCp1251("a€b", &lossless), "a\x88"
                                              "b");
    EXPECT_TRUE(lossless);
    EXPECT_EQ(utf8ToCp1251("日本", &lossless), "??");
    EXPECT_FALSE(lossless);
    EXPECT_EQ(utf8ToCp1251("x\xE2\x82", &lossless), "x??");
    EXPECT_FALSE(lossless);
    EXPECT_EQ(utf8ToCp1251("\xC0\x80", &lossless), "?"); // overlong NUL
    EXPECT_EQ(cp1251ToUtf8("\x98"), "\xEF\xBF\xBD");
    EXPECT_FALSE(isValidCp1251("ok\x98"));
    EXPECT_TRUE(isValidCp1251("ok\xFF"));
}
