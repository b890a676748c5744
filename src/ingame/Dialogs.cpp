#include "ingame/Dialogs.h"

#include "audio/SoundEngine.h"
#include "base/GameObjects.h"
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "base/Player.h"
#include "data/GameFonts.h"
#include "data/KilnFonts.h"
#include "data/TextDatabase.h"
#include "gui/TextDrawing.h"
#include "ingame/DialogCharacters.h"
#include "ingame/DialogMotion.h"
#include "platform/Log.h"

#include <cmath>
#include <string>

namespace bw {

namespace {

constexpr int PanelZ = 7000;
constexpr int BodyZStep = 10;
constexpr TColor2 TextColors{0xFFFFFFFF, 0xFFF3B3FF};
constexpr double TimeCounterLimit = 31400.0;
constexpr float TalkingBeakSpeed = 129.0f;

struct DialogState {
    TDialogPanel* panel = nullptr;
    std::vector<TDialogTransformObject*> parts;
    const DialogCharacterSpec* character = nullptr;
    bool shown = false;
    bool skipRelease = false;
    int list = 0;
    int line = 0;
    std::vector<TDialogTSText> lines; // a copy: the texts may be read again meanwhile
    int voiceIndex = -1;
};
DialogState State;

std::string Where() {
    return "Dialog of level " + std::to_string(State.list) + ", line " +
           std::to_string(State.line) + ": ";
}

float& Coord(TAnimatedSprite& s, int index) {
    float* coords[8] = {&s.FX1, &s.FY1, &s.FX2, &s.FY2, &s.FX3, &s.FY3, &s.FX4, &s.FY4};
    return *coords[index & 7];
}

TDialogTransformObject* AddDialogPart(const std::string& picture, TPoint2 pos, int z,
                                      const TTransformInfoClass& sway, std::string& missing) {
    auto* part = new TDialogTransformObject(MainEngine);
    part->FIndex = static_cast<int>(State.parts.size());
    State.parts.push_back(part);
    part->SetImageName(picture);
    if (!part->FImage) missing += (missing.empty() ? "" : ", ") + picture;
    part->FX = std::round(pos.x);
    part->FY = std::round(pos.y);
    part->FStartPos = TPoint2{part->FX, part->FY};
    part->SetZ(z);
    part->FScaleX = 1;
    part->FScaleY = 1;
    part->FMotionSpeed = TPoint2{0, 0};
    part->FTransformInfo = sway;
    part->Calculate4Coords();
    for (int i = 0; i < 8; ++i) part->FStartCoords[static_cast<size_t>(i)] = Coord(*part, i);
    return part;
}

void Assemble(const DialogCharacterSpec& c, float restY) {
    std::string missing;
    const TPoint2 body{c.bodyX, restY + c.bodyDY};
    const int bodyZ = PanelZ + BodyZStep;
    AddDialogPart(c.prefix + "body" + (c.prefix == "dialog_boss_1_" ? "1" : "") + ".image", body,
                  bodyZ, c.bodySway, missing);
    for (const DialogPartSpec& p : c.parts)
        AddDialogPart(c.prefix + p.name + ".image", TPoint2{body.x + p.dx, body.y + p.dy},
                      bodyZ + p.zStep, p.sway, missing);
    if (!missing.empty()) WriteLog(Where() + "pictures missing: " + missing, 1);
}

void RemoveLine() {
    if (State.voiceIndex >= 0) Sfx(msg_Stop, State.voiceIndex);
    State.voiceIndex = -1;
    for (TDialogTransformObject* part : State.parts) part->Dead();
    State.parts.clear();
    if (State.panel) State.panel->Dead();
    State.panel = nullptr;
    State.character = nullptr;
}

TTSText Wrapped(const TDialogTSText& d) {
    TTSText text;
    text.Scale = d.Scale;
    text.OffSet = d.Offset;
    text.Leading = d.Leading;
    text.Centered = d.Centered;
    TKilnFont* font = Fonts ? Fonts->Font(ShadowFont) : nullptr;
    if (font && d.Width > 0) {
        const TPoint2 saved = font->FScale;
        font->FScale = d.Scale;
        text.Text = font->GetWordWrapedTextFromString(d.Text, static_cast<float>(d.Width));
        font->FScale = saved;
    } else {
        text.Text = {d.Text};
    }
    return text;
}

// Shows line `State.line` of the list. A line that names no known character shows its text
// alone; a voice that does not exist stays silent; a direction that is neither left nor
// right puts the panel in place at once, so it can always be clicked away.
void ShowLine() {
    const TDialogTSText& d = State.lines[static_cast<size_t>(State.line - 1)];
    auto* panel = new TDialogPanel(MainEngine);
    State.panel = panel;
    panel->FCharacter = d.Character;
    panel->FVoice = d.Voice;
    panel->FSpeakSpeed = d.SpeakSpeed;
    if ((d.Voice < 1 || d.Voice > 8) && d.Voice != DialogSilentVoice) {
        WriteLog(Where() + "voice " + std::to_string(d.Voice) + " does not exist; it stays silent",
                 1);
        panel->FVoice = DialogSilentVoice;
    }
    panel->FText = Wrapped(d);
    panel->SetZ(PanelZ);
    panel->SetImageName("dialog_panel.image");
    if (!panel->FImage) WriteLog(Where() + "picture missing: dialog_panel.image", 1);
    panel->FStartPos = TPoint2{static_cast<float>(d.Pos.x), static_cast<float>(d.Pos.y)};
    panel->FDirection = d.Direction;
    panel->FAnimStage = 0;
    panel->FX = DialogSlideStart(panel->FStartPos.x, d.Direction);
    if (d.Direction == 0)
        SfxByName("sfx_dialog_left");
    else if (d.Direction == 1)
        SfxByName("sfx_dialog_right");
    else
        WriteLog(Where() + "direction " + std::to_string(d.Direction) +
                     " is neither 0 nor 1; the panel stands in place",
                 1);
    State.character = DialogCharacter(d.Character);
    if (State.character)
        Assemble(*State.character, panel->FStartPos.y);
    else
        WriteLog(Where() + "character " + std::to_string(d.Character) +
                     " is not 1..4; the line shows without one",
                 1);
    panel->FTimeCounter = 0;
    panel->FY = panel->FStartPos.y;
    panel->FSpeed = 5;
    panel->SetAlpha(0);
    for (TDialogTransformObject* part : State.parts) part->SetAlpha(0);
}

// The boss's mouth opens only as it talks.
bool HiddenUntilTalking(const TDialogTransformObject& part) {
    return State.character && State.character->followX && State.character->talk1 > 0 &&
           part.FIndex == State.character->talk1;
}

TDialogTransformObject* Part(int index) {
    return index > 0 && index < static_cast<int>(State.parts.size())
               ? State.parts[static_cast<size_t>(index)]
               : nullptr;
}

// The body's sway carried to the other parts.
void FollowBody(const TDialogPanel& panel) {
    const DialogCharacterSpec* c = State.character;
    if (!c || State.parts.empty()) return;
    if (c->followX && (panel.FAnimStage < 2 || panel.FAnimStage > 4)) return;
    TDialogTransformObject& body = *State.parts[0];
    const float d =
        Coord(body, c->followCoord) - body.FStartCoords[static_cast<size_t>(c->followCoord & 7)];
    for (size_t i = 1; i < State.parts.size() && i - 1 < c->parts.size(); ++i) {
        TDialogTransformObject& part = *State.parts[i];
        const float k = c->parts[i - 1].follow;
        if (c->followX)
            part.FX = part.FStartPos.x + k * d;
        else
            part.FY = part.FStartPos.y + k * d;
    }
}

void Talk(TDialogPanel& panel) {
    const DialogCharacterSpec* c = State.character;
    if (!c || panel.FAnimStage < 1) return;
    const bool silent = panel.FVoice == DialogSilentVoice || !SfxPlaying(State.voiceIndex);
    const int stage = panel.FAnimStage;
    TDialogTransformObject* beak1 = Part(c->talk1);
    TDialogTransformObject* beak2 = Part(c->talk2);
    switch (panel.FCharacter) {
    case 1:
    case 2:
        if (!beak1 || !beak2) break;
        if (stage == 1) {
            for (TDialogTransformObject* beak : {beak1, beak2})
                beak->FMotionCounter += panel.FSpeakSpeed * 0.1f;
            const float s1 = DialogBeakSwing(beak1->FMotionCounter);
            const float s2 = DialogBeakSwing(beak2->FMotionCounter);
            beak1->FY += s1;
            beak1->FX = beak1->FStartPos.x - s1;
            beak2->FY -= s2;
            beak2->FX = beak2->FStartPos.x + s2;
        } else {
            beak1->FY += 2;
            beak2->FY -= 2;
            beak1->FX = beak1->FStartPos.x - (panel.FCharacter == 1 ? 2.0f : 0.0f);
            beak2->FX = beak2->FStartPos.x + 2;
        }
        break;
    case 3:
        if (!beak1 || !beak2) break;
        if (stage == 1) {
            const double speed = TalkingBeakSpeed * panel.FSpeakSpeed;
            beak1->FTransformInfo = DialogTalkingBeak(8, speed);
            beak2->FTransformInfo = DialogTalkingBeak(-6, speed);
        } else if (stage == 2) {
            beak1->FTransformInfo = c->parts[static_cast<size_t>(c->talk1 - 1)].sway;
            beak2->FTransformInfo = c->parts[static_cast<size_t>(c->talk2 - 1)].sway;
        }
        break;
    case 4:
        if (stage == 1) {
            if (!State.parts.empty()) {
                TDialogTransformObject& body = *State.parts[0];
                body.FStartCoords[static_cast<size_t>(c->followCoord & 7)] =
                    Coord(body, c->followCoord);
            }
            for (TDialogTransformObject* part : State.parts)
                part->FStartPos = TPoint2{part->FX, part->FY};
        } else if (stage == 2 && beak1) {
            beak1->FMotionCounter += 0.1f;
            const int alpha = DialogMouthAlpha(beak1->FMotionCounter, panel.FSpeakSpeed);
            beak1->SetAlpha(alpha);
            beak1->FScaleY = static_cast<float>(alpha) / 256;
            beak1->FY = beak1->FStartPos.y -
                        static_cast<float>(beak1->GetImageHeight()) * beak1->FScaleY / 2 + 12;
        }
        break;
    default:
        break;
    }
    panel.FAnimStage = DialogNextTalkStage(panel.FCharacter, stage, silent);
    // The boss shuts its mouth when it stops talking, with a voice or without.
    if (panel.FCharacter == 4 && stage == 2 && panel.FAnimStage != 2 && beak1) beak1->SetAlpha(0);
}

class DialogLayer final : public ModalLayer {
public:
    bool Shown() const override { return State.shown; }
    bool BlocksBoard() const override { return State.shown; }
    bool BlocksHitTest() const override { return State.shown; }
    void Command(TTS_Message message) override {
        if (message == msg_Create) StartLevelDialog();
        if (message == msg_Destroy && State.shown) DialogControl(msg_Destroy);
    }
    // Nothing under the dialog answers the pointer.
    bool Hit(TSprite&) override { return State.shown; }
    bool Press() override { return State.shown; }
    bool Release() override {
        if (!State.shown && !State.skipRelease) return false;
        State.skipRelease = State.shown;
        return true;
    }
    bool Click() override {
        if (!State.shown) return false;
        DialogClick();
        return true;
    }
    bool Escape() override {
        if (!State.shown) return false;
        DialogClick();
        return true;
    }
};

} // namespace

void TDialogPanel::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    FTimeCounter += 0.1;
    if (FTimeCounter > TimeCounterLimit) FTimeCounter = 0;
    if (this != State.panel) return;
    if (FAnimStage == 0) {
        const bool arrived = DialogSlideStep(FX, FStartPos.x, FDirection, FSpeed);
        const int alpha = DialogSlideAlpha(FX, FStartPos.x);
        SetAlpha(alpha);
        for (TDialogTransformObject* part : State.parts) {
            if (!HiddenUntilTalking(*part)) part->SetAlpha(alpha);
            part->FX = FX + part->FStartPos.x;
        }
        if (arrived) {
            if (FVoice != DialogSilentVoice) {
                State.voiceIndex = SfxIndex("sfx_dialog_voice_" + std::to_string(FVoice));
                SfxByName("sfx_dialog_voice_" + std::to_string(FVoice));
            }
            FAnimStage = 1;
            for (TDialogTransformObject* part : State.parts) part->FStartPos.x = part->FX;
        }
    }
    FollowBody(*this);
    Talk(*this);
    FY = DialogBobY(FStartPos.y, FTimeCounter);
}

