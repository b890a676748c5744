// The one command that screens, panels and sound operations take.
#pragma once

#include <cstdint>

namespace bw {

enum TTS_Message : uint8_t {
    msg_Show,
    msg_Hide,
    msg_Create,
    msg_Destroy,
    msg_On,
    msg_Off,
    msg_Start,
    msg_Stop,
    msg_StopFirst,
    msg_StopLast,
    msg_Day,
    msg_Night,
};

} // namespace bw
