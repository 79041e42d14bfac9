#pragma once
// The radio teaching window (FormRF, "Rádiós eszközök tanítása"): the 36
// radio device slots of the module (sensors A and B of the twelve inputs,
// the twelve users' remote controls) with a teach button each, delete all,
// and the strength of the last radio signal. Radio frames are shown whenever
// they arrive, open or not; the poll and the commands are RadioTeaching's.

#include <QColor>
#include <QDialog>

#include <array>
#include <memory>

#include "service/radio_frame.h"
#include "service/radio_teaching.h"

class QLabel;
class QFrame;
class QProgressBar;
class QPushButton;

namespace corvanta {

class ModuleLink;
class TickSource;

class RadioWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int kSlots = RadioTeaching::kSlots;

    // rfTicks: RFTimer; null: 500 ms.
    explicit RadioWindow(ModuleLink& link, std::unique_ptr<TickSource> rfTicks = nullptr,
                         QWidget* parent = nullptr);
    ~RadioWindow() override;

    RadioTeaching& teaching() { return teaching_; }

    // The main window's button: the periodic login gives way to the radio
    // poll while the window is open, modally, and comes back when it closes.
    void openModal();

    // One "AT_<" line; anything malformed is dropped.
    void showRadioFrame(const QByteArray& line);

    QString slotText(int slot) const;
    QColor slotColour(int slot) const;
    static QColor colourOf(SlotColour colour);

public slots:
    // Every teach button; the slot is its tag less one.
    void btTeachClick();
    void btRFDeleteAllClick();

private:
    void showSlot(int slot, std::uint8_t slotByte);

    ModuleLink& link_;
    RadioTeaching teaching_;
    std::array<QFrame*, kSlots> panels_{};
    std::array<QLabel*, kSlots> labels_{};
    QLabel* lbRFval_;
    QProgressBar* pbRFTerero_;
};

}  // namespace corvanta
