// The subcommands of dan. To add one: define its TCommand in a CmdName.cpp of this folder and
// list it in DanCommands.cpp.
#pragma once

#include "DanCommon.h"

namespace bw::dan {

extern const TCommand ListCommand;
extern const TCommand CatCommand;
extern const TCommand ExtractCommand;
extern const TCommand CreateCommand;
extern const TCommand AddCommand;
extern const TCommand RemoveCommand;
extern const TCommand MoveCommand;
extern const TCommand VerifyCommand;
extern const TCommand XmlCommand;

} // namespace bw::dan
