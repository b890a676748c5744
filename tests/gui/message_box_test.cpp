// The message box: one at a time, centred with its buttons, modal over the scene, and a
// question's answer that runs after the question has gone.
#include "gui/MessageBox.h"

#include "base/GameObjects.h"
#include "base/GameState.h"
#include "base/SceneTransition.h"
#include "gui/ButtonProtocol.h"
#include "gui/ButtonSprites.h"

#include "GuiTestSupport.h"

#include <vector>

namespace bw {
namespace {

class MessageBoxTest : public test::SpriteFixture {
protected:
    void SetUp() override {
        MainEngine = &engine;
        images.AddFromPixels(test::MakePicture("msg_panel_1.image", 700, 420));
        images.AddFromPixels(test::MakePicture("blackpixel.image", 1, 1));
        for (int w : ButtonTemplateWidths)
            for (const char* suffix : {"", "_shadow", "_gs", "_shadow_gs"})
                images.AddFromPixels(
                    test::MakePicture("Button_1_" + std::to_string(w) + suffix + ".image", w, 80));
        text.Text = "Are you sure?";
        text.PanelTemplate = 1;
        text.PanelScale = {1, 1};
        text.Scale = {1, 1};
        text.Width = 560;
        layer = MakeMessageLayer();
    }
    void TearDown() override {
        CloseMessage();
        engine.Dead();
        SetMessageYesAction(message_cp_deleteprofile, nullptr);
        MainEngine = nullptr;
        MouseClicked = false;
    }

    // The buttons of the message, left to right.
    std::vector<TButtonSprite2*> Buttons() {
        std::vector<TButtonSprite2*> out;
        for (TSprite* s : engine.Items())
            if (auto* b = dynamic_cast<TButtonSprite2*>(s); b && !b->FDeaded) out.push_back(b);
        return out;
    }
    void Click(TButtonSprite2& button) {
        MouseClicked = true;
        layer->Hit(button);
    }

    TTSTextMessage text;
    std::unique_ptr<ModalLayer> layer;
};

TEST_F(MessageBoxTest, APanelIsCentredWithItsButtons160AboveItsBottom) {
    OpenMessage(message_default, MessageLayoutContinue, text, {960, 540});
    ASSERT_TRUE(MessageShown());
    const auto buttons = Buttons();
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(buttons[0]->ButtonName(), button_Msg_Continue);
    // The panel spans 610..1310 x 330..750; the button is centred 160 above its bottom.
    const TPoint2 at = buttons[0]->Position();
    EXPECT_FLOAT_EQ(at.x + buttons[0]->FButtonWidth / 2.0f, 960);
    EXPECT_FLOAT_EQ(at.y, 750 - 160);

    OpenMessage(message_mm_ays_exit, MessageLayoutYesNo, text, {960, 540});
    std::vector<TButtonName> names;
    for (auto* b : Buttons()) names.push_back(b->ButtonName());
    EXPECT_EQ(names, (std::vector<TButtonName>{button_Msg_Yes, button_Msg_No}));
}

TEST_F(MessageBoxTest, ANewMessageReplacesTheOneShown) {
    OpenMessage(message_default, MessageLayoutContinue, text);
    text.Text = "Second";
    OpenMessage(message_cp_deleteprofile, MessageLayoutYesNo, text);
    engine.Dead();
    EXPECT_EQ(ShownMessageName(), message_cp_deleteprofile);
    EXPECT_EQ(ShownMessageLines(), TTSTextArray{"Second"});
    // Only the second message's two buttons are left.
    EXPECT_EQ(Buttons().size(), 2u);
}

TEST_F(MessageBoxTest, TheMessageTakesEveryHitAndEscapeClosesIt) {
    TAnimatedSprite* under = MakeSprite(960, 540);
    EXPECT_FALSE(layer->Hit(*under));
    EXPECT_FALSE(layer->BlocksHitTest());
    OpenMessage(message_default, MessageLayoutContinue, text);
    EXPECT_TRUE(layer->BlocksBoard());
    EXPECT_TRUE(layer->BlocksHitTest()) << "a level's hover test waits under a message";
    EXPECT_TRUE(layer->Hit(*under));
    EXPECT_TRUE(layer->Escape());
    EXPECT_FALSE(MessageShown());
    EXPECT_FALSE(layer->Escape());
    EXPECT_FALSE(layer->BlocksHitTest());
}

TEST_F(MessageBoxTest, AQuestionIsGoneBeforeItsAnswerRunsAndNoDoesNothing) {
    int answers = 0;
    bool shownWhileAnswering = true;
    SetMessageYesAction(message_cp_deleteprofile, [&] {
        ++answers;
        shownWhileAnswering = MessageShown();
    });
    OpenMessage(message_cp_deleteprofile, MessageLayoutYesNo, text);
    Click(*Buttons()[1]);
    EXPECT_EQ(answers, 0);
    EXPECT_FALSE(MessageShown());

    OpenMessage(message_cp_deleteprofile, MessageLayoutYesNo, text);
    Click(*Buttons()[0]);
    EXPECT_EQ(answers, 1);
    EXPECT_FALSE(shownWhileAnswering);
    EXPECT_FALSE(MessageShown());
}

TEST_F(MessageBoxTest, YesToLeavingFadesOutWithTheQuestionStillShown) {
    CreateTransitionSprite(&engine);
    OpenMessage(message_mm_ays_exit, MessageLayoutYesNo, text);
    Click(*Buttons()[0]);
    EXPECT_TRUE(MessageShown());
    EXPECT_TRUE(TransitionVisible());
    EXPECT_EQ(TransitionSprite->FKind, fl_exitgame);
    ForgetTransitionSprite();
}

} // namespace
} // namespace bw
