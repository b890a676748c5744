// The command line of datapack, callable in-process.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace bw::pack {

// args are the arguments after the program name. Returns the exit status: 0 success,
// 1 failure, 2 usage error.
int RunDatapack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace bw::pack
