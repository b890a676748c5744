#include "DanCommands.h"

namespace bw::dan {

// Image and font records (CmdImage*.cpp, CmdFontInfo.cpp).
extern const TCommand ImageImportCommand;
extern const TCommand ImageExportCommand;
extern const TCommand ImageInfoCommand;
extern const TCommand FontInfoCommand;
// Player profiles (CmdProfile.cpp).
extern const TCommand ProfileDecodeCommand;
extern const TCommand ProfileEncodeCommand;

const std::vector<TCommand>& Commands() {
    static const std::vector<TCommand> commands{
        ListCommand,     CatCommand,           ExtractCommand,       CreateCommand,
        AddCommand,      RemoveCommand,        MoveCommand,          VerifyCommand,
        XmlCommand,      ImageImportCommand,   ImageExportCommand,   ImageInfoCommand,
        FontInfoCommand, ProfileDecodeCommand, ProfileEncodeCommand,
    };
    return commands;
}

} // namespace bw::dan
