#pragma once
// Where secrets are kept away from files: a key names the secret, never
// holds it. The desktop's secret store behind it (keychain_store.h) answers
// through the event loop; tests put one in memory in its place.

#include <QString>

namespace corvanta::credentials {

class CredentialStore {
public:
    struct Outcome {
        enum class Status { Ok, NotFound, Unavailable };
        Status status = Status::Ok;
        QString secret;  // read, Ok only
        QString error;   // Unavailable: why, in a line (never the secret)

        bool ok() const { return status == Status::Ok; }
        bool unavailable() const { return status == Status::Unavailable; }
    };

    virtual ~CredentialStore() = default;
    virtual Outcome read(const QString& key) = 0;
    virtual Outcome write(const QString& key, const QString& secret) = 0;
    // Removing what is not there is no failure.
    virtual Outcome remove(const QString& key) = 0;
};

}  // namespace corvanta::credentials
