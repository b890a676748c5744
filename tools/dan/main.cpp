// dan: the data archive tool for players, modders and the data build.
#include "DanCommands.h"
#include <algorithm>

#include <iostream>

namespace {

void PrintOverview(std::ostream& out) {
    out << "usage: dan COMMAND [ARGS...]\n"
           "\n"
           "Lists, reads, builds and checks data archives (.dan) and their XML records.\n"
           "\n"
           "commands:\n";
    size_t width = 0;
    for (const auto& c : bw::dan::Commands()) width = std::max(width, std::string(c.Name).size());
    for (const auto& c : bw::dan::Commands()) {
        std::string name = c.Name;
        name.resize(width + 2, ' ');
        out << "  " << name << c.Summary << "\n";
    }
    out << "\n'dan COMMAND --help' describes a command.\n";
}

} // namespace

int main(int argc, char** argv) {
    using namespace bw::dan;
    if (argc < 2) {
        PrintOverview(std::cerr);
        return kExitUsage;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        if (argc >= 3) {
            if (const DanCommand* c = FindCommand(argv[2])) return PrintHelp(*c);
            std::cerr << "dan: unknown command '" << argv[2] << "'" << std::endl;
            return kExitUsage;
        }
        PrintOverview(std::cout);
        return kExitOk;
    }
    const DanCommand* cmd = FindCommand(name);
    if (!cmd) {
        std::cerr << "dan: unknown command '" << name << "' (see 'dan --help')" << std::endl;
        return kExitUsage;
    }
    const ArgList args(argv + 2, argv + argc);
    try {
        return cmd->Run(args);
    } catch (const std::exception& e) {
        return Report(*cmd, e.what());
    }
}
