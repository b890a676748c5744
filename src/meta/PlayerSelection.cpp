#include "meta/PlayerSelection.h"

#include "Engine/KilnSprite/KilnSprite.h"
#include "audio/SoundEngine.h"
#include "base/GameObjects.h"
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "base/Scene.h"
#include "base/SceneTransition.h"
#include "data/GameFonts.h"
#include "data/KilnFonts.h"
#include "data/TextDatabase.h"
#include "data/Utf16.h"
#include "gui/ButtonProtocol.h"
#include "gui/ButtonSprites.h"
#include "gui/MessageBox.h"
#include "gui/Shade.h"
#include "gui/TextDrawing.h"
#include "meta/MainMenu.h"
#include "meta/Profile.h"
#include "platform/Log.h"
#include "platform/SdlWindow.h"
#include "render/DisplayState.h"

#include <algorithm>
#include <cmath>

namespace bw {

namespace {

constexpr TColor2 PanelText{0xFFFFFFFF, 0xFFF7FFE1};
constexpr TColor2 SelectedName{0xFFCBFF97, 0xFFCBFF97};
constexpr float HandleTravel = 113;
constexpr float NameScale = 0.82f;
constexpr float NameFieldWidth = 210;

// ---- Shared pieces ----

template <class Button> Button* StylePanelButton(Button* b, TButtonName name, int z) {
    b->SetButtonName(name);
    b->SetLightFadeSpeed(7.0f);
    b->SetZ(z);
    return b;
}

TSimpleButtonSprite* AddPictureButton(const char* image, TButtonName name, TPoint2 pos, int z) {
    auto* b = StylePanelButton(new TSimpleButtonSprite(MainEngine), name, z);
    b->SetButtonImage(image);
    b->SetPosition(pos);
    b->UpdateCollisionParameters();
    return b;
}

TButtonSprite2* AddTextButton(const char* textKey, TButtonName name, TPoint2 pos, int z) {
    auto* b = StylePanelButton(new TButtonSprite2(MainEngine), name, z);
    StyleGoldButton(*b, ToonFont);
    b->SetParameters(Texts().Button(textKey));
    b->SetPosition(pos);
    b->UpdateCollisionParameters();
    return b;
}

TKilnFont* Shadow() {
    return Fonts ? Fonts->Font(ShadowFont) : nullptr;
}

// The width of a text in design units with the font at `scale`.
float DesignWidth(TKilnFont& font, std::string_view text, float scale) {
    const TPoint2 saved = font.FScale;
    font.FScale = TPoint2{scale, scale};
    const float w = font.TextWidth(text) / std::max(DisplayScale.x, 0.0001f);
    font.FScale = saved;
    return w;
}

void DrawLine(TKilnFont* font, const std::string& text, TPoint2 pos, float scale, bool centred,
              TColor2 colors, float alpha = 1.0f) {
    if (!font) return;
    const TPoint2 saved = font->FScale;
    font->FScale = TPoint2{scale, scale};
    font->TextOut(pos, text, centred, alpha, colors);
    font->FScale = saved;
}

void DrawTitle(const char* key, TPoint2 centre) {
    TTSText title = Texts().Text(key);
    title.Centered = true;
    DrawTSText(Shadow(), title, centre, 1.0f, PanelText);
}

// ---- The player selection ----

class TChoosePlayerPanel final : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;
    void DoDraw() override;
};

class TCP_HighLightedLine final : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;
};

class TChoosePlayerSimpleButton final : public TSimpleButtonSprite {
public:
    using TSimpleButtonSprite::TSimpleButtonSprite;
};

class TChoosePlayerButton2 final : public TButtonSprite2 {
public:
    using TButtonSprite2::TButtonSprite2;
};

