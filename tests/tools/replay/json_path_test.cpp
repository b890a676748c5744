// The reader that replay expectations look into state dumps with.
#include "replay/JsonPath.h"

#include <gtest/gtest.h>

#include <string>

namespace bw {
namespace {

TEST(JsonPathReader, ReadsNestedValuesAndRejectsBrokenText) {
    JsonValue root;
    std::string error;
    ASSERT_TRUE(
        ParseJson(R"({"a": [1, {"b": "x\"y\u0041"}], "c": -2.5e1, "d": [[], {}]})", root, error))
        << error;
    ASSERT_NE(FindJsonPath(root, "a[1].b"), nullptr);
    EXPECT_EQ(FindJsonPath(root, "a[1].b")->text, "x\"yA");
    EXPECT_DOUBLE_EQ(FindJsonPath(root, "c")->number, -25);
    EXPECT_EQ(JsonValueText(*FindJsonPath(root, "a")), "[1, {\"b\": \"x\"yA\"}]");
    EXPECT_EQ(FindJsonPath(root, "a[2]"), nullptr);
    EXPECT_EQ(FindJsonPath(root, "c.d"), nullptr);
    bool bad = false;
    EXPECT_EQ(FindJsonPath(root, "a[", &bad), nullptr);
    EXPECT_TRUE(bad);
    for (const char* broken : {"", "{", "[1,]", "{\"a\" 1}", "\"open", "tru", "1 2", "{1: 2}"})
        EXPECT_FALSE(ParseJson(broken, root, error)) << broken;
    EXPECT_FALSE(ParseJson(std::string(100, '['), root, error)) << "nesting is limited";
}

} // namespace
} // namespace bw