void TDialogPanel::DoDraw() {
    TAnimatedSprite::DoDraw();
    TKilnFont* font = Fonts ? Fonts->Font(ToonFont) : nullptr;
    if (!font) return;
    const float a = FDirection == 1 ? -56.0f : 80.0f;
    const TPoint2 anchor{FX + static_cast<float>(GetImageWidth()) * FScaleX / 2 + a,
                         DialogTextY(FY, static_cast<int>(FText.Text.size()), FText.Leading)};
    DrawTSText(font, FText, anchor, static_cast<float>(FAlpha) / 255.0f, TextColors);
}

void DialogControl(TTS_Message action, int level) {
    if (action == msg_Create) {
        if (!MainEngine) return;
        const std::vector<TDialogTSText>& lines = Texts().Dialog(level);
        if (lines.empty()) return;
        if (State.shown) DialogControl(msg_Destroy);
        State.list = level;
        State.lines = lines;
        State.line = 1;
        ShowLine();
        State.shown = true;
        return;
    }
    if (action != msg_Destroy) return;
    SaveOptions();
    RemoveLine();
    State.lines.clear();
    State.line = 0;
    State.shown = false;
    State.skipRelease = true;
}

bool StartLevelDialog() {
    if (CurrentScene == scene_Video || Texts().Dialog(Player.Level + 1).empty()) return false;
    if (State.shown) DialogControl(msg_Destroy);
    DialogControl(msg_Create, Player.Level + 1);
    return State.shown;
}

void DialogClick() {
    if (!State.shown) return;
    // A panel that was lost somehow must not hold the level: the click closes the dialog.
    if (State.panel && State.panel->FAnimStage <= 0) return;
    MouseClicked = false;
    if (State.panel && State.line < static_cast<int>(State.lines.size())) {
        ++State.line;
        RemoveLine();
        ShowLine();
        return;
    }
    DialogControl(msg_Destroy);
}

bool DialogShown() {
    return State.shown;
}

int DialogLineShown() {
    return State.shown ? State.line : 0;
}

int DialogLineCount() {
    return State.shown ? static_cast<int>(State.lines.size()) : 0;
}

int DialogStage() {
    return State.shown && State.panel ? State.panel->FAnimStage : -1;
}

bool DialogSkipsNextRelease() {
    return State.skipRelease;
}

const std::vector<TDialogTransformObject*>& DialogPartSprites() {
    return State.parts;
}

TDialogPanel* DialogPanelSprite() {
    return State.panel;
}

void ForgetDialogSprites() {
    State = DialogState{};
}

std::unique_ptr<ModalLayer> MakeDialogLayer() {
    return std::make_unique<DialogLayer>();
}

} // namespace bw