// The scroll bar: the slot, its handle and its two arrows.
class TChoosePlayerScrollbar final : public TAnimatedSprite {
public:
    explicit TChoosePlayerScrollbar(TSprite* parent) : TAnimatedSprite(parent) {
        SetImageName("cp_scroll_bar.image");
        FX = PlayerPanelPos.x + 569;
        FY = PlayerPanelPos.y + 134;
        SetZ(2001);
        FDragSprite = AddPictureButton("cp_scroll_drag.image", button_MM_ChoosePlayer_ScrollDrag,
                                       {FX + 5, FY + 5}, 2002);
        FUpSprite = AddPictureButton("cp_scroll_up.image", button_MM_ChoosePlayer_ScrollUp,
                                     {FX + 3, FY - 32}, 2002);
        FDownSprite = AddPictureButton("cp_scroll_down.image", button_MM_ChoosePlayer_ScrollDown,
                                       {FX + 3, FY + 153}, 2002);
        FRange = TPoint2{FY + 5, FY + 118};
    }
    TSimpleButtonSprite* FDragSprite;
    TSimpleButtonSprite* FUpSprite;
    TSimpleButtonSprite* FDownSprite;
    TPoint2 FRange; // the top and bottom of the handle's travel

    void Kill() {
        FDragSprite->Kill();
        FUpSprite->Kill();
        FDownSprite->Kill();
        Dead();
    }
};

struct Selection {
    bool open = false;
    int offset = 0;
    int selected = -1; // index in ProfilesList
    bool dragging = false;
    TChoosePlayerPanel* panel = nullptr;
    TAnimatedSprite* shade = nullptr;
    TCP_HighLightedLine* lines[PlayerRows] = {};
    TChoosePlayerScrollbar* bar = nullptr;
    TSimpleButtonSprite* back = nullptr;
    TButtonSprite2* choose = nullptr;
    TButtonSprite2* create = nullptr;
    TButtonSprite2* remove = nullptr;
};

Selection Sel;

int ProfileCount() {
    return static_cast<int>(ProfilesList.size());
}

void TChoosePlayerPanel::DoDraw() {
    TAnimatedSprite::DoDraw();
    TKilnFont* font = Shadow();
    if (!font) return;
    DrawTitle("cp_Title", {FX + 345, FY + 35});
    const int rows = ShownRows(ProfileCount(), Sel.offset);
    for (int k = 0; k < rows; ++k) {
        const int index = Sel.offset + k;
        const std::string& name = ProfilesList[static_cast<size_t>(index)].Caption;
        if (index == Sel.selected)
            DrawLine(font, name, {FX + 90, FY + 102 + 30.0f * k}, 0.8f, false, SelectedName);
        else
            DrawLine(font, name, {FX + 92, FY + 105 + 30.0f * k}, 0.7f, false, PanelText);
    }
}

void UpdateSelectionButtons() {
    const bool any = Sel.selected >= 0 && Sel.selected < ProfileCount();
    if (Sel.choose) Sel.choose->SetEnabled(any);
    if (Sel.remove) Sel.remove->SetEnabled(any);
}

void PlaceScrollHandle() {
    if (!Sel.bar) return;
    const int count = ProfileCount();
    TSimpleButtonSprite* handle = Sel.bar->FDragSprite;
    const bool shown = ScrollHandleShown(count);
    handle->FVisible = shown;
    if (shown && !Sel.dragging)
        handle->SetPosition({handle->Position().x, ScrollHandleY(Sel.offset, count, Sel.bar->FY)});
    handle->UpdateCollisionParameters();
    handle->FCollisioned = shown;
}

void Scroll(int by) {
    Sel.offset = std::clamp(Sel.offset + by, 0, MaxScrollOffset(ProfileCount()));
    PlaceScrollHandle();
}

void ChooseProfile(int index) {
    if (index < 0 || index >= ProfileCount()) return;
    const TProfileCaption profile = ProfilesList[static_cast<size_t>(index)];
    ClosePlayerSelection();
    LoadProfile(profile.FileName);
}

void DeleteSelectedProfile() {
    if (Sel.selected < 0 || Sel.selected >= ProfileCount()) return;
    const std::string file = ProfilesList[static_cast<size_t>(Sel.selected)].FileName;
    DeleteProfile(file);
    Sel.offset = 0;
    Sel.selected = -1;
    UpdateSelectionButtons();
    PlaceScrollHandle();
}

