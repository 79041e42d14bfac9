#pragma once
// The conversation that reads the module's event memory (blocks F000..F003)
// into the tool's copy.

#include "service/event_list.h"
#include "service/module_names_load.h"

namespace corvanta {

class ModuleLink;

// Logs in and reads the four blocks, each into its quarter of `memory` as it
// arrives. True only when all four arrived; after a failure the blocks
// already read stay in `memory`, but the caller keeps its list as it was.
// Texts as loadModuleNames.
bool loadEventMemory(ModuleLink& link, EventMemory& memory, const StatusSink& status);

}  // namespace corvanta
