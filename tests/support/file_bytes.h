#pragma once
// Whole files in and out, for tests that prepare or inspect a file.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>

namespace corvanta::testing {

// Empty when the file cannot be read.
inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace corvanta::testing
