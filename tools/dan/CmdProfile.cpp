#include "DanCommands.h"

#include "data/XmlEncoding.h"
#include "meta/Profile.h"
#include "meta/ProfileFile.h"
#include "platform/Files.h"

#include <iostream>

namespace bw::dan {

extern const DanCommand ProfileDecodeCommand;
extern const DanCommand ProfileEncodeCommand;

namespace {

// Whether the game would accept the file (the level count only sizes the states).
bool LoadsAsProfile(const std::vector<uint8_t>& bytes) {
    TPlayer player;
    return ProfileFromBytes(bytes.data(), bytes.size(), 0, player);
}

int RunProfileDecode(const ArgList& args) {
    const DanCommand& cmd = ProfileDecodeCommand;
    const auto parsed = ParseArgs(cmd, args, {});
    if (!parsed) return kExitUsage;
    if (parsed->Help) return PrintHelp(cmd);
    if (parsed->Positional.size() != 1) return UsageError(cmd, "expected FILE.sav");
    const std::string& file = parsed->Positional[0];
    const auto bytes = ReadWholeFile(file);
    if (!bytes) return Report(cmd, "cannot read file '" + file + "'");
    const auto text = DecodeProfileBytes(*bytes);
    if (!text) return Report(cmd, file + ": not a profile file (a line lacks the line marker)");

    std::string out;
    out.reserve(text->size());
    for (const char c : *text)
        if (c != '\r') out += c;
    std::cout << out;
    std::cout.flush();
    if (!std::cout) return Report(cmd, "cannot write to standard output");
    if (!LoadsAsProfile(*bytes)) return Report(cmd, file + ": the text is not a valid profile");
    const ProfileFindings found = CheckProfileValues(bytes->data(), bytes->size(), 0);
    const auto list = [](const std::vector<std::string>& names) {
        std::string joined;
        for (const std::string& name : names) joined += (joined.empty() ? "" : ", ") + name;
        return joined;
    };
    const std::pair<const std::vector<std::string>*, const char*> kinds[] = {
        {&found.Missing, "missing values (the game reads 0)"},
        {&found.Unknown, "unknown values (the game ignores them)"},
        {&found.Corrected, "values the game corrects"},
        {&found.Unreadable, "values that do not parse (the game reads their defaults)"}};
    int status = kExitOk;
    for (const auto& [names, what] : kinds)
        if (!names->empty()) status = Report(cmd, file + ": " + what + ": " + list(*names));
    return status;
}

int RunProfileEncode(const ArgList& args) {
    const DanCommand& cmd = ProfileEncodeCommand;
    const auto parsed = ParseArgs(cmd, args, {});
    if (!parsed) return kExitUsage;
    if (parsed->Help) return PrintHelp(cmd);
    if (parsed->Positional.size() != 2) return UsageError(cmd, "expected FILE.xml OUT.sav");
    const std::string& in = parsed->Positional[0];
    const std::string& out = parsed->Positional[1];
    const auto source = ReadWholeFile(in);
    if (!source) return Report(cmd, "cannot read file '" + in + "'");

    // Text without a byte-order mark is UTF-8 when it is valid UTF-8 (what profile-decode
    // prints), otherwise Windows-1252 as for the game's own XML files.
    const std::string raw(source->begin(), source->end());
    const bool hasMark = raw.rfind("\xEF\xBB\xBF", 0) == 0 || raw.rfind("\xFF\xFE", 0) == 0 ||
                         raw.rfind("\xFE\xFF", 0) == 0;
    const bool utf8 = !hasMark && Utf16ToUtf8(Utf8ToUtf16(raw)) == raw;
    const std::string text =
        NormaliseLineBreaks(utf8 ? raw : DecodeTextBytes(source->data(), source->size()));
    const std::vector<uint8_t> bytes = EncodeProfileText(text);
    if (DecodeProfileBytes(bytes) != text)
        return Report(cmd, in + ": holds characters a profile file cannot store");
    if (!LoadsAsProfile(bytes)) return Report(cmd, in + ": not a valid profile; nothing written");
    if (!WriteFileAtomically(out, bytes.data(), bytes.size()))
        return Report(cmd, "cannot write '" + out + "'");
    return kExitOk;
}

} // namespace

const DanCommand ProfileDecodeCommand{
    "profile-decode", "print the XML text of a player profile (.sav)",
    "usage: dan profile-decode FILE.sav\n"
    "\n"
    "Unscrambles a player profile and prints its XML text, one line per line of the file.\n"
    "Exits with 1 when the file is not a profile file, or when its text is printed but the\n"
    "game would reject it (it does not parse, or its root is not \"Profile\"), or when a\n"
    "value is missing, unknown, out of range or does not parse (the game then reads 0, ignores\n"
    "it, corrects it or reads its default; the values are named). Level states count as\n"
    "missing below the highest level saved.\n",
    RunProfileDecode};

const DanCommand ProfileEncodeCommand{
    "profile-encode", "write an XML text as a player profile (.sav)",
    "usage: dan profile-encode FILE.xml OUT.sav\n"
    "\n"
    "Scrambles the XML text line by line into a profile file that the game reads. The text\n"
    "may be UTF-8 or UTF-16 (with or without a byte-order mark for UTF-8) or Windows-1252. Nothing "
    "is written when the\n"
    "text is not a valid profile or holds control characters the format cannot store; an\n"
    "existing OUT.sav is replaced atomically.\n",
    RunProfileEncode};

} // namespace bw::dan