void SelectionButton(TButtonName name) {
    switch (name) {
    case button_MM_ChoosePlayer_Back:
        if (ProfileCount() == 0)
            OpenNotice("msg_noprofiles");
        else
            ClosePlayerSelection();
        break;
    case button_MM_ChoosePlayer_Create:
        if (ProfileCount() >= MaxProfiles) {
            OpenNotice("msg_profilescount");
        } else {
            ClosePlayerSelection();
            OpenNameEntry();
        }
        break;
    case button_MM_ChoosePlayer_Choose:
        ChooseProfile(Sel.selected);
        break;
    case button_MM_ChoosePlayer_Delete:
        if (Sel.selected >= 0)
            OpenMessage(message_cp_deleteprofile, MessageLayoutYesNo, "msg_deleteprofile");
        break;
    case button_MM_ChoosePlayer_ScrollUp:
        Scroll(-1);
        break;
    case button_MM_ChoosePlayer_ScrollDown:
        Scroll(1);
        break;
    default:
        break;
    }
}

// ---- The name entry ----

class TEnterNamePanel final : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;
    double FBlinkSymbolAlpha = -255;

    void DoMove(float moveCount) override {
        TAnimatedSprite::DoMove(moveCount);
        FBlinkSymbolAlpha += 25;
        if (FBlinkSymbolAlpha > 255) FBlinkSymbolAlpha = -255;
    }
    void DoDraw() override;
};

class TEnterNameSimpleButton final : public TSimpleButtonSprite {
public:
    using TSimpleButtonSprite::TSimpleButtonSprite;
};

struct NameEntry {
    bool open = false;
    std::string text;
    TEnterNamePanel* panel = nullptr;
    TAnimatedSprite* shade = nullptr;
    TSimpleButtonSprite* back = nullptr;
    TSimpleButtonSprite* ok = nullptr;
};

NameEntry Entry;

void TEnterNamePanel::DoDraw() {
    TAnimatedSprite::DoDraw();
    TKilnFont* font = Shadow();
    if (!font) return;
    DrawTitle("en_Title", {FX + 345, FY + 30});
    const TPoint2 centre{FX + 345, FY + 125};
    DrawLine(font, Entry.text, centre, NameScale, true, PanelText);
    // The caret follows the last character (typing always happens at the end).
    const float width = DesignWidth(*font, Entry.text, NameScale);
    const float alpha = static_cast<float>(std::min(std::fabs(FBlinkSymbolAlpha), 255.0)) / 255;
    const float caret = DesignWidth(*font, "_", NameScale);
    DrawLine(font, "_", {centre.x + width / 2 + caret / 2 + 1, FY + 128}, NameScale, true,
             TColor2{0xFFFFFFFF, 0xFFF7FFE1}, alpha);
}

void ConfirmName() {
    const std::string name = Entry.text;
    if (name.empty() || TrimLeadingBlanks(name).empty()) {
        OpenNotice("msg_profileempty");
        return;
    }
    if (ProfileNameExists(name)) {
        OpenNotice("msg_profilename");
        return;
    }
    if (!CreateProfile(name)) {
        // Nothing could be written: the player keeps typing rather than playing unsaved.
        WriteLog("The new profile could not be saved", 1);
        OpenNotice("msg_profileempty");
        return;
    }
    ProfilesList = ListProfiles();
    CloseNameEntry();
    CurrentScene = scene_MainMenu;
}

void NameEntryButton(TButtonName name) {
    switch (name) {
    case button_MM_EnterName_Ok:
        ConfirmName();
        break;
    case button_MM_EnterName_Back:
        CloseNameEntry();
        OpenPlayerSelection();
        break;
    default:
        break;
    }
}

// ---- Scenes ----

class PlayerSelectionScene final : public Scene {
public:
    void Tick() override {
        TickScenesBelow();
        PlayerSelectionUpdate();
        MoveMainEngine();
        if (!TransitionVisible()) RunHitTest();
    }
    void Hit(TSprite& sprite) override { PlayerSelectionInput(sprite); }
    void Press() override {
        if (!Sel.bar || MessageShown()) return;
        TSimpleButtonSprite* handle = Sel.bar->FDragSprite;
        const TRect r = handle->FCollideRect;
        if (handle->FVisible && MouseX >= r.left && MouseX < r.right && MouseY >= r.top &&
            MouseY < r.bottom)
            Sel.dragging = true;
    }
    void Release() override {
        Sel.dragging = false;
        MouseButtonDown = false;
    }
    void Escape() override {
        if (ProfileCount() > 0)
            ClosePlayerSelection();
        else
            OpenNotice("msg_noprofiles");
    }
    void ForgetSprites() override { Sel = Selection{}; }
};

