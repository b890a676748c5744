#include "data/XmlParser.h"

#include "data/AsciiText.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace bw {

namespace {

enum : uint8_t { kBlank = 1, kDelimiter = 2, kNameChar = 4 };

// Character classes on bytes of UTF-8 text. Every byte of a non-ASCII character is >= 0x80,
// hence a name character, exactly as every code unit above 0x7E is.
constexpr std::array<uint8_t, 256> MakeClasses() {
    std::array<uint8_t, 256> c{};
    for (int i = 0; i < 256; ++i) {
        if (i == 0x00 || i == 0x09 || i == 0x0A || i == 0x0D || i == 0x20)
            c[i] = kBlank;
        else if ((i >= 0x21 && i <= 0x2F) || (i >= 0x3A && i <= 0x40) || (i >= 0x5B && i <= 0x5E))
            c[i] = kDelimiter;
        else
            c[i] = kNameChar;
    }
    return c;
}
constexpr std::array<uint8_t, 256> kClasses = MakeClasses();

// Parse failures; callers see them as the text of an XmlParseError.
enum ParseStatus : int {
    psOk = 0,
    psAttributeAtEnd = -1, // attribute name and then the end of the text
    psBadStartTag = -2,    // unexpected character inside a start tag
    psNoElement = -3,      // the document does not begin with markup
    psTagMismatch = -4,    // closing tag of another element
    psBadClosingTag = -5,  // closing tag not ended by ">"
    psUnclosed = -6,       // the text ends inside an element
};

// 1-based line of a byte offset.
int LineAt(std::string_view text, std::size_t offset) {
    offset = std::min(offset, text.size());
    int line = 1;
    for (std::size_t i = 0; i < offset; ++i)
        if (text[i] == '\n') ++line;
    return line;
}

class XmlReader {
public:
    XmlReader(std::string_view text, XmlNames names)
        : S(text), Hyphen(names == XmlNames::WithHyphen) {}

    // Why the parse failed, once it has; the fault lies at `FaultAt`.
    XmlParseError Error() const {
        XmlParseError error;
        error.Line = LineAt(S, FaultAt);
        error.What = Why;
        return error;
    }

    std::unique_ptr<TXMLNode> ParseDocument() {
        while (Pos < S.size() && Status == psOk) {
            SkipBlanks();
            if (AtEnd()) break;
            if (SkipMarkup()) continue;
            if (At("<")) {
                ++Pos;
                ParseElement();
                break;
            } else {
                Fail(psNoElement, "text before the first element: a document begins with "
                                  "markup such as <text>");
            }
        }
        if (Status == psOk && !Root) Fail(psNoElement, "the document holds no element");
        if (Status != psOk) Root.reset();
        return std::move(Root);
    }

private:
    void Fail(ParseStatus status, std::string why, std::size_t at = std::string_view::npos) {
        Status = status;
        FaultAt = at == std::string_view::npos ? Pos : at;
        Why = std::move(why);
    }
    static std::string Tag(std::string_view name) { return "<" + std::string(name) + ">"; }
    std::string Opened(std::size_t at) const {
        return " (opened on line " + std::to_string(LineAt(S, at)) + ")";
    }

    bool AtEnd() const { return Pos >= S.size(); }
    uint8_t Class(std::size_t i) const {
        if (Hyphen && S[i] == '-') return kNameChar;
        return kClasses[static_cast<uint8_t>(S[i])];
    }
    bool At(std::string_view m) const { return S.compare(Pos, m.size(), m) == 0; }
    bool AtNoCase(std::string_view m) const {
        return S.size() - Pos >= m.size() && AsciiSameText(S.substr(Pos, m.size()), m);
    }
    void SkipBlanks() {
        while (Pos < S.size() && Class(Pos) == kBlank) ++Pos;
    }
    // Steps past the next occurrence of the marker, or to the end. (The markers hold no
    // letters, so the case-insensitive comparison is a plain one.)
    void SkipTo(std::string_view marker) {
        const std::size_t at = S.find(marker, Pos);
        Pos = at == std::string_view::npos ? S.size() : at + marker.size();
    }
    // Steps over a comment, a processing instruction or a document type declaration standing
    // at the position; false when none does.
    bool SkipMarkup() {
        if (At("<!--")) {
            Pos += 4;
            SkipTo("-->");
        } else if (At("<?")) {
            Pos += 2;
            SkipTo("?>");
        } else if (AtNoCase("<!doctype")) {
            Pos += 9;
            SkipTo(">");
        } else {
            return false;
        }
        return true;
    }
    std::string_view NameRun() {
        const std::size_t start = Pos;
        while (Pos < S.size() && Class(Pos) == kNameChar) ++Pos;
        return S.substr(start, Pos - start);
    }
    std::string_view ReadName() {
        SkipBlanks();
        if (AtEnd() || Class(Pos) == kDelimiter) return {};
        return NameRun();
    }
    std::string_view ReadValue() {
        SkipBlanks();
        if (AtEnd()) return {};
        const char c = S[Pos];
        if (c == '"' || c == '\'') {
            const std::size_t start = Pos + 1;
            const std::size_t close = S.find(c, start);
            if (close == std::string_view::npos) {
                // The text ends inside the value; the parse fails there, but the fault is the
                // quote that never closes.
                OpenQuoteAt = Pos;
                Pos = S.size();
                return S.substr(start);
            }
            Pos = close + 1;
            return S.substr(start, close - start);
        }
        if (Class(Pos) == kDelimiter) return {};
        return NameRun();
    }

