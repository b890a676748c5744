#include "DanCommands.h"

namespace bw::dan {

// Image and font records (CmdImage*.cpp, CmdFontInfo.cpp).
extern const DanCommand ImageImportCommand;
extern const DanCommand ImageExportCommand;
extern const DanCommand ImageInfoCommand;
extern const DanCommand FontInfoCommand;
// Player profiles (CmdProfile.cpp).
extern const DanCommand ProfileDecodeCommand;
extern const DanCommand ProfileEncodeCommand;

const std::vector<DanCommand>& Commands() {
    static const std::vector<DanCommand> commands{
        ListCommand,     CatCommand,           ExtractCommand,       CreateCommand,
        AddCommand,      RemoveCommand,        MoveCommand,          VerifyCommand,
        XmlCommand,      ImageImportCommand,   ImageExportCommand,   ImageInfoCommand,
        FontInfoCommand, ProfileDecodeCommand, ProfileEncodeCommand,
    };
    return commands;
}

} // namespace bw::dan
