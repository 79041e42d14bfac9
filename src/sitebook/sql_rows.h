#pragma once
// The rows a statement gave, whichever way it ran: through Qt SQL, or
// through libpq with its values bound as parameters (bound_statement.h).
// Read forward only, as the site book reads every result.

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <optional>
#include <vector>

namespace corvanta::sitebook {

class SqlRows {
public:
    using Row = std::vector<QVariant>;

    explicit SqlRows(QSqlQuery query) : query_(std::move(query)) {}
    explicit SqlRows(std::vector<Row> rows) : rows_(std::move(rows)) {}

    bool next() {
        if (query_) return query_->next();
        return ++at_ < rows_.size();
    }
    // A column of the current row; a null QVariant for SQL NULL.
    QVariant value(int column) const {
        if (query_) return query_->value(column);
        const Row& row = rows_[at_];
        return std::size_t(column) < row.size() ? row[std::size_t(column)] : QVariant();
    }
    // Lets the engine go of the result before the next statement.
    void finish() {
        if (query_) query_->finish();
        rows_.clear();
    }
    QSqlError lastError() const { return query_ ? query_->lastError() : QSqlError(); }

private:
    std::optional<QSqlQuery> query_;
    std::vector<Row> rows_;
    std::size_t at_ = std::size_t(-1);
};

}  // namespace corvanta::sitebook