class NameEntryScene final : public Scene {
public:
    void Tick() override {
        TickScenesBelow();
        FadeShadeIn(Entry.shade, 175);
        MoveMainEngine();
        if (!TransitionVisible()) RunHitTest();
    }
    void Hit(TSprite& sprite) override { NameEntryInput(sprite); }
    void Release() override { MouseButtonDown = false; }
    void Escape() override { EnterNameEditKeyPress(Key::Escape); }
    void TextInput(const std::string& text) override {
        if (!MessageShown()) EnterNameEditChange(text);
    }
    void EditKey(Key key) override { EnterNameEditKeyPress(key); }
    void ForgetSprites() override { Entry = NameEntry{}; }
};

} // namespace

// ---- Arithmetic ----

int MaxScrollOffset(int count) {
    return std::max(0, count - PlayerRows);
}

int ShownRows(int count, int offset) {
    if (count > PlayerRows - 1) return std::clamp(count - offset, 0, PlayerRows);
    return std::max(count, 0);
}

bool ScrollHandleShown(int count) {
    return count > PlayerRows;
}

float ScrollHandleY(int offset, int count, float barY) {
    const int range = count - PlayerRows;
    if (range <= 0) return barY + 5;
    const double share = std::min(static_cast<double>(offset) / range, 1.0);
    return static_cast<float>(barY + 5 + HandleTravel * std::max(share, 0.0));
}

int ScrollOffsetForHandle(float handleY, float barY, int count) {
    const int range = count - PlayerRows;
    if (range <= 0) return 0;
    const long offset = std::lround(range * (handleY - barY - 5) / HandleTravel);
    return static_cast<int>(std::clamp(offset, 0L, static_cast<long>(range)));
}

float DraggedHandleY(double pointerY, float handleHeight, float barY) {
    const double y = pointerY - handleHeight / 2;
    return static_cast<float>(
        std::clamp(y, static_cast<double>(barY + 5), static_cast<double>(barY + 5 + HandleTravel)));
}

int HoveredRow(TPoint2 pointer, TPoint2 panel, int rows) {
    int hovered = -1;
    for (int k = 0; k < rows; ++k) {
        const float top = panel.y + 105 + 30.0f * k;
        if (pointer.x >= panel.x + 85 && pointer.x <= panel.x + 535 && pointer.y >= top &&
            pointer.y <= top + 36)
            hovered = k;
    }
    return hovered;
}

bool NameKeyAccepted(char32_t c) {
    if (c > 0xBF) return IsProfileNameChar(c);
    // Control characters (a name is one line of a file) and the C1 range.
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return false;
    if ((c >= 0x21 && c <= 0x2F) || (c >= 0x3A && c <= 0x40) || (c >= 0x5B && c <= 0x60) ||
        (c >= 0x7B && c <= 0x7E))
        return false;
    if ((c >= 0xA4 && c <= 0xA7) || c == 0xA9 || (c >= 0xAB && c <= 0xB1) || c == 0xB7 ||
        c == 0xB9 || c == 0xBB)
        return false;
    return true;
}

bool NameFitsField(const std::string& name) {
    // However narrow its characters, a name stays within what a profile file holds.
    if (ProfileNameLength(name) > MaxProfileNameLength) return false;
    TKilnFont* font = Shadow();
    if (!font) return name.size() <= 24;
    return DesignWidth(*font, name, NameScale) <= NameFieldWidth;
}

// ---- The player selection ----

