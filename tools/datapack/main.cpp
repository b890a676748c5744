// datapack: builds the game's data archives from data/ and checks them against the manifest.
#include "pack/PackCommands.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return bw::pack::RunDatapack(args, std::cout, std::cerr);
}
