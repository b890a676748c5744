// The records that hold the player-visible texts and their layout, and the placeholder
// helpers that fill values into them. Texts are UTF-8.
#pragma once

#include "render/Types.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace bw {

// Lines of text, drawn one below the other.
using TTSTextArray = std::vector<std::string>;
// Values for the placeholders "%{0}", "%{1}", ... of a text.
using TTSTextVars = std::vector<std::string>;

// Lines with their layout.
struct TTSText {
    TTSTextArray Text;
    TPoint2 Scale;
    TPoint OffSet;
    int Leading = 0; // line step in pixels
    bool Centered = false;
};

// One paragraph that the drawing code word-wraps to Width.
struct TWrapedTSText {
    std::string Text;
    int Width = 0;
    TPoint2 Scale;
    TPoint OffSet;
    int Leading = 0;
    bool Centered = false;
};

// A button caption and the button's sizing.
struct TTSTextButton {
    TTSTextArray Text;
    TPoint2 Scale;
    TPoint OffSet;
    int Leading = 0;
    bool Centered = false;
    bool ButtonExactSize = false; // stretch the button picture to ButtonWidth
    int ButtonWidth = 0;
    TPoint2 ButtonScale;
    TPoint ButtonOffSet; // where a message box places the button
};

// The text of a message box and the panel around it.
struct TTSTextMessage {
    std::string Text;
    TPoint2 Scale;
    TPoint OffSet;
    int Leading = 0;
    bool Centered = false;
    int Width = 0;
    int PanelTemplate = 0;
    TPoint2 PanelScale;
};

// One speech bubble of a character dialogue.
struct TDialogTSText {
    int Character = 0;
    int Voice = 0;
    float SpeakSpeed = 0.0f;
    uint8_t Direction = 0;
    TPoint Pos;
    TPoint Offset;
    std::string Text;
    int Width = 0;
    TPoint2 Scale;
    int Leading = 0;
    bool Centered = false;
};

// One bubble of the tutorial.
struct TTutorialTSText {
    int Template = 0;
    TPoint Pos;
    TPoint OffSet;
    std::string Text;
    int Width = 0;
    TPoint2 Scale;
    int Leading = 0;
    bool Centered = false;
};

// One block of the credits: a title and the names below it.
struct TTSCreditText {
    std::string Title;
    TTSTextArray Names;
};

// Replaces every "%{N}" (N a decimal number) by value N, counting from 0. A placeholder whose
// number has no value is removed; one whose braces hold anything but a number, or that is not
// closed, stays as written. Inserted values are never scanned for placeholders themselves.
std::string ReplacePlaceholders(std::string_view text, const TTSTextVars& values);
// The same for every line.
TTSTextArray ReplacePlaceholdersInLines(const TTSTextArray& lines, const TTSTextVars& values);

TTSTextVars MakeTextVars(std::string_view a);
TTSTextVars MakeTextVars(std::string_view a, std::string_view b);

} // namespace bw
