// Plain pictures of the options screen's sizes, for tests that must reach its controls with
// the pointer whatever pictures the data holds.
#pragma once

#include "data/KilnImages.h"
#include "gui/GuiTestSupport.h"

#include <tuple>

namespace bw::test {

// Adds each picture of the options screen that `images` does not hold yet.
inline void AddOptionsPictures(TKilnImages& images) {
    for (auto [name, w, h] : {std::tuple{"MM_Options_Panel.image", 670, 580},
                              {"MM_Options_Scrollbar_Panel.image", 304, 30},
                              {"MM_Options_Scrollbar_Left.image", 36, 30},
                              {"MM_Options_Scrollbar_Right.image", 36, 30},
                              {"MM_Options_Scrollbar_Drag.image", 30, 22},
                              {"MM_Options_Checkbox_empty.image", 40, 40},
                              {"MM_Options_Checkbox_checked.image", 40, 40},
                              {"MM_Options_Back_Button.image", 120, 60},
                              {"blackpixel.image", 1, 1}})
        if (images.IndexOf(name) < 0) images.AddFromPixels(MakePicture(name, w, h));
}

} // namespace bw::test
