// A small JSON reader for the replay harness's expectations: the state dump is read back into
// a tree, and a dotted path such as "player.Score" or "buttons[0].name" picks one value.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace bw {

struct JsonMember;

struct JsonValue {
    enum class Type { Null, Bool, Number, String, Array, Object };
    Type type = Type::Null;
    bool boolean = false;
    double number = 0;
    std::string text; // a string's value, or a number as written
    std::vector<JsonValue> items;
    std::vector<JsonMember> members; // in document order
};

struct JsonMember {
    std::string first; // the name
    JsonValue second;
};

// Reads one JSON document (nesting at most 64 deep). On failure returns false with the byte
// offset and the reason in `error`.
bool ParseJson(std::string_view text, JsonValue& out, std::string& error);

// The value at `path`: member names separated by '.', list entries as "[i]" (from 0). Null
// when the path leads nowhere; `badPath` is set when the path itself is malformed.
const JsonValue* FindJsonPath(const JsonValue& root, std::string_view path,
                              bool* badPath = nullptr);

// The value written compactly: strings without quotes at the top level, the rest as JSON.
std::string JsonValueText(const JsonValue& value);

} // namespace bw
