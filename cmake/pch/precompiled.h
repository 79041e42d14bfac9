// Headers that most files include, parsed once for every target of a level
// (cmake/Precompiled.cmake) instead of once per file. A header comes in only
// where its level can reach it: the codec libraries see no Qt at all.
// QtTest stays out: its headers test the QT_*_LIB macros, which differ from
// one test program to the next.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#if __has_include(<QString>)
#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#endif

#if __has_include(<QTcpSocket>)
#include <QTcpSocket>
#endif

#if __has_include(<QSerialPort>)
#include <QSerialPort>
#include <QSerialPortInfo>
#endif

#if __has_include(<QSqlDatabase>)
#include <QSqlDatabase>
#include <QSqlQuery>
#endif

#if __has_include(<QWidget>)
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWidget>
#endif
