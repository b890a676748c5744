// The message box: one modal panel over any scene with a wrapped text and one or two buttons,
// used for every question and notice of the game. Only one message exists at a time: opening
// a message while one is shown replaces it.
//
// The panel is "msg_panel_" + PanelTemplate + ".image", centred on the given point, over a
// shade of "blackpixel.image" that fades in to alpha 150. Layout 1 has Continue, layout 2
// Yes/No, layout 3 Ok/Cancel. A question's Yes runs the action its owner registered for the
// message name (SetMessageYesAction); the message closes before the action runs, except for
// the exit question, which stays on screen while the game fades out.
#pragma once

#include "base/ModalLayers.h"
#include "data/TextRecords.h"
#include "render/Types.h"

#include <functional>
#include <memory>
#include <string>

namespace bw {

class TAnimatedSprite;
class TSprite;
class TButtonSprite2;

// What a message asks.
enum TMessageName : uint8_t {
    message_default = 0, // a notice
    message_mm_ays_exit = 1,
    message_igm_ays_restart = 2,
    message_igm_ays_map = 3,
    message_igm_ays_menu = 4,
    message_cp_deleteprofile = 5,
};

inline constexpr int MessageLayoutContinue = 1;
inline constexpr int MessageLayoutYesNo = 2;
inline constexpr int MessageLayoutOkCancel = 3;

// Every message of the game is centred here.
inline constexpr TPoint MessageCentre{960, 540};

// Opens the message with the text record `text` (a TTSTextMessage). The centre is the
// panel's centre in design units.
void OpenMessage(TMessageName name, int layout, const TTSTextMessage& text,
                 TPoint centre = MessageCentre);
// The same with the message record `key` of the text database (section "messages"); the
// placeholders "%{0}", ... take `vars`.
void OpenMessage(TMessageName name, int layout, const std::string& key,
                 const TTSTextVars& vars = {}, TPoint centre = MessageCentre);
// Opens the notice `key` (layout 1).
void OpenNotice(const std::string& key, const TTSTextVars& vars = {});
void CloseMessage();
// A message exists and is visible.
bool MessageShown();
// The name of the message shown; message_default when none is.
TMessageName ShownMessageName();
// The wrapped lines of the message shown (for tests and the replay dump).
const TTSTextArray& ShownMessageLines();

// What Yes does for a question; the exit question's default fades the game out.
void SetMessageYesAction(TMessageName name, std::function<void()> action);

// The message's panel, shade and buttons (a scene over a frozen one moves only these of
// everything beneath it).
bool IsMessageSprite(const TSprite& sprite);

// The sprite engine is going with every sprite: the message is forgotten unfreed.
void ForgetMessageSprites();

// The message box as the frame's front modal layer.
std::unique_ptr<ModalLayer> MakeMessageLayer();

} // namespace bw
