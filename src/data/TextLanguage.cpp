#include "data/TextLanguage.h"

#include "data/AsciiText.h"
#include "data/Xml.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace bw {

namespace {

// Whether the element holds a text of its own (a string, a paragraph, a title or lines).
bool CarriesText(const TXMLNode& node) {
    for (const char* field : {"string", "text", "title", "Value"})
        if (node.FindFieldByName(field) >= 0) return true;
    return node.FindChildByName("Text") >= 0;
}

// The children of a node by lower-case name, in document order: the k-th of a name is
// found at once, however many siblings there are.
using ChildrenByName = std::map<std::string, std::vector<const TXMLNode*>, std::less<>>;

ChildrenByName IndexChildren(const TXMLNode& parent) {
    ChildrenByName index;
    for (const TXMLNode& child : parent) index[AsciiLowerCase(child.Name())].push_back(&child);
    return index;
}

const TXMLNode* NthChild(const ChildrenByName& index, const std::string& lowerName,
                         std::size_t occurrence) {
    const auto it = index.find(lowerName);
    if (it == index.end() || occurrence >= it->second.size()) return nullptr;
    return it->second[occurrence];
}

// No record reaches deeper than a few levels (root, section, group, record, parameters,
// point); whatever is nested deeper is left out, so a hostile document cannot exhaust the
// stack of the recursive walks below.
constexpr int kMaxDepth = 12;

void CopyInto(const TXMLNode& from, TXMLNode& to, int depth) {
    for (int i = 0; i < from.FieldCount(); ++i) {
        const TXMLNodeField* f = from.GetField(i);
        to.AddField(f->Name, f->Value);
    }
    if (depth >= kMaxDepth) return;
    for (const TXMLNode& child : from) CopyInto(child, *to.AddChild(child.Name()), depth + 1);
}

std::string Where(const std::string& path, const TXMLNode& node, std::size_t occurrence) {
    std::string where = path.empty() ? node.Name() : path + "/" + node.Name();
    if (occurrence > 0) where += " (" + std::to_string(occurrence + 1) + ")";
    return where;
}

struct MergeNotes {
    std::vector<std::string>* Missing;
    std::vector<std::string>* Extra;
};

// Every record at or below `node` that carries text, as missing.
void ReportMissing(const TXMLNode& node, const std::string& where, const MergeNotes& notes,
                   int depth) {
    if (notes.Missing == nullptr || depth >= kMaxDepth) return;
    if (CarriesText(node)) {
        notes.Missing->push_back(where);
        return;
    }
    std::map<std::string, std::size_t, std::less<>> seen;
    for (const TXMLNode& child : node)
        ReportMissing(child, Where(where, child, seen[AsciiLowerCase(child.Name())]++), notes,
                      depth + 1);
}

// `out` is a copy of `english` with `translation` laid over it. `path` names `english` below
// the root (empty for a section); `reportable` is false inside a record that carries text
// (the names of a credit, say), whose parts are not records of their own.
void MergeInto(const TXMLNode& english, const TXMLNode& translation, TXMLNode& out,
               const std::string& path, bool reportable, const MergeNotes& notes, int depth) {
    for (int i = 0; i < english.FieldCount(); ++i) {
        const TXMLNodeField* f = english.GetField(i);
        out.AddField(f->Name, f->Value);
    }
    for (int i = 0; i < translation.FieldCount(); ++i) {
        const TXMLNodeField* f = translation.GetField(i);
        out.SetFieldValue(f->Name, f->Value);
    }
    if (depth >= kMaxDepth) return;
    const bool childrenReportable = reportable && !CarriesText(english);
    const ChildrenByName translated = IndexChildren(translation);
    std::map<std::string, std::size_t, std::less<>> seen;
    for (const TXMLNode& child : english) {
        const std::string lower = AsciiLowerCase(child.Name());
        const std::size_t occurrence = seen[lower]++;
        const TXMLNode* over = NthChild(translated, lower, occurrence);
        TXMLNode& merged = *out.AddChild(child.Name());
        const std::string where = Where(path, child, occurrence);
        if (over == nullptr) {
            CopyInto(child, merged, depth + 1);
            if (childrenReportable) ReportMissing(child, where, notes, depth + 1);
        } else if (AsciiSameText(child.Name(), "Text")) {
            CopyInto(*over, merged, depth + 1);
        } else {
            MergeInto(child, *over, merged, where, childrenReportable, notes, depth + 1);
        }
    }
    if (!childrenReportable || notes.Extra == nullptr) return;
    const ChildrenByName original = IndexChildren(english);
    for (auto& [lower, children] : translated) {
        const auto it = original.find(lower);
        const std::size_t have = it == original.end() ? 0 : it->second.size();
        for (std::size_t k = have; k < children.size(); ++k)
            notes.Extra->push_back(Where(path, *children[k], k));
    }
}

} // namespace

const std::vector<std::string>& TranslationLanguages() {
    static const std::vector<std::string> languages = {"de"};
    return languages;
}

std::string TranslationDocumentKey(std::string_view language) {
    if (language.empty() || language == "en") return {};
    return "Text_" + std::string(language) + ".xml";
}

std::string LocaleLanguage(std::string_view locale) {
    const std::size_t end = locale.find_first_of("_.@");
    const std::string code = AsciiLowerCase(locale.substr(0, end));
    if (code == "c" || code == "posix") return {};
    // A language code is letters only; anything else names none.
    if (!std::all_of(code.begin(), code.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
        return {};
    return code;
}

std::string DesktopLanguage(const EnvironmentLookup& lookup) {
    if (const char* list = lookup("LANGUAGE"); list != nullptr) {
        const std::string_view all(list);
        const std::string language = LocaleLanguage(all.substr(0, all.find(':')));
        if (!language.empty()) return language;
    }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = lookup(name);
        if (value == nullptr) continue;
        const std::string language = LocaleLanguage(value);
        if (!language.empty()) return language;
    }
    return {};
}

std::string DesktopLanguage() {
    return DesktopLanguage([](const char* name) { return std::getenv(name); });
}

std::string ChooseTextLanguage(std::string_view option, std::string_view desktop,
                               std::string* note) {
    const std::string chosen = LocaleLanguage(TrimText(option));
    const bool fromOption = !chosen.empty();
    const std::string language = fromOption ? chosen : LocaleLanguage(desktop);
    if (language.empty() || language == "en") return {};
    const auto& known = TranslationLanguages();
    if (std::find(known.begin(), known.end(), language) != known.end()) return language;
    if (note != nullptr) {
        *note = "No translation for language \"" + language + "\" (" +
                (fromOption ? "the options file's Language" : "the desktop's locale") +
                "); the texts are shown in English";
    }
    return {};
}

std::unique_ptr<TXMLNode> MergeTranslation(const TXMLNode& english, const TXMLNode& translation,
                                           std::vector<std::string>* missing,
                                           std::vector<std::string>* extra) {
    auto out = std::make_unique<TXMLNode>(english.Name());
    MergeInto(english, translation, *out, std::string(), true, MergeNotes{missing, extra}, 0);
    return out;
}

} // namespace bw
