#pragma once
// The lock file the serial layer keeps beside every port it opens
// ("LCK..ttyUSB0" in the first usable lock folder), and whether the program
// that made it still runs. A program killed while opening a port leaves an
// empty one, which the serial layer honours for half a minute as if the port
// were in use.

#include <QString>

namespace corvanta {

// Where the serial layer keeps the lock of the port at `systemLocation`
// (/dev/ttyUSB0, a pseudo-terminal or a link to one): the same folders in
// the same order. Empty when no folder would do.
QString serialLockPath(const QString& systemLocation);

enum class SerialLock {
    None,   // no lock file
    Held,   // its owner runs: the port is in use
    Stale,  // its owner is gone (empty, or a process that no longer runs)
};

// Held when a process named in it runs or one holds it locked; Stale when
// neither; a file that cannot be read counts as Held.
SerialLock serialLockState(const QString& lockPath);

// Removes the lock at `lockPath` when it is stale; true when it did.
bool removeStaleSerialLock(const QString& lockPath);

}  // namespace corvanta
