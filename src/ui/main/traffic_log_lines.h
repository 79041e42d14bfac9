#pragma once
// The traffic log's lines, kept for a working day of status monitoring:
// each line's text and the time it came, and nothing for showing it. Lines
// are packed in chunks; a full chunk is compressed, which the repeating
// status and event frames shrink to a fraction of their text. A line in a
// compressed chunk is unpacked again when something asks for it.

#include <QByteArray>
#include <QHash>
#include <QString>

#include <vector>

namespace corvanta {

class TrafficLogLines {
public:
    static constexpr qsizetype kLinesPerChunk = 64;

    void append(const QString& text, qint64 timeMs);
    // A line the user typed over.
    void replace(qsizetype line, const QString& text);
    void clear();

    qsizetype size() const { return count_; }
    QString text(qsizetype line) const;
    qint64 timeMs(qsizetype line) const;
    // Characters in the longest line so far, so a view can be wide enough.
    qsizetype longest() const { return longest_; }
    // Bytes held for the lines, without the store's own few fields.
    qsizetype storedBytes() const;

private:
    struct Unpacked {
        QByteArray bytes;
        std::vector<qsizetype> starts;  // where each line's record begins
    };
    // The record of `line`: its time, then its length and its UTF-8 bytes.
    const char* record(qsizetype line) const;
    static void index(Unpacked& chunk);

    std::vector<QByteArray> packed_;  // full chunks, compressed
    Unpacked open_;                   // the chunk being filled
    mutable Unpacked cached_;         // the compressed chunk read last
    mutable qsizetype cachedChunk_ = -1;
    QHash<qsizetype, QString> typed_;
    qsizetype count_ = 0;
    qsizetype longest_ = 0;
};

}  // namespace corvanta
