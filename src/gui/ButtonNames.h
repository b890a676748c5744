// The identifier of every GUI button. A screen's hit handler acts on the name of the button
// the pointer is over; the comments name the screen that owns each group.
#pragma once

#include <cstdint>

namespace bw {

enum TButtonName : uint8_t {
    button_Nil = 0, // no action

    // In-game interface.
    button_Game_Menu = 1,
    button_Game_Help = 2,
    button_Game_Task = 3,

    // Level map.
    button_Map_Menu = 4,
    button_Map_Start = 5,
    button_Map_Level = 6,

    // Main menu.
    button_MM_ChoosePlayer = 7,
    button_MM_MainMenu_Awards = 8,
    button_MM_MainMenu_Options = 9,
    button_MM_MainMenu_Credits = 10,
    button_MM_MainMenu_Exit = 11,

    // Options.
    button_MM_Options_Ok = 12,
    button_MM_Options_Back = 13,
    button_MM_Options_Music_Left = 14,
    button_MM_Options_Music_Right = 15,
    button_MM_Options_Music_Drag = 16,
    button_MM_Options_SoundFx_Left = 17,
    button_MM_Options_SoundFx_Right = 18,
    button_MM_Options_SoundFx_Drag = 19,
    button_MM_Options_FullScreen_CheckBox = 20,
    button_MM_Options_Cursor_CheckBox = 21,
    button_MM_Options_Tutorial_CheckBox = 22,
    button_MM_Options_VSync_CheckBox = 23,

    // Player selection.
    button_MM_ChoosePlayer_Back = 24,
    button_MM_ChoosePlayer_Create = 25,
    button_MM_ChoosePlayer_Choose = 26,
    button_MM_ChoosePlayer_Delete = 27,
    button_MM_ChoosePlayer_ScrollDrag = 28,
    button_MM_ChoosePlayer_ScrollUp = 29,
    button_MM_ChoosePlayer_ScrollDown = 30,

    // Name entry.
    button_MM_EnterName_Back = 31,
    button_MM_EnterName_Ok = 32,

    // Awards and credits.
    button_MM_Awards_Back = 33,
    button_MM_Credits_Back = 34,

    // Message boxes.
    button_Msg_Continue = 35,
    button_Msg_Yes = 36,
    button_Msg_No = 37,
    button_Msg_Ok = 38,
    button_Msg_Cancel = 39,

    // Level result.
    button_Result_Restart = 40,
    button_Result_Continue = 41,
    button_Result_Exit = 42,

    // In-game menu.
    button_IGM_Continue = 43,
    button_IGM_Options = 44,
    button_IGM_Restart = 45,
    button_IGM_Map = 46,
    button_IGM_Exit = 47,

    // Help.
    button_Help_Back = 48,
    button_Help_Left = 49,
    button_Help_Right = 50,
};

inline constexpr int ButtonNameCount = 51;

// "button_Game_Menu" and so on, for logs; "button_?" outside the enumeration.
const char* ButtonNameText(TButtonName name);

} // namespace bw
