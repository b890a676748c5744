#include "DanCommon.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sys/stat.h>

namespace bw::dan {

const DanCommand* FindCommand(const std::string& name) {
    for (const auto& c : Commands())
        if (name == c.Name) return &c;
    return nullptr;
}

std::optional<std::string> ParsedArgs::Get(const std::string& name) const {
    std::optional<std::string> value;
    for (const auto& [n, v] : Options)
        if (n == name) value = v; // the last one wins
    return value;
}

std::optional<ParsedArgs> ParseArgs(const DanCommand& cmd, const ArgList& args,
                                    const std::vector<std::string>& valueOptions) {
    ParsedArgs parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.size() < 2 || a[0] != '-') {
            parsed.Positional.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        if (a == "--help" || a == "-h") {
            parsed.Help = true;
            continue;
        }
        std::string name;
        std::optional<std::string> value;
        if (a == "-C") {
            name = "dir";
        } else if (a.rfind("--", 0) == 0) {
            const auto eq = a.find('=');
            name = a.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
            if (eq != std::string::npos) value = a.substr(eq + 1);
        } else {
            UsageError(cmd, "unknown option '" + a + "'");
            return std::nullopt;
        }
        bool known = false;
        for (const auto& o : valueOptions) known = known || o == name;
        if (!known) {
            UsageError(cmd, "unknown option '" + a + "'");
            return std::nullopt;
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                UsageError(cmd, "option '" + a + "' needs a value");
                return std::nullopt;
            }
            value = args[++i];
        }
        parsed.Options.emplace_back(name, *value);
    }
    return parsed;
}

int Report(const DanCommand& cmd, const std::string& message, int exitCode) {
    std::cerr << "dan " << cmd.Name << ": " << message << std::endl;
    return exitCode;
}

int UsageError(const DanCommand& cmd, const std::string& message) {
    std::cerr << "dan " << cmd.Name << ": " << message << " (see 'dan " << cmd.Name << " --help')"
              << std::endl;
    return kExitUsage;
}

int PrintHelp(const DanCommand& cmd) {
    std::cout << cmd.Usage;
    return kExitOk;
}

bool OpenArchive(const DanCommand& cmd, TKilnArchive& archive, const std::string& path,
                 TArchiveOpenMode mode) {
    archive.SetOpenMode(mode);
    if (archive.OpenFile(path)) return true;
    struct stat st {};
    std::string why;
    if (::stat(path.c_str(), &st) != 0) {
        why = std::strerror(errno);
    } else if (!S_ISREG(st.st_mode)) {
        why = "not a regular file";
    } else {
        char sig[4] = {};
        std::ifstream f(path, std::ios::binary);
        if (!f) {
            why = "cannot be opened for reading";
        } else if (!f.read(sig, 4) || std::memcmp(sig, "ASVF", 4) != 0) {
            why = "not an archive (no \"ASVF\" signature)";
        } else {
            why = "damaged archive index, or the file is locked";
        }
    }
    Report(cmd, "cannot open archive '" + path + "': " + why);
    return false;
}

bool ReadArchiveRecord(const DanCommand& cmd, const std::string& path, const std::string& key,
                       std::vector<uint8_t>& bytes) {
    TKilnArchive archive;
    if (!OpenArchive(cmd, archive, path, aomReadOnly)) return false;
    const int index = archive.IndexOf(key);
    if (index < 0) {
        Report(cmd, "no record '" + Printable(key) + "'");
        return false;
    }
    const auto read = archive.ReadRecordAt(index, bytes);
    if (read != ArchiveReadResult::Ok) {
        Report(cmd, Printable(key) + ": " + ArchiveReadResultText(read));
        return false;
    }
    return true;
}

std::string RecordTypeName(TArchiveRecordType type) {
    switch (type) {
    case artFile:
        return "file";
    case artImage:
        return "image";
    case artFont:
        return "font";
    }
    return "type" + std::to_string(static_cast<int>(type));
}

std::optional<TArchiveRecordType> ParseRecordType(const std::string& text) {
    if (text == "file") return artFile;
    if (text == "image") return artImage;
    if (text == "font") return artFont;
    return std::nullopt;
}

std::string Printable(const std::string& text) {
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out.push_back(ch);
        }
    }
    return out;
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    std::ifstream f(path, std::ios::binary);
    if (!f) return std::nullopt;
    std::vector<uint8_t> bytes;
    char buf[64 * 1024];
    while (f) {
        f.read(buf, sizeof buf);
        bytes.insert(bytes.end(), buf, buf + f.gcount());
    }
    if (f.bad()) return std::nullopt;
    return bytes;
}

} // namespace bw::dan
