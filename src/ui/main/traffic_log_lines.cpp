#include "ui/main/traffic_log_lines.h"

#include <cstring>

namespace corvanta {

namespace {
constexpr qsizetype kTimeBytes = sizeof(qint64);
constexpr qsizetype kLengthBytes = sizeof(qint32);

template <typename T>
T readAt(const char* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}
}  // namespace

void TrafficLogLines::append(const QString& text, qint64 timeMs) {
    const QByteArray utf8 = text.toUtf8();
    const auto length = qint32(utf8.size());
    open_.starts.push_back(open_.bytes.size());
    open_.bytes.append(reinterpret_cast<const char*>(&timeMs), kTimeBytes);
    open_.bytes.append(reinterpret_cast<const char*>(&length), kLengthBytes);
    open_.bytes.append(utf8);
    ++count_;
    longest_ = std::max(longest_, text.size());
    if (qsizetype(open_.starts.size()) == kLinesPerChunk) {
        packed_.push_back(qCompress(open_.bytes));
        packed_.back().squeeze();
        open_ = Unpacked{};
    }
}

void TrafficLogLines::replace(qsizetype line, const QString& text) {
    if (line < 0 || line >= count_) return;
    typed_.insert(line, text);
    longest_ = std::max(longest_, text.size());
}

void TrafficLogLines::clear() {
    *this = TrafficLogLines{};
}

void TrafficLogLines::index(Unpacked& chunk) {
    chunk.starts.clear();
    for (qsizetype at = 0; at + kTimeBytes + kLengthBytes <= chunk.bytes.size();) {
        chunk.starts.push_back(at);
        at += kTimeBytes + kLengthBytes + readAt<qint32>(chunk.bytes.constData() + at + kTimeBytes);
    }
}

const char* TrafficLogLines::record(qsizetype line) const {
    const qsizetype chunk = line / kLinesPerChunk;
    const auto within = std::size_t(line % kLinesPerChunk);
    if (chunk == qsizetype(packed_.size())) return open_.bytes.constData() + open_.starts[within];
    if (chunk != cachedChunk_) {
        cached_.bytes = qUncompress(packed_[std::size_t(chunk)]);
        index(cached_);
        cachedChunk_ = chunk;
    }
    return cached_.bytes.constData() + cached_.starts[within];
}

QString TrafficLogLines::text(qsizetype line) const {
    if (line < 0 || line >= count_) return {};
    if (auto typed = typed_.constFind(line); typed != typed_.constEnd()) return *typed;
    const char* at = record(line);
    return QString::fromUtf8(at + kTimeBytes + kLengthBytes, readAt<qint32>(at + kTimeBytes));
}

qint64 TrafficLogLines::timeMs(qsizetype line) const {
    if (line < 0 || line >= count_) return 0;
    return readAt<qint64>(record(line));
}

qsizetype TrafficLogLines::storedBytes() const {
    qsizetype bytes = open_.bytes.capacity() + qsizetype(open_.starts.capacity() * sizeof(qsizetype));
    for (const QByteArray& chunk : packed_) bytes += chunk.capacity();
    bytes += qsizetype(packed_.capacity() * sizeof(QByteArray));
    for (const QString& typed : typed_) bytes += typed.capacity() * qsizetype(sizeof(QChar));
    return bytes;
}

}  // namespace corvanta
