#include "ui/main/traffic_log_window.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include "ui/widgets/escape_closes.h"

namespace corvanta {

namespace {
constexpr int kWidth = 383;
constexpr int kHeight = 495;
constexpr int kScreenMargin = 20;
}  // namespace

TrafficLogWindow::TrafficLogWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), reports_(this, QStringLiteral("Soros kapcsolat részletei"), QStringLiteral("forgalom")) {
    setObjectName("SerialForm");
    setWindowTitle(QStringLiteral("Soros kapcsolat részletei"));

    rxMemo_ = new QPlainTextEdit(this);
    rxMemo_->setObjectName("RxMemo");
    rxMemo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    rxMemo_->setFont(fixed);

    auto* btClear = new QPushButton(QStringLiteral("Ablak törlése"), this);
    btClear->setObjectName("btClear");
    auto* btAT = new QPushButton(QStringLiteral("AT"), this);
    btAT->setObjectName("btAT");
    // Narrow, so that four buttons still fit the window's first width.
    btAT->setMaximumWidth(btAT->fontMetrics().horizontalAdvance(QStringLiteral("AT")) + 40);
    auto* btSave = new QPushButton(QStringLiteral("Mentés fájlba"), this);
    btSave->setObjectName("btSave");
    auto* btClose = new QPushButton(QStringLiteral("Ablak bezárása"), this);
    btClose->setObjectName("btClose");

    connect(btClear, &QPushButton::clicked, rxMemo_, &QPlainTextEdit::clear);
    connect(btAT, &QPushButton::clicked, this, &TrafficLogWindow::atRequested);
    connect(btSave, &QPushButton::clicked, this, &TrafficLogWindow::btSaveClick);
    connect(btClose, &QPushButton::clicked, this, [this] {
        hide();
        emit closedByButton();
    });
    closeOnEscape(this, btClose);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btClear);
    buttons->addWidget(btAT);
    buttons->addWidget(btSave);
    buttons->addStretch();
    buttons->addWidget(btClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rxMemo_);
    layout->addLayout(buttons);

    resize(kWidth, kHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().topLeft() + QPoint(kScreenMargin, kScreenMargin));
    }
}

void TrafficLogWindow::logTraffic(const QString& text) {
    // The last line is the slot for this entry, whatever the user typed there.
    QTextCursor cursor(rxMemo_->document()->lastBlock());
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(text);
    cursor.insertBlock();
    rxMemo_->verticalScrollBar()->setValue(rxMemo_->verticalScrollBar()->maximum());
}

void TrafficLogWindow::btSaveClick() {
    // One entry a line; the empty slot for the next entry ends the last one.
    reports_.save(ReportFormat::Text, text().toUtf8());
}

}  // namespace corvanta