void OpenPlayerSelection() {
    if (!MainEngine) return;
    if (Sel.open) ClosePlayerSelection();
    WriteLog("Creating chooseplayer...", 1);
    Sel = Selection{};
    Sel.open = true;
    const TPoint2 p = PlayerPanelPos;
    Sel.panel = new TChoosePlayerPanel(MainEngine);
    Sel.panel->SetImageName("cp_panel.image");
    Sel.panel->FX = p.x;
    Sel.panel->FY = p.y;
    Sel.panel->SetZ(2000);
    // The panel takes the pointer, so its rows are reached by the hit test.
    Sel.panel->FCollisioned = true;
    Sel.panel->FCollideMode = cmRect;
    Sel.panel->FCollideRect = TRect{static_cast<int>(p.x), static_cast<int>(p.y),
                                    static_cast<int>(p.x) + Sel.panel->GetImageWidth(),
                                    static_cast<int>(p.y) + Sel.panel->GetImageHeight()};
    Sel.shade = CreateShade(MainEngine, 1999);
    for (int i = 0; i < PlayerRows; ++i) {
        auto* line = new TCP_HighLightedLine(MainEngine);
        line->SetImageName("cp_highlighted_line.image");
        line->FX = p.x + 85;
        line->FY = p.y + 105 + 30.0f * i;
        line->SetZ(2001);
        line->FEffect = beAdd;
        line->FAlpha = 0;
        line->FVisible = false;
        Sel.lines[i] = line;
    }
    Sel.back = AddPictureButton("MM_Options_Back_Button.image", button_MM_ChoosePlayer_Back,
                                {p.x + 590, p.y + 360}, 2001);
    Sel.choose = AddTextButton("cp_Choose_Button", button_MM_ChoosePlayer_Choose,
                               {p.x + 215, p.y + 344}, 2001);
    Sel.create = AddTextButton("cp_Create_Button", button_MM_ChoosePlayer_Create,
                               {p.x + 54, p.y + 354}, 2001);
    Sel.remove = AddTextButton("cp_Delete_Button", button_MM_ChoosePlayer_Delete,
                               {p.x + 428, p.y + 354}, 2001);
    Sel.bar = new TChoosePlayerScrollbar(MainEngine);
    UpdateSelectionButtons();
    PlaceScrollHandle();
    OpenOver(scene_ChoosePlayer, Beneath::Lives);
}

void ClosePlayerSelection() {
    if (!Sel.open) return;
    WriteLog("Destroying chooseplayer...", 1);
    CloseOver(scene_ChoosePlayer);
    if (Sel.panel) Sel.panel->Dead();
    if (Sel.shade) Sel.shade->Dead();
    for (auto* line : Sel.lines)
        if (line) line->Dead();
    if (Sel.bar) Sel.bar->Kill();
    for (TGlowButtonSprite* b :
         std::initializer_list<TGlowButtonSprite*>{Sel.back, Sel.choose, Sel.create, Sel.remove})
        if (b) b->Kill();
    Sel = Selection{};
    SaveOptions();
}

bool PlayerSelectionOpen() {
    return Sel.open;
}

int PlayerSelectionOffset() {
    return Sel.offset;
}

int SelectedProfileIndex() {
    return Sel.selected;
}

void SetPlayerSelectionShadeAlpha(int alpha) {
    if (Sel.shade) Sel.shade->FAlpha = alpha;
}

void RefreshPlayerSelection() {
    if (!Sel.open) return;
    Sel.offset = 0;
    Sel.selected = -1;
    UpdateSelectionButtons();
    PlaceScrollHandle();
}

void PlayerSelectionUpdate() {
    if (!Sel.open) return;
    FadeShadeIn(Sel.shade, 125);
    const int count = ProfileCount();
    if (Sel.dragging && Sel.bar && MouseButtonDown) {
        TSimpleButtonSprite* handle = Sel.bar->FDragSprite;
        const float y =
            DraggedHandleY(MouseY, static_cast<float>(handle->GetImageHeight()), Sel.bar->FY);
        handle->SetPosition({handle->Position().x, y});
        handle->UpdateCollisionParameters();
        Sel.offset = ScrollOffsetForHandle(y, Sel.bar->FY, count);
        return;
    }
    Sel.dragging = false;
    for (auto* line : Sel.lines) {
        if (!line) continue;
        line->FAlpha = std::max(0, line->FAlpha - 15);
        if (line->FAlpha == 0) line->FVisible = false;
    }
}

namespace {

// The pointer over the panel: the row under it lights up, a click selects or deselects it, a
// double click chooses it.
void RowInput() {
    if (Sel.dragging || MessageShown()) return;
    const int rows = ShownRows(ProfileCount(), Sel.offset);
    const int row =
        HoveredRow({static_cast<float>(MouseX), static_cast<float>(MouseY)}, PlayerPanelPos, rows);
    if (row < 0) return;
    TCP_HighLightedLine* line = Sel.lines[row];
    if (line->FAlpha <= 50) SfxByName(ButtonOverSound);
    line->FVisible = true;
    line->FAlpha = 90;
    const int index = Sel.offset + row;
    if (MouseDblClicked) {
        MouseDblClicked = false;
        MouseClicked = false;
        ChooseProfile(index);
        return;
    }
    if (MouseClicked) {
        MouseClicked = false;
        Sel.selected = Sel.selected == index ? -1 : index;
        UpdateSelectionButtons();
    }
}

} // namespace