    // The position is on a name character.
    void ParseAttribute(TXMLNode& node) {
        const std::string_view name = ReadName();
        SkipBlanks();
        if (AtEnd()) {
            node.AddField(name, {});
            Fail(psAttributeAtEnd, "the text ends inside the start tag of " + Tag(node.Name()));
            return;
        }
        if (S[Pos] == '=') {
            ++Pos;
            const std::string_view value = ReadValue();
            if (!name.empty()) node.AddField(name, value);
            return;
        }
        node.AddField(name, {});
    }

    // The position is just after the "<" of the root element. Children are parsed on an
    // explicit stack; the first error ends the parse, as any error fails the whole document.
    void ParseElement() {
        const std::size_t rootAt = Pos - 1;
        Root = std::make_unique<TXMLNode>(ReadName());
        std::vector<TXMLNode*> open{Root.get()};
        // Where each open element's start tag begins, for the messages.
        std::vector<std::size_t> openAt{rootAt};
        bool inStartTag = true;
        while (Status == psOk && !open.empty()) {
            TXMLNode& node = *open.back();
            SkipBlanks();
            if (AtEnd()) {
                if (OpenQuoteAt != std::string_view::npos) {
                    Fail(psUnclosed,
                         "a quoted attribute value of " + Tag(node.Name()) + " is never closed",
                         OpenQuoteAt);
                } else if (inStartTag) {
                    Fail(psUnclosed,
                         "the start tag of " + Tag(node.Name()) + " is not ended by \">\"",
                         openAt.back());
                } else {
                    Fail(psUnclosed, Tag(node.Name()) + Opened(openAt.back()) + " is never closed");
                }
                break;
            }
            if (inStartTag) {
                if (At("<!--")) {
                    Pos += 4;
                    SkipTo("-->");
                } else if (At("/>")) {
                    Pos += 2;
                    open.pop_back();
                    openAt.pop_back();
                    inStartTag = false;
                } else if (At(">")) {
                    ++Pos;
                    inStartTag = false;
                } else if (Class(Pos) == kNameChar) {
                    ParseAttribute(node);
                } else {
                    Fail(psBadStartTag, std::string("unexpected \"") + S[Pos] +
                                            "\" in the start tag of " + Tag(node.Name()));
                }
                continue;
            }
            if (SkipMarkup()) continue;
            if (At("</")) {
                const std::size_t closeAt = Pos;
                Pos += 2;
                const std::string_view closing = ReadName();
                if (!AsciiSameText(closing, node.Name())) {
                    Fail(psTagMismatch,
                         "</" + std::string(closing) + "> closes " + Tag(node.Name()) +
                             Opened(openAt.back()),
                         closeAt);
                    break;
                }
                SkipBlanks();
                if (AtEnd() || S[Pos] != '>') {
                    Fail(psBadClosingTag,
                         "the closing tag </" + std::string(closing) + "> is not ended by \">\"",
                         closeAt);
                    break;
                }
                ++Pos;
                open.pop_back();
                openAt.pop_back();
            } else if (At("<")) {
                openAt.push_back(Pos);
                ++Pos;
                open.push_back(node.AddChild(ReadName()));
                inStartTag = true;
            } else {
                // Character data and entity references are dropped: everything up to the
                // next "<" is skipped.
                const std::size_t next = S.find('<', Pos);
                Pos = next == std::string_view::npos ? S.size() : next;
            }
        }
    }

    std::string_view S;
    bool Hyphen = false;
    std::size_t Pos = 0;
    int Status = psOk;
    std::size_t FaultAt = 0;
    std::size_t OpenQuoteAt = std::string_view::npos;
    std::string Why;
    std::unique_ptr<TXMLNode> Root;
};

} // namespace

std::unique_ptr<TXMLNode> XMLFromText(std::string_view text, XmlNames names, XmlParseError* error) {
    if (text.empty()) {
        if (error != nullptr) *error = XmlParseError{1, "the document is empty"};
        return nullptr;
    }
    XmlReader reader(text, names);
    std::unique_ptr<TXMLNode> root = reader.ParseDocument();
    if (!root && error != nullptr) *error = reader.Error();
    return root;
}

} // namespace bw
