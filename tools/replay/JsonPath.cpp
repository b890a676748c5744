#include "replay/JsonPath.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace bw {

namespace {

constexpr int kMaxDepth = 64;

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool Document(JsonValue& out, std::string& error) {
        const bool ok = Value(out, 0) && (SkipSpace(), pos_ == text_.size() || Fail("trailing"));
        if (!ok) error = "offset " + std::to_string(pos_) + ": " + why_;
        return ok;
    }

private:
    bool Fail(const char* why) {
        why_ = why;
        return false;
    }
    void SkipSpace() {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
    }
    bool Literal(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word) return Fail("unknown word");
        pos_ += word.size();
        return true;
    }

    bool Value(JsonValue& out, int depth) {
        if (depth > kMaxDepth) return Fail("nested too deep");
        SkipSpace();
        if (pos_ >= text_.size()) return Fail("value expected");
        const char c = text_[pos_];
        if (c == '{') return Object(out, depth);
        if (c == '[') return Array(out, depth);
        if (c == '"') {
            out.type = JsonValue::Type::String;
            return String(out.text);
        }
        if (c == 't' || c == 'f') {
            out.type = JsonValue::Type::Bool;
            out.boolean = c == 't';
            return Literal(c == 't' ? "true" : "false");
        }
        if (c == 'n') return Literal("null");
        return Number(out);
    }

    bool Object(JsonValue& out, int depth) {
        out.type = JsonValue::Type::Object;
        ++pos_;
        SkipSpace();
        if (pos_ < text_.size() && text_[pos_] == '}') return ++pos_, true;
        for (;;) {
            SkipSpace();
            std::string key;
            if (pos_ >= text_.size() || text_[pos_] != '"' || !String(key))
                return Fail("member name expected");
            SkipSpace();
            if (pos_ >= text_.size() || text_[pos_] != ':') return Fail("':' expected");
            ++pos_;
            out.members.push_back(JsonMember{std::move(key), JsonValue{}});
            if (!Value(out.members.back().second, depth + 1)) return false;
            SkipSpace();
            if (pos_ < text_.size() && text_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (pos_ < text_.size() && text_[pos_] == '}') return ++pos_, true;
            return Fail("',' or '}' expected");
        }
    }

    bool Array(JsonValue& out, int depth) {
        out.type = JsonValue::Type::Array;
        ++pos_;
        SkipSpace();
        if (pos_ < text_.size() && text_[pos_] == ']') return ++pos_, true;
        for (;;) {
            out.items.emplace_back();
            if (!Value(out.items.back(), depth + 1)) return false;
            SkipSpace();
            if (pos_ < text_.size() && text_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (pos_ < text_.size() && text_[pos_] == ']') return ++pos_, true;
            return Fail("',' or ']' expected");
        }
    }

    // Escapes other than \uXXXX keep the escaped character; \uXXXX below 0x80 is decoded,
    // others are kept as written (the dump writes only control characters that way).
    bool String(std::string& out) {
        ++pos_;
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (c == '"') return true;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size()) break;
            const char e = text_[pos_++];
            if (e == 'u') {
                if (pos_ + 4 > text_.size()) return Fail("bad escape");
                const std::string hex(text_.substr(pos_, 4));
                char* end = nullptr;
                const long code = std::strtol(hex.c_str(), &end, 16);
                if (!end || *end) return Fail("bad escape");
                pos_ += 4;
                if (code < 0x80)
                    out += static_cast<char>(code);
                else
                    out += "\\u" + hex;
            } else {
                out += e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
            }
        }
        return Fail("unterminated string");
    }

    bool Number(JsonValue& out) {
        const size_t start = pos_;
        while (pos_ < text_.size() &&
               (std::isdigit(static_cast<unsigned char>(text_[pos_])) ||
                std::string_view("+-.eE").find(text_[pos_]) != std::string_view::npos))
            ++pos_;
        if (pos_ == start) return Fail("value expected");
        out.type = JsonValue::Type::Number;
        out.text = std::string(text_.substr(start, pos_ - start));
        char* end = nullptr;
        out.number = std::strtod(out.text.c_str(), &end);
        if (!end || *end) return Fail("bad number");
        return true;
    }

    std::string_view text_;
    size_t pos_ = 0;
    const char* why_ = "";
};

void Write(const JsonValue& v, std::string& out) {
    switch (v.type) {
    case JsonValue::Type::Null:
        out += "null";
        break;
    case JsonValue::Type::Bool:
        out += v.boolean ? "true" : "false";
        break;
    case JsonValue::Type::Number:
        out += v.text;
        break;
    case JsonValue::Type::String:
        out += '"' + v.text + '"';
        break;
    case JsonValue::Type::Array:
        out += '[';
        for (size_t i = 0; i < v.items.size(); ++i) {
            if (i) out += ", ";
            Write(v.items[i], out);
        }
        out += ']';
        break;
    case JsonValue::Type::Object:
        out += '{';
        for (size_t i = 0; i < v.members.size(); ++i) {
            if (i) out += ", ";
            out += '"' + v.members[i].first + "\": ";
            Write(v.members[i].second, out);
        }
        out += '}';
        break;
    }
}

} // namespace

bool ParseJson(std::string_view text, JsonValue& out, std::string& error) {
    out = JsonValue{};
    return Reader(text).Document(out, error);
}

const JsonValue* FindJsonPath(const JsonValue& root, std::string_view path, bool* badPath) {
    if (badPath) *badPath = false;
    auto bad = [&] {
        if (badPath) *badPath = true;
        return nullptr;
    };
    const JsonValue* v = &root;
    size_t i = 0;
    if (path.empty()) return bad();
    while (i < path.size()) {
        if (path[i] == '[') {
            const size_t close = path.find(']', i);
            if (close == std::string_view::npos || close == i + 1) return bad();
            size_t index = 0;
            for (size_t k = i + 1; k < close; ++k) {
                if (!std::isdigit(static_cast<unsigned char>(path[k])) || index > 1000000)
                    return bad();
                index = index * 10 + static_cast<size_t>(path[k] - '0');
            }
            i = close + 1;
            if (i < path.size() && path[i] == '.') {
                if (++i == path.size()) return bad();
            }
            if (!v || v->type != JsonValue::Type::Array || index >= v->items.size()) {
                v = nullptr;
                continue;
            }
            v = &v->items[index];
            continue;
        }
        size_t end = i;
        while (end < path.size() && path[end] != '.' && path[end] != '[') ++end;
        if (end == i) return bad();
        const std::string_view name = path.substr(i, end - i);
        i = end;
        if (i < path.size() && path[i] == '.' && ++i == path.size()) return bad();
        const JsonValue* next = nullptr;
        if (v && v->type == JsonValue::Type::Object)
            for (const auto& [key, value] : v->members)
                if (key == name) next = &value;
        v = next;
    }
    return v;
}

std::string JsonValueText(const JsonValue& value) {
    if (value.type == JsonValue::Type::String) return value.text;
    std::string out;
    Write(value, out);
    return out;
}

} // namespace bw
