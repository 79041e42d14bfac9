#include "app/cli/existing_book.h"

#include <QFileInfo>

#include "app/cli/output.h"
#include "sitebook/site_book.h"

namespace corvanta::cli {

using sitebook::SiteBook;

BookState openExistingBook(SiteBook& book, int refusedStatus) {
    ensureCoreApp();
    const QString path = SiteBook::defaultPath();
    if (!SiteBook::isServerUrl(path) && !QFileInfo::exists(path)) return BookState::Missing;
    if (!book.open(path)) {
        fail(refusedStatus, book.path() + QStringLiteral(": ") + book.error());
        return BookState::Refused;
    }
    return BookState::Open;
}

}  // namespace corvanta::cli
