#include "gui/ButtonNames.h"

#include <array>

namespace bw {

const char* ButtonNameText(TButtonName name) {
    static constexpr std::array<const char*, ButtonNameCount> kNames = {
        "button_Nil",
        "button_Game_Menu",
        "button_Game_Help",
        "button_Game_Task",
        "button_Map_Menu",
        "button_Map_Start",
        "button_Map_Level",
        "button_MM_ChoosePlayer",
        "button_MM_MainMenu_Awards",
        "button_MM_MainMenu_Options",
        "button_MM_MainMenu_Credits",
        "button_MM_MainMenu_Exit",
        "button_MM_Options_Ok",
        "button_MM_Options_Back",
        "button_MM_Options_Music_Left",
        "button_MM_Options_Music_Right",
        "button_MM_Options_Music_Drag",
        "button_MM_Options_SoundFx_Left",
        "button_MM_Options_SoundFx_Right",
        "button_MM_Options_SoundFx_Drag",
        "button_MM_Options_FullScreen_CheckBox",
        "button_MM_Options_Cursor_CheckBox",
        "button_MM_Options_Tutorial_CheckBox",
        "button_MM_Options_VSync_CheckBox",
        "button_MM_ChoosePlayer_Back",
        "button_MM_ChoosePlayer_Create",
        "button_MM_ChoosePlayer_Choose",
        "button_MM_ChoosePlayer_Delete",
        "button_MM_ChoosePlayer_ScrollDrag",
        "button_MM_ChoosePlayer_ScrollUp",
        "button_MM_ChoosePlayer_ScrollDown",
        "button_MM_EnterName_Back",
        "button_MM_EnterName_Ok",
        "button_MM_Awards_Back",
        "button_MM_Credits_Back",
        "button_Msg_Continue",
        "button_Msg_Yes",
        "button_Msg_No",
        "button_Msg_Ok",
        "button_Msg_Cancel",
        "button_Result_Restart",
        "button_Result_Continue",
        "button_Result_Exit",
        "button_IGM_Continue",
        "button_IGM_Options",
        "button_IGM_Restart",
        "button_IGM_Map",
        "button_IGM_Exit",
        "button_Help_Back",
        "button_Help_Left",
        "button_Help_Right",
    };
    const auto index = static_cast<std::size_t>(name);
    return index < kNames.size() ? kNames[index] : "button_?";
}

} // namespace bw
