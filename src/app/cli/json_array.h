#pragma once
// A JSON array on standard output, printed element by element as a listing
// hands them over: a book's history of a million snapshots never stands in
// memory as one document. The text is what QJsonDocument's indented form of
// the whole array would be, byte for byte, so scripts that read the earlier
// output read this one the same.

#include <QJsonObject>

namespace corvanta::cli {

class JsonArrayPrinter {
public:
    // False once standard output refused a write; later ones are dropped.
    bool add(const QJsonObject& element);
    // Closes the array (an empty one when nothing was added) and flushes.
    bool finish();

private:
    bool write(const QByteArray& bytes);

    bool first_ = true;
    bool ok_ = true;
};

}  // namespace corvanta::cli
