#include "credentials/keychain_store.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <memory>

#include <qt6keychain/keychain.h>

namespace corvanta::credentials {
namespace {

using Status = CredentialStore::Outcome::Status;

// Starts the job and waits for its end or the time limit. A job still at it
// then deletes itself when it ends; only the shared state outlives us.
CredentialStore::Outcome await(QKeychain::Job* job, int waitMs) {
    struct State {
        bool done = false;
        CredentialStore::Outcome outcome;
    };
    auto state = std::make_shared<State>();
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    QEventLoop loop;
    QObject::connect(job, &QKeychain::Job::finished, &loop, [state, &loop](QKeychain::Job* j) {
        state->done = true;
        if (j->error() == QKeychain::NoError) {
            state->outcome.status = Status::Ok;
            if (auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(j)) state->outcome.secret = read->textData();
        } else if (j->error() == QKeychain::EntryNotFound) {
            state->outcome.status = Status::NotFound;
        } else {
            state->outcome.status = Status::Unavailable;
            state->outcome.error = j->errorString();
        }
        loop.quit();
    });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(waitMs);
    job->start();
    if (!state->done) loop.exec();
    if (!state->done) {
        QObject::disconnect(job, nullptr, &loop, nullptr);
        CredentialStore::Outcome late;
        late.status = Status::Unavailable;
        late.error = QString::fromUtf8("a titoktár %1 másodpercig nem válaszolt").arg(waitMs / 1000);
        return late;
    }
    return state->outcome;
}

}  // namespace

CredentialStore::Outcome KeychainStore::read(const QString& key) {
    auto* job = new QKeychain::ReadPasswordJob(kService);
    job->setKey(key);
    return await(job, waitMs_);
}

CredentialStore::Outcome KeychainStore::write(const QString& key, const QString& secret) {
    auto* job = new QKeychain::WritePasswordJob(kService);
    job->setKey(key);
    job->setTextData(secret);
    return await(job, waitMs_);
}

CredentialStore::Outcome KeychainStore::remove(const QString& key) {
    auto* job = new QKeychain::DeletePasswordJob(kService);
    job->setKey(key);
    Outcome o = await(job, waitMs_);
    if (o.status == Status::NotFound) o.status = Status::Ok;
    return o;
}

}  // namespace corvanta::credentials
