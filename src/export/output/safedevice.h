#pragma once

#include <QIODevice>
#include <string>

#include "platform/safefile.h"

namespace tervasko {

// A write-only device for Qt's image and PDF writers that puts its bytes through a
// SafeFileWriter: the file at the path is replaced only by commit(), and a device that is
// destroyed without a successful commit leaves the old file as it was and no temporary file.
class SafeFileDevice : public QIODevice {
public:
    explicit SafeFileDevice(const std::string& path);
    ~SafeFileDevice() override;

    // Creates the temporary file; false when the folder cannot take it (see error()).
    bool openForWriting();
    // Puts the completed file in place of the target.
    bool commit();
    // The system's reason for the first failure, e.g. "Permission denied"; empty when none.
    std::string error() const;
    const Error& failure() const { return writer_.failure(); }

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    SafeFileWriter writer_;
};

}  // namespace tervasko
