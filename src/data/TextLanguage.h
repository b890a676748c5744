// Which language the texts are shown in, and how a translation's document joins the English
// one. A translation is a document like "Text.xml" that holds only what differs: the texts,
// and where a text needs it, its own width, scale or position. Every attribute and every
// element it leaves out comes from the English document, so the English layout stays the one
// both follow.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace bw {

class TXMLNode;

// The languages with a translation, besides English ("en"): each has the document
// "Text_<code>.xml" beside "Text.xml".
const std::vector<std::string>& TranslationLanguages();

// The document key of a language's translation ("Text_de.xml"); empty for English.
std::string TranslationDocumentKey(std::string_view language);

// The language code of a locale name: "de_DE.UTF-8" and "de@euro" give "de", "DE" gives "de".
// Empty for "", "C" and "POSIX" (and "C.UTF-8"), which name no language.
std::string LocaleLanguage(std::string_view locale);

// The language of the desktop: the first entry of LANGUAGE's colon list, else LC_ALL, else
// LC_MESSAGES, else LANG, skipping those that name no language. Empty when none does.
using EnvironmentLookup = std::function<const char*(const char*)>;
std::string DesktopLanguage(const EnvironmentLookup& lookup);
std::string DesktopLanguage();

// The language to show: `option` (the options file's choice) when it names one, else the
// desktop's. "" (English) when that language has no translation; `note`, when passed, then
// tells why in one line.
std::string ChooseTextLanguage(std::string_view option, std::string_view desktop,
                               std::string* note = nullptr);

// The English document with the translation laid over it. Elements are matched by name (any
// letter case) and by their place among siblings of the same name; the translation's
// attributes replace the English ones; a "Text" element (a record's lines) is taken whole,
// so a translation may have fewer lines. `missing` receives "section/key" of every English
// record that carries text and has no counterpart in the translation, and `extra` those of
// the translation that English lacks (they are left out: nothing says where to show them).
// Elements nested more than 12 levels deep are left out of the result.
std::unique_ptr<TXMLNode> MergeTranslation(const TXMLNode& english, const TXMLNode& translation,
                                           std::vector<std::string>* missing = nullptr,
                                           std::vector<std::string>* extra = nullptr);

} // namespace bw
