// How a fuzz target reports a violated property: one line naming the target, then an abort,
// which libFuzzer records as a crash with its input.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>

// `file` is the calling target's source file; its name without the folder and ".cpp" names it.
[[noreturn]] inline void Fail(const char* what, const char* file = __builtin_FILE()) {
    const char* slash = std::strrchr(file, '/');
    const char* name = slash ? slash + 1 : file;
    const char* dot = std::strrchr(name, '.');
    const int length = dot ? static_cast<int>(dot - name) : static_cast<int>(std::strlen(name));
    std::fprintf(stderr, "%.*s: %s\n", length, name, what);
    std::abort();
}
