#pragma once
// The names store both the short event list and the status monitor show, and
// the conversation that fills it from parameter blocks 0..2 of the module.

#include <QObject>
#include <QString>

#include <functional>

#include "service/module_names.h"

namespace corvanta {

class ModuleLink;

// Lives for the whole run; empty until the first complete load.
class ModuleNamesStore : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    const ModuleNames& names() const { return names_; }
    void replace(const ModuleNames& names);

signals:
    // A load completed: every window that shows names redraws.
    void loaded();

private:
    ModuleNames names_;
};

// Where a window wants the progress texts (its status bar).
using StatusSink = std::function<void(const QString&)>;

// Logs in and reads blocks 0..2; on success replaces the names in `store`
// and returns true. Any failure leaves the store as it was, with
// "Leolvasás sikertelen." in the status bar (and the login's own message in a
// box when the login failed). No link: " Nincs soros kapcsolat." in a box.
bool loadModuleNames(ModuleLink& link, ModuleNamesStore& store, const StatusSink& status);

}  // namespace corvanta
