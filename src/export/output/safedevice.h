#pragma once

#include <QIODevice>
#include <string>

#include "platform/progress.h"
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

    // Tells `progress` of the bytes written: one unit per `bytesPerUnit`, or, with 0 (a size
    // nobody knows ahead), only asks it now and then whether to go on. Once it says stop,
    // every write fails, so the writer feeding the device gives up.
    void reportTo(ProgressCounter* progress, std::uint64_t bytesPerUnit);

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    SafeFileWriter writer_;
    ProgressCounter* progress_ = nullptr;
    std::uint64_t bytesPerUnit_ = 0, written_ = 0, counted_ = 0, nextPoll_ = 0;
};

}  // namespace tervasko
