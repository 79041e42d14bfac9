#pragma once
// "Megőrzött kód és jelszó": a site's installer code and TCP/IP password
// kept for the work nobody types them for (the batch runs, the weekly
// backup). What is kept is never shown: the box says only what is kept, and
// its fields are for giving new ones. Where the desktop has no secret store
// it says so plainly; the code and password are then given as before.

#include <QWidget>

#include "credentials/credential_store.h"
#include "sitebook/site_book.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace corvanta {

class Messenger;

class KeptSecretBox : public QWidget {
    Q_OBJECT
public:
    KeptSecretBox(Messenger& messenger, credentials::CredentialStore& store, QWidget* parent = nullptr);

    void setStore(credentials::CredentialStore& store) {
        store_ = &store;
        storeSilent_ = false;
    }
    // The site shown, in its open book (none: the box is greyed).
    void showSite(sitebook::SiteBook* book, const QString& bookPath, const sitebook::Site& site);
    QString stateText() const;
    // The site shown was renamed: its kept code and password follow it.
    void siteRenamed(const sitebook::Site& before, const sitebook::Site& after);

public slots:
    void btKeepSecretClick();
    void btForgetSecretClick();

private:
    void showState();
    void failed(const QString& why);
    // A short state beside the buttons; the whole of it on hovering.
    void setState(const QString& shortText, const QString& whole = {});

    Messenger& messenger_;
    credentials::CredentialStore* store_;
    sitebook::SiteBook* book_ = nullptr;
    QString bookPath_;
    sitebook::Site site_;
    bool storeSilent_ = false;  // asked once, it did not answer

    QLineEdit* edKeptCode_;
    QLineEdit* edKeptPassword_;
    QPushButton* btKeepSecret_;
    QPushButton* btForgetSecret_;
    QLabel* lbKept_;
};

}  // namespace corvanta
