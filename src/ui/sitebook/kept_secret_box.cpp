#include "ui/sitebook/kept_secret_box.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "credentials/site_secret_keeper.h"
#include "link/messenger.h"

namespace corvanta {

using credentials::SiteSecretKeeper;

KeptSecretBox::KeptSecretBox(Messenger& messenger, credentials::CredentialStore& store, QWidget* parent)
    : QWidget(parent), messenger_(messenger), store_(&store) {
    setObjectName("boxKeptSecret");
    edKeptCode_ = new QLineEdit(this);
    edKeptCode_->setObjectName("edKeptCode");
    edKeptCode_->setEchoMode(QLineEdit::Password);
    edKeptCode_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,6}")), this));
    edKeptCode_->setPlaceholderText(QString::fromUtf8("telepítői kód"));
    edKeptPassword_ = new QLineEdit(this);
    edKeptPassword_->setObjectName("edKeptPassword");
    edKeptPassword_->setEchoMode(QLineEdit::Password);
    edKeptPassword_->setPlaceholderText(QString::fromUtf8("TCP/IP jelszó"));
    btKeepSecret_ = new QPushButton(QString::fromUtf8("Megőrzés"), this);
    btKeepSecret_->setObjectName("btKeepSecret");
    btKeepSecret_->setAutoDefault(false);
    btForgetSecret_ = new QPushButton(QString::fromUtf8("Elfelejtés"), this);
    btForgetSecret_->setObjectName("btForgetSecret");
    btForgetSecret_->setAutoDefault(false);
    lbKept_ = new QLabel(this);
    lbKept_->setObjectName("lbKept");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(edKeptCode_, 1);
    row->addWidget(edKeptPassword_, 1);
    row->addWidget(btKeepSecret_);
    row->addWidget(btForgetSecret_);
    row->addWidget(lbKept_, 1);
    connect(btKeepSecret_, &QPushButton::clicked, this, &KeptSecretBox::btKeepSecretClick);
    connect(btForgetSecret_, &QPushButton::clicked, this, &KeptSecretBox::btForgetSecretClick);
    setEnabled(false);
}

QString KeptSecretBox::stateText() const { return lbKept_->text(); }

void KeptSecretBox::showSite(sitebook::SiteBook* book, const QString& bookPath, const sitebook::Site& site) {
    book_ = book;
    bookPath_ = bookPath;
    site_ = site;
    edKeptCode_->clear();
    edKeptPassword_->clear();
    // Only those who may keep them see whether anything is kept.
    setEnabled(book_ && site_.id != 0 && book_->rights().keepSecrets);
    setState({});
    if (isEnabled()) showState();
}

void KeptSecretBox::setState(const QString& shortText, const QString& whole) {
    lbKept_->setText(shortText);
    lbKept_->setToolTip(whole.isEmpty() ? shortText : whole);
}

void KeptSecretBox::failed(const QString& why) {
    setState(storeSilent_ ? QString::fromUtf8("Nincs elérhető titoktár") : QString::fromUtf8("Nem sikerült"), why);
    messenger_.showMessage(why);
}

void KeptSecretBox::showState() {
    if (storeSilent_ && !sitebook::SiteBook::isServerUrl(bookPath_)) {
        setState(QString::fromUtf8("Nincs elérhető titoktár"),
                 QString::fromUtf8("Nincs elérhető titoktár: a kódot és a jelszót a csoportos műveletnél kell "
                                   "megadni."));
        return;
    }
    SiteSecretKeeper keeper(*book_, *store_, bookPath_);
    const auto kept = keeper.load(site_);
    if (!kept) {
        storeSilent_ = keeper.storeUnavailable();
        setState(storeSilent_ ? QString::fromUtf8("Nincs elérhető titoktár") : QString::fromUtf8("Nem olvasható"),
                 keeper.error());
        return;
    }
    QStringList what;
    if (!kept->installerCode.isEmpty()) what << QString::fromUtf8("telepítői kód");
    if (!kept->tcpPassword.isEmpty()) what << QString::fromUtf8("TCP/IP jelszó");
    setState(what.isEmpty() ? QString::fromUtf8("Nincs megőrizve")
                            : QString::fromUtf8("Megőrizve: ") + what.join(QStringLiteral(", ")));
}

void KeptSecretBox::siteRenamed(const sitebook::Site& before, const sitebook::Site& after) {
    if (!book_ || storeSilent_) return;
    SiteSecretKeeper keeper(*book_, *store_, bookPath_);
    if (keeper.followRename(before, after)) return;
    storeSilent_ = keeper.storeUnavailable();
    // Said only when something was kept and stays under the old name.
    if (!storeSilent_) failed(keeper.error());
}

void KeptSecretBox::btKeepSecretClick() {
    if (!book_ || site_.id == 0) return;
    const sitebook::SiteSecret secret{edKeptCode_->text(), edKeptPassword_->text()};
    if (secret.empty()) {
        messenger_.showMessage(QString::fromUtf8("Adja meg a megőrzendő telepítői kódot vagy TCP/IP jelszót!"));
        return;
    }
    SiteSecretKeeper keeper(*book_, *store_, bookPath_);
    if (!keeper.keep(site_, secret)) {
        storeSilent_ = keeper.storeUnavailable();
        return failed(storeSilent_ ? keeper.error() + QString::fromUtf8(". Semmi sem került megőrzésre: a kódot és "
                                                                         "a jelszót a csoportos műveletnél kell "
                                                                         "megadni, mint eddig.")
                                   : keeper.error());
    }
    edKeptCode_->clear();
    edKeptPassword_->clear();
    showState();
}

void KeptSecretBox::btForgetSecretClick() {
    if (!book_ || site_.id == 0) return;
    SiteSecretKeeper keeper(*book_, *store_, bookPath_);
    if (!keeper.forget(site_)) {
        storeSilent_ = keeper.storeUnavailable();
        return failed(keeper.error());
    }
    showState();
}

}  // namespace corvanta
