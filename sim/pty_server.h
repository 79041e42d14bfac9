#pragma once
// A pseudo-terminal whose slave side the program opens as its serial port;
// a symbolic link gives it a stable name.

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <memory>

namespace corvanta::sim {

class PtyServer : public QObject {
    Q_OBJECT
public:
    explicit PtyServer(QObject* parent = nullptr);
    ~PtyServer() override;

    // Opens the pseudo-terminal and points linkPath (if not empty) at its
    // slave. An existing symbolic link there is replaced; any other file is
    // left alone and refused.
    bool open(const QString& linkPath, QString* error);
    QString slavePath() const { return slavePath_; }

public slots:
    void write(const QByteArray& bytes);

signals:
    void received(const QByteArray& bytes);

private:
    void readMaster();
    void flush();

    int master_ = -1;
    int slave_ = -1;  // held open so the master never reads end-of-line
    QString slavePath_;
    QString linkPath_;
    QByteArray outgoing_;
    std::unique_ptr<QSocketNotifier> readNotifier_;
    std::unique_ptr<QSocketNotifier> writeNotifier_;
};

}  // namespace corvanta::sim
