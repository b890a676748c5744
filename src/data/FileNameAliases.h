// Aliases for archive paths in media links: an alias names a file. Looked up with ASCII-only
// case folding by binary search over the alias-sorted list. The game defines none.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace bw {

struct TFileNameAlias {
    std::string Alias;
    std::string FileName;
};

class TFileNameAliases {
public:
    // Defines or redefines an alias.
    void Define(std::string_view alias, std::string_view fileName);
    void Undefine(std::string_view alias);
    // The file name of an alias, or the empty text.
    std::string GetFileName(std::string_view alias) const;
    bool IsDefined(std::string_view alias) const;
    int Count() const { return static_cast<int>(FItems.size()); }
    void Clear() { FItems.clear(); }

private:
    std::vector<TFileNameAlias>::const_iterator Find(std::string_view alias) const;
    std::vector<TFileNameAlias> FItems; // sorted by alias
};

// The process-wide table.
TFileNameAliases& FileNameAliases();

} // namespace bw
