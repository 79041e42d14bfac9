#pragma once
// What the parameter transfer reports to its window: the eight block
// indicators and whether an operation runs (the window disables its buttons).
// Messages go through the link's Messenger.

#include <QString>

namespace corvanta {

enum class BlockColour {
    Silver,  // neutral: at start, while a file is chosen
    White,   // read or write under way
    Yellow,  // compare under way
    Green,   // block read, written or equal; file opened
    Red,     // failure
};

class TransferView {
public:
    virtual ~TransferView() = default;
    virtual void paintBlock(int block, BlockColour colour) = 0;
    virtual void setOperationRunning(bool running) = 0;
    // The site book's line about the operation that just ended.
    virtual void showRecordNote(const QString&) {}
    // What the module holds after the last operation, when the colours
    // alone do not say it: the check of a write, or a stop. Empty when an
    // operation begins.
    virtual void showOutcome(const QString&) {}
    // Whether the running operation can still be stopped: from its start
    // until a write's commit goes out.
    virtual void setStopEnabled(bool) {}
};

}  // namespace corvanta
