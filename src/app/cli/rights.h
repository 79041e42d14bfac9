#pragma once
// What the user's role in a team book allows corvanta-cli: a read-only
// operator (corvanta_viewer) is refused every command that writes to a
// module, before the module is reached. The server refuses such an
// operator's rows anyway; this says so at once, and keeps the module
// untouched rather than written and then not recorded.

#include <optional>

#include "app/cli/args.h"

namespace corvanta::cli {

// Whether the command, as given, changes what a module holds or does, or
// reads modules only to store them (fleet read).
bool writesToModule(const Args& args);

// The exit status when the book's role refuses the command, after the
// message; nothing when it may run (a file book, a role that may, a book
// that cannot be opened now: that is said where the book is used).
std::optional<int> refusedByRole(const Args& args);

}  // namespace corvanta::cli
