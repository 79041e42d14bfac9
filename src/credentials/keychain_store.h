#pragma once
// The desktop's secret store (Secret Service, KWallet) through QtKeychain,
// under the service "corvanta". Each call waits for its job in an event
// loop of its own, at most kWaitMs: a store that does not answer is
// Unavailable, as is a desktop without one. Nothing falls back to a plain
// file: the caller says the store is missing and takes the secret the way
// it would without one.

#include "credentials/credential_store.h"

namespace corvanta::credentials {

class KeychainStore : public CredentialStore {
public:
    static constexpr int kWaitMs = 10000;
    static inline const QString kService = QStringLiteral("corvanta");

    explicit KeychainStore(int waitMs = kWaitMs) : waitMs_(waitMs) {}

    Outcome read(const QString& key) override;
    Outcome write(const QString& key, const QString& secret) override;
    Outcome remove(const QString& key) override;

private:
    int waitMs_;
};

}  // namespace corvanta::credentials
