#include "data/MediaLink.h"

#include "data/AsciiText.h"
#include "data/FileNameAliases.h"

#include <algorithm>

#include <climits>
#include <unistd.h>

namespace bw {

namespace {

std::string_view BeforeBar(std::string_view link) {
    const auto bar = link.find('|');
    return bar == std::string_view::npos ? link : link.substr(0, bar);
}

std::string WithSeparator(std::string_view text, char from, char to) {
    std::string s(TrimText(text));
    std::replace(s.begin(), s.end(), from, to);
    s = std::string(TrimText(s));
    if (!s.empty() && s.front() == to) s.erase(0, 1);
    return s;
}

} // namespace

bool IsArchiveLink(std::string_view link) {
    const auto bar = link.find('|');
    return link.size() >= 3 && bar != std::string_view::npos && bar != 0 && bar != link.size() - 1;
}

std::string LinkArchivePath(std::string_view link) {
    const std::string_view path = TrimText(BeforeBar(link));
    const auto& aliases = FileNameAliases();
    if (aliases.IsDefined(path)) return aliases.GetFileName(path);
    return ProgramFolder() + WithSeparator(path, '\\', '/');
}

std::string LinkKey(std::string_view link) {
    const auto bar = link.find('|');
    if (bar == std::string_view::npos) return {};
    return std::string(TrimText(link.substr(bar + 1)));
}

std::string LinkItemName(std::string_view link) {
    return WithSeparator(BeforeBar(link), '/', '\\');
}

namespace {

std::string& ProgramFolderRef() {
    static std::string folder = [] {
        char buf[PATH_MAX + 1];
        const ssize_t n = ::readlink("/proc/self/exe", buf, PATH_MAX);
        std::string exe = n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
        const auto slash = exe.rfind('/');
        if (slash == std::string::npos) return std::string("./");
        return exe.substr(0, slash + 1);
    }();
    return folder;
}

} // namespace

const std::string& ProgramFolder() {
    return ProgramFolderRef();
}

void SetProgramFolder(const std::string& folder) {
    if (folder.empty()) return;
    ProgramFolderRef() = folder.back() == '/' ? folder : folder + "/";
}

} // namespace bw
