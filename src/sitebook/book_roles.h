#pragma once
// The roles of a team book and the views through which its read-only
// operators see it, as SQL for the server: the server enforces them, the
// program only reads them.
//
//   corvanta_viewer      sites, history, diffs and audit, codes masked; no
//                        row of its own. Reads only the views of the masked
//                        schema, never a table of the book.
//   corvanta_technician  everything on modules, codes visible; reads the
//                        kept site secrets.
//   corvanta_admin       sites, the kept site secrets, and the two roles
//                        above, which it grants to login users (it is a
//                        member of both, with the admin option).
//
// The roles are NOLOGIN groups of the server; the owner of the book (or
// the admin) grants them to the login roles of the people.

#include <QString>
#include <QStringList>

namespace corvanta::sitebook::roles {

inline const QString kViewer = QStringLiteral("corvanta_viewer");
inline const QString kTechnician = QStringLiteral("corvanta_technician");
inline const QString kAdmin = QStringLiteral("corvanta_admin");
// The schema of the viewer's views, first on a viewer's search path, so
// the program's queries read the views under the tables' own names.
inline const QString kMaskedSchema = QStringLiteral("corvanta_masked");
// The table no viewer sees even masked.
inline const QString kSecretsTable = QStringLiteral("site_secrets");
// Who made the rows, named by number from theirs.
inline const QString kActorsTable = QStringLiteral("actors");

// The expression that shows `column` of `table` to a viewer, or empty when
// it shows as it is. Every column that holds a code, or a digest of an
// image that holds codes (guessing a short code against it is cheap),
// is masked: the images' code bytes become zeros (no code), the values of
// code fields in changes "••••", a batch's change text that names codes
// nothing.
QString maskedColumnSql(const QString& table, const QString& column);

// The viewer's view of `table` (its columns in order) in the masked schema,
// reading the table of `schema`.
QString maskedViewSql(const QString& schema, const QString& table, const QStringList& columns);

// The parameter image in `column` with every code byte zero.
QString maskedImageSql(const QString& column);

}  // namespace corvanta::sitebook::roles
