// A notice over every scene (the new-award popup): it is neither a scene nor a modal layer,
// takes no input, and goes on whatever scene runs. The frame moves it after each scene tick
// and draws it over the scene and the fade, under the pointer.
#pragma once

#include <memory>

namespace bw {

class ScreenNotice {
public:
    virtual ~ScreenNotice() = default;
    virtual void Tick() {}
    virtual void Draw() {}
};

// Installs the notice (replacing any); null removes it.
void SetScreenNotice(std::unique_ptr<ScreenNotice> notice);
// The installed notice; one that does nothing when none is.
ScreenNotice& TheScreenNotice();

} // namespace bw
