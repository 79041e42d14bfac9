#pragma once
// The conversation that reads the module's event memory (blocks F000..F003)
// into the tool's copy.

#include "service/event_list.h"
#include "service/module_names_load.h"

namespace corvanta {

class ModuleLink;

// Logs in and reads the four blocks. Only when all four arrived do they
// replace `memory`, and the result is true; after a failure `memory` is as
// it was. Texts as loadModuleNames.
bool loadEventMemory(ModuleLink& link, EventMemory& memory, const StatusSink& status);

}  // namespace corvanta
