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
};

}  // namespace corvanta
