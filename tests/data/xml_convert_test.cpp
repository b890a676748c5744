#include "data/data_test_util.h"

#include "data/Xml.h"
#include "data/XmlConvert.h"

#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>
#include <iostream>
#include <string>

namespace bw {
namespace {

TEST(XmlConvert, TextToIntDef) {
    struct Case {
        const char* text;
        int32_t want;
    };
    const Case cases[] = {
        {"42", 42},
        {"-17", -17},
        {"+5", 5},
        {"  12", 12},
        {"\t7", 7},
        {"0", 0},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"$10", 16},
        {"$ff", 255},
        {"x1A", 26},
        {"X1a", 26},
        {"0x10", 16},
        {"0XFF", 255},
        {"$FFFFFFFF", -1},
        {"$80000000", INT32_MIN},
        {"$000000001", 1}, // leading zeros are not significant
        {"-$10", -16},
        {"0010", 10},
    };
    for (const auto& c : cases) EXPECT_EQ(TextToIntDef(c.text, -99), c.want) << c.text;

    const char* bad[] = {
        "",  " ",  "12 ",        "1 2", "abc", "12a", "2147483648", "-2147483649",
        "$", "0x", "$123456789", "1.5", "--1", "+",   "$G",         "99999999999999999999999"};
    for (const char* b : bad) EXPECT_EQ(TextToIntDef(b, -99), -99) << b;
    EXPECT_EQ(TextToInt(""), 0);
    EXPECT_EQ(TextToInt("oops"), 0);
    TXMLNode n("n");
    EXPECT_EQ(TextToInt(n.GetFieldValue("missing")), 0);
}

TEST(XmlConvert, TextToBoolAndTextIsTrue) {
    for (const char* t : {"yes", "YES", "Yes", "true", "TRUE", "tRuE"}) {
        EXPECT_TRUE(TextToBool(t, false)) << t;
        EXPECT_TRUE(TextIsTrue(t, false)) << t;
    }
    for (const char* t : {"no", "NO", "false", "False"}) EXPECT_FALSE(TextToBool(t, true)) << t;
    for (const char* t : {"1", "0", "", " yes", "yes ", "y", "on"}) {
        EXPECT_TRUE(TextToBool(t, true)) << t;
        EXPECT_FALSE(TextToBool(t, false)) << t;
        EXPECT_FALSE(TextToBool(t)) << t;
        EXPECT_FALSE(TextIsTrue(t, false)) << t;
    }
    EXPECT_TRUE(TextIsTrue("whatever", true));
}

// Switches LC_NUMERIC to a locale with a decimal comma: an installed one, or one compiled
// into a temporary folder with localedef. False when neither works.
bool UseDecimalCommaLocale(const test::TempDir& dir) {
    for (const char* loc : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"})
        if (std::setlocale(LC_NUMERIC, loc)) return true;
    const std::string cmd =
        "localedef -i de_DE -f UTF-8 '" + dir.File("de_DE.UTF-8") + "' >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) return false;
    ::setenv("LOCPATH", dir.Path().c_str(), 1);
    const bool ok = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    ::unsetenv("LOCPATH");
    return ok;
}

TEST(XmlConvert, TextToFloatIgnoresTheLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    test::TempDir dir;
    const bool comma = UseDecimalCommaLocale(dir);
    if (comma) {
        EXPECT_STREQ(std::localeconv()->decimal_point, ",");
    } else {
        std::cerr << "note: no decimal-comma locale available; checked in the C locale only\n";
    }

    struct Case {
        const char* text;
        float want;
    };
    const Case cases[] = {
        {"1.5", 1.5f},      {"-0.25", -0.25f}, {"+3", 3.0f},     {" 2.5 ", 2.5f},
        {".5", 0.5f},       {"5.", 5.0f},      {"1e3", 1000.0f}, {"2.5E-1", 0.25f},
        {"-1e+2", -100.0f}, {"0.1", 0.1f},     {"1e-50", 0.0f},
    };
    for (const auto& c : cases) EXPECT_EQ(TextToFloatDef(c.text, -7.0f), c.want) << c.text;
    const char* bad[] = {"",    "1,5",  "abc", "1.5x", "1e",  "e3",  "inf",  "nan",
                         "0x1", "1e39", ".",   "--1",  "1 2", "+-1", "1.2.3"};
    for (const char* b : bad) EXPECT_EQ(TextToFloatDef(b, -7.0f), -7.0f) << b;
    EXPECT_EQ(TextToFloat("nope"), 0.0f);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(XmlConvert, ReadPointAndBlendNames) {
    TXMLNode n("pos");
    n.AddField("x", "12.5");
    n.AddField("y", "bad");
    EXPECT_EQ(ReadPoint(&n, {1, 2}), (TPoint2{12.5f, 2.0f}));
    EXPECT_EQ(ReadPoint(nullptr, {3, 4}), (TPoint2{3, 4}));
    EXPECT_EQ(ReadPoint(nullptr), (TPoint2{0, 0}));

    EXPECT_EQ(BlendNameToCode("fxuShadow"), 2);
    EXPECT_EQ(BlendNameToCode("FXUADD"), 3);
    EXPECT_EQ(BlendNameToCode("fxuMultiply"), 4);
    EXPECT_EQ(BlendNameToCode("fxuBlend"), 1);
    EXPECT_EQ(BlendNameToCode(""), 1);
    EXPECT_EQ(BlendCodeToName(1), "fxuBlend");
    EXPECT_EQ(BlendCodeToName(2), "fxuShadow");
    EXPECT_EQ(BlendCodeToName(3), "fxuAdd");
    EXPECT_EQ(BlendCodeToName(4), "fxuMultiply");
    EXPECT_EQ(BlendCodeToName(0), "fxuNoBlend");
    EXPECT_EQ(BlendCodeToName(5), "fxuNoBlend");
    for (int code = 1; code <= 4; ++code) EXPECT_EQ(BlendNameToCode(BlendCodeToName(code)), code);
}

} // namespace
} // namespace bw
