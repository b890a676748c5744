#include "MenuSceneryShowcase.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "base/GameObjects.h"
#include "base/GameState.h"
#include "base/Scene.h"
#include "data/KilnImages.h"
#include "effects/ParticleManager.h"
#include "gui/ButtonProtocol.h"
#include "gui/ButtonSprites.h"
#include "meta/MenuScenery.h"

#include <cmath>
#include <memory>

namespace bw {

namespace {

double Clock = 0;
bool Night = false;
double Fade = 1;

// A still picture, with an optional night twin whose alpha follows the cross-fade.
struct Still {
    TAnimatedSprite* Day = nullptr;
    TAnimatedSprite* Night = nullptr;
};
std::vector<Still> Stills;

Still AddStill(const char* image, float x, float y, int z, int frames = 0) {
    Still s;
    for (int look = 0; look < 2; ++look) {
        auto* p = new TAnimatedSprite(MainEngine);
        p->SetImageName(std::string(look ? "night_" : "") + image);
        p->FX = x;
        p->FY = y;
        p->SetZ(z + look);
        if (frames > 0) {
            p->FDoAnimate = true;
            p->FAnimCount = frames;
            p->FAnimSpeed = 0.25f;
            p->FAnimPlayMode = pmPingPong;
        }
        (look ? s.Night : s.Day) = p;
    }
    s.Night->FAlpha = 0;
    Stills.push_back(s);
    return s;
}

void MenuButton(const char* caption, float x) {
    TTSTextButton text;
    text.Text = {caption};
    text.Scale = {0.9f, 0.9f};
    text.ButtonWidth = 160;
    text.ButtonScale = {1, 1};
    auto* b = new TButtonSprite2(MainEngine);
    b->SetButtonImage("Button_1");
    b->SetParameters(text);
    b->SetPosition({x, 990});
    b->SetButtonName(button_MM_MainMenu_Options);
    b->SetZ(1650);
    b->UpdateCollisionParameters();
}

void Build() {
    CurrentScene = scene_MainMenu;
    if (Images) {
        for (TKilnArchive* a : {Archives.MainMenu, Archives.Interface, Archives.Effects})
            if (a) Images->AddAllFromArchive(a, true, false);
    }
    if (Archives.Particles1) LoadParticleArchive(Archives.Particles1);
    CreateMenuScenery();
    // What the menu puts over the scenery, standing still where the menu puts it.
    const float signX = 842, signY = 600;
    AddStill("MM_MainMenu_Button_StartGame.image", signX, signY, 1600);
    AddStill("MM_MainMenu_StartGameBird_Left.image", signX - 44, signY - 95, 1605, 16);
    AddStill("MM_MainMenu_StartGameBird_Right.image", signX + 148, signY - 100, 1605, 16);
    AddStill("MM_MainMenu_ChoosePlayer.image", 15, 30, 475);
    MenuButton("Awards", 560);
    MenuButton("Options", 760);
    MenuButton("Credits", 960);
    MenuButton("Exit", 1160);
}

class Start final : public Scene {
public:
    void Command(TTS_Message message) override {
        if (message == msg_Create) Build();
    }
};

class Menu final : public Scene {
public:
    void Tick() override {
        Clock += 16.5;
        if (Clock > 56000) Clock = 0;
        if (!Night && Clock > 16000 && Clock < 32000) {
            Night = true;
            Fade = 0;
        } else if (Night && Clock >= 32000) {
            Night = false;
            Fade = 0;
        }
        Fade = std::min(1.0, Fade + 0.02);
        UpdateMenuScenery({Clock, Night, Fade});
        const int a = MenuNightSkyAlpha();
        for (Still& s : Stills) {
            s.Night->FAlpha = a;
            s.Night->FAnimPos = s.Day->FAnimPos;
            s.Night->FPatternIndex = s.Day->FPatternIndex;
        }
        MoveMainEngine();
    }
};

} // namespace

void InstallMenuSceneryShowcase(double clock) {
    Clock = clock;
    Night = clock > 16000 && clock < 32000;
    Fade = 1;
    RegisterScene(scene_Splash, std::make_unique<Start>());
    RegisterScene(scene_MainMenu, std::make_unique<Menu>());
}

} // namespace bw
