#pragma once
// What the user of a site book may do there. A file is one person's: all of
// it. On a team book the server's roles decide (book_roles.h); the program
// only reads them, to grey what the server would refuse anyway.

#include <QString>

namespace corvanta::sitebook {

struct BookRights {
    // The role the rights come from, for messages: "owner", "corvanta_viewer",
    // ...; empty on a file or on a team book without roles.
    QString role;
    bool operateModules = true;  // reads recorded, writes, restores, batches
    bool seeCodes = true;        // codes in snapshots and changes unmasked
    bool editSites = true;
    bool keepSecrets = true;     // a site's code and password kept or dropped

    // The read-only operator: codes masked, nothing written to a module.
    bool viewer() const { return !seeCodes; }
};

}  // namespace corvanta::sitebook
