#include "data/FileNameAliases.h"

#include "data/AsciiText.h"

#include <algorithm>

namespace bw {

namespace {

bool AliasLess(const TFileNameAlias& a, std::string_view b) {
    return AsciiCompareText(a.Alias, b) < 0;
}

} // namespace

std::vector<TFileNameAlias>::const_iterator TFileNameAliases::Find(std::string_view alias) const {
    const auto it = std::lower_bound(FItems.begin(), FItems.end(), alias, AliasLess);
    if (it != FItems.end() && AsciiSameText(it->Alias, alias)) return it;
    return FItems.end();
}

void TFileNameAliases::Define(std::string_view alias, std::string_view fileName) {
    const auto it = std::lower_bound(FItems.begin(), FItems.end(), alias, AliasLess);
    if (it != FItems.end() && AsciiSameText(it->Alias, alias)) {
        FItems[static_cast<std::size_t>(it - FItems.begin())].FileName = std::string(fileName);
        return;
    }
    FItems.insert(it, TFileNameAlias{std::string(alias), std::string(fileName)});
}

void TFileNameAliases::Undefine(std::string_view alias) {
    const auto it = Find(alias);
    if (it != FItems.end()) FItems.erase(it);
}

std::string TFileNameAliases::GetFileName(std::string_view alias) const {
    const auto it = Find(alias);
    return it != FItems.end() ? it->FileName : std::string();
}

bool TFileNameAliases::IsDefined(std::string_view alias) const {
    return Find(alias) != FItems.end();
}

TFileNameAliases& FileNameAliases() {
    static TFileNameAliases instance;
    return instance;
}

} // namespace bw