void PlayerSelectionInput(TSprite& sprite) {
    if (!Sel.open) return;
    if (&sprite == Sel.panel)
        RowInput();
    else
        HandleButtonHit(sprite, PanelButtonHover, SelectionButton);
}

// ---- The name entry ----

void OpenNameEntry() {
    if (!MainEngine) return;
    if (Entry.open) CloseNameEntry();
    WriteLog("Creating entername...", 1);
    Entry = NameEntry{};
    Entry.open = true;
    const TPoint2 p = NamePanelPos;
    Entry.panel = new TEnterNamePanel(MainEngine);
    Entry.panel->SetImageName("en_Panel.image");
    Entry.panel->FX = p.x;
    Entry.panel->FY = p.y;
    Entry.panel->SetZ(2100);
    Entry.shade = CreateShade(MainEngine, 2099);
    Entry.back = AddPictureButton("MM_Options_Back_Button.image", button_MM_EnterName_Back,
                                  {p.x + 355, p.y + 178}, 2101);
    Entry.ok = AddPictureButton("button_simple_ok.image", button_MM_EnterName_Ok,
                                {p.x + 245, p.y + 178}, 2101);
    if (MainWindow) MainWindow->StartTextInput();
    Entry.text = DefaultProfileName();
    OpenOver(scene_EnterName, Beneath::Lives);
}

void CloseNameEntry() {
    if (!Entry.open) return;
    WriteLog("Destroying entername...", 1);
    CloseOver(scene_EnterName);
    if (Entry.panel) Entry.panel->Dead();
    if (Entry.shade) Entry.shade->Dead();
    if (Entry.back) Entry.back->Kill();
    if (Entry.ok) Entry.ok->Kill();
    Entry = NameEntry{};
    SaveOptions();
    if (MainWindow) MainWindow->StopTextInput();
}

bool NameEntryOpen() {
    return Entry.open;
}

void NameEntryInput(TSprite& sprite) {
    if (!Entry.open) return;
    HandleButtonHit(sprite, PanelButtonHover, NameEntryButton);
}

const std::string& EnterNameText() {
    return Entry.text;
}

void EnterNameEditChange(const std::string& typed) {
    if (!Entry.open) return;
    const std::u16string units = Utf8ToUtf16(typed);
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        if (!NameKeyAccepted(c)) continue;
        std::string longer = Entry.text;
        AppendUtf8(longer, static_cast<uint32_t>(c));
        // One more character only while the name still fits its field.
        if (!NameFitsField(longer)) break;
        Entry.text = TrimLeadingBlanks(longer);
    }
}

void EnterNameEditKeyPress(Key key) {
    if (!Entry.open || MessageShown()) return;
    switch (key) {
    case Key::Escape:
        CloseNameEntry();
        OpenPlayerSelection();
        SetPlayerSelectionShadeAlpha(125);
        break;
    case Key::Enter:
        ConfirmName();
        break;
    case Key::Backspace: {
        // Removes the last character, with all its bytes.
        std::string& t = Entry.text;
        if (t.empty()) break;
        size_t cut = t.size() - 1;
        while (cut > 0 && (static_cast<unsigned char>(t[cut]) & 0xC0) == 0x80) --cut;
        t.erase(cut);
        break;
    }
    default:
        break;
    }
}

void ConnectProfileScreens() {
    ProfileHooks.ShowMessage = [](const std::string& key, const std::string& name) {
        OpenNotice(key, MakeTextVars(name));
    };
    ProfileHooks.OpenNameEntry = [] {
        ClosePlayerSelection();
        OpenNameEntry();
    };
    ProfileHooks.DefaultNameText = [] { return GameText("Default_Player_Name"); };
    SetMessageYesAction(message_cp_deleteprofile, DeleteSelectedProfile);
}

std::unique_ptr<Scene> MakePlayerSelectionScene() {
    return std::make_unique<PlayerSelectionScene>();
}

std::unique_ptr<Scene> MakeNameEntryScene() {
    return std::make_unique<NameEntryScene>();
}

} // namespace bw
