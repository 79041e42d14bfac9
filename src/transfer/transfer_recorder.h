#pragma once
// Where a transfer reports what it moved, so that the site book can keep it:
// told after every read, write and file operation, it answers with the line
// to show the user (empty when there is nothing to say). It must never stop
// or undo the operation it hears about.

#include <QString>

#include "params/parameter_image.h"

namespace corvanta {

struct TransferRecord {
    enum class Operation { Read, Write, OpenFile, SaveFile };
    Operation operation;
    bool ok;
    // Read: the image read; write: the image sent; file: the image loaded
    // or saved.
    const ParameterImage& image;
    QString blocks;         // the indicators, one letter each: "GGRWWWWW"
    QString moduleVersion;  // read and write: the module's version text
    int dataVersion = -1;
    QString filePath;       // file operations
};

class TransferRecorder {
public:
    virtual ~TransferRecorder() = default;
    virtual QString record(const TransferRecord& record) = 0;
    // A write whose frames were all taken, told just before its commit goes
    // out: kept at once, so that a program that dies before it hears the
    // outcome leaves the attempt, with the image it sent, as one of unknown
    // outcome. The record() of that write settles it.
    virtual void recordAttempt(const TransferRecord&) {}
};

}  // namespace corvanta
