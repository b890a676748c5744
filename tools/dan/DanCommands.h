// The subcommands of dan. To add one: define its DanCommand in a CmdName.cpp of this folder and
// list it in DanCommands.cpp.
#pragma once

#include "DanCommon.h"

namespace bw::dan {

extern const DanCommand ListCommand;
extern const DanCommand CatCommand;
extern const DanCommand ExtractCommand;
extern const DanCommand CreateCommand;
extern const DanCommand AddCommand;
extern const DanCommand RemoveCommand;
extern const DanCommand MoveCommand;
extern const DanCommand VerifyCommand;
extern const DanCommand XmlCommand;

} // namespace bw::dan
