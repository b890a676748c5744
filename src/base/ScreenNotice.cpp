#include "base/ScreenNotice.h"

namespace bw {

namespace {

std::unique_ptr<ScreenNotice>& Installed() {
    static std::unique_ptr<ScreenNotice> notice;
    return notice;
}

} // namespace

void SetScreenNotice(std::unique_ptr<ScreenNotice> notice) {
    Installed() = std::move(notice);
}

ScreenNotice& TheScreenNotice() {
    static ScreenNotice none;
    return Installed() ? *Installed() : none;
}

} // namespace bw
