// Module operations of corvanta-cli; filled in with the link.
#include "app/cli_commands.h"

namespace corvanta::cli {

std::vector<Command> linkCommands() { return {}; }

}  // namespace corvanta::cli
