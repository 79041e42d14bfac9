#pragma once
// The desktop's secret store, in memory: what a test keeps stays in the
// test. It can be told not to answer, as a desktop without one does.

#include <QMap>
#include <QString>

#include "credentials/credential_store.h"

namespace corvanta::testing {

class MemoryCredentialStore : public credentials::CredentialStore {
public:
    Outcome read(const QString& key) override {
        ++calls;
        if (silent) return gone();
        if (!kept.contains(key)) return {Outcome::Status::NotFound, {}, {}};
        return {Outcome::Status::Ok, kept.value(key), {}};
    }
    Outcome write(const QString& key, const QString& secret) override {
        ++calls;
        if (silent) return gone();
        kept.insert(key, secret);
        return {};
    }
    Outcome remove(const QString& key) override {
        ++calls;
        if (silent) return gone();
        kept.remove(key);
        return {};
    }

    QMap<QString, QString> kept;
    bool silent = false;  // answers nothing, as with no secret service
    int calls = 0;

private:
    static Outcome gone() { return {Outcome::Status::Unavailable, {}, QStringLiteral("no secret service")}; }
};

}  // namespace corvanta::testing
