#pragma once
// Holds bytes back so that they flow no faster than a serial line of the
// given baud rate with ten bits a byte (start, eight data, stop).

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace corvanta::sim {

class Pacer : public QObject {
    Q_OBJECT
public:
    // baud 0 passes every byte on at once.
    explicit Pacer(int baud, QObject* parent = nullptr);

    void push(const QByteArray& bytes);
    qsizetype pending() const { return queue_.size() - head_; }
    int baud() const { return baud_; }

signals:
    void released(const QByteArray& bytes);

private:
    void release();

    int baud_;
    qint64 byteNs_ = 0;
    QByteArray queue_;
    qsizetype head_ = 0;
    QElapsedTimer elapsed_;
    qint64 lineFreeNs_ = 0;  // when the next byte may start
    QTimer timer_;
};

}  // namespace corvanta::sim
