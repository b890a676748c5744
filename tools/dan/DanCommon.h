// Shared pieces of the dan tool: the subcommand table, option parsing and error reporting.
#pragma once

#include "data/KilnArchive.h"

#include <optional>
#include <string>
#include <vector>

namespace bw::dan {

using ArgList = std::vector<std::string>;

// Exit codes.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1; // the operation failed or found bad records
constexpr int kExitUsage = 2;   // the command line was wrong

struct DanCommand {
    const char* Name;
    const char* Summary;
    const char* Usage; // full help text, first line "usage: ..."
    int (*Run)(const ArgList& args);
};

// Every subcommand, in the order "dan --help" lists them (DanCommands.cpp).
const std::vector<DanCommand>& Commands();
const DanCommand* FindCommand(const std::string& name);

// The command line of one subcommand: positional arguments and "--name value" /
// "--name=value" options ("--" ends the options). "-C DIR" is read as "--dir DIR".
struct ParsedArgs {
    ArgList Positional;
    std::vector<std::pair<std::string, std::string>> Options;
    bool Help = false;
    std::optional<std::string> Get(const std::string& name) const;
};

// Parses Args for a command that knows the given value options; prints a usage error and
// returns nullopt for an unknown option or a missing value.
std::optional<ParsedArgs> ParseArgs(const DanCommand& cmd, const ArgList& args,
                                    const std::vector<std::string>& valueOptions);

// One line "dan CMD: message" on standard error; returns the exit code given.
int Report(const DanCommand& cmd, const std::string& message, int exitCode = kExitFailure);
int UsageError(const DanCommand& cmd, const std::string& message);
int PrintHelp(const DanCommand& cmd);

// Opens an archive and explains a failure on standard error.
bool OpenArchive(const DanCommand& cmd, TKilnArchive& archive, const std::string& path,
                 TArchiveOpenMode mode);

// Opens an archive read-only and reads one record by key; on failure reports why (naming the
// record) and returns false.
bool ReadArchiveRecord(const DanCommand& cmd, const std::string& path, const std::string& key,
                       std::vector<uint8_t>& bytes);

std::string RecordTypeName(TArchiveRecordType type);
std::optional<TArchiveRecordType> ParseRecordType(const std::string& text);

// A key or file name made printable on one line (control bytes as \xNN).
std::string Printable(const std::string& text);

// Reads a whole file; nullopt when it cannot be read.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path);

} // namespace bw::dan
