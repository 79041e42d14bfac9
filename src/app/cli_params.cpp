// File operations of corvanta-cli; filled in with the parameter codec.
#include "app/cli_commands.h"

namespace corvanta::cli {

std::vector<Command> paramCommands() { return {}; }

}  // namespace corvanta::cli
