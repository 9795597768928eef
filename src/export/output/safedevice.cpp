#include "export/output/safedevice.h"

namespace tervasko {

SafeFileDevice::SafeFileDevice(const std::string& path) : writer_(path) {}

SafeFileDevice::~SafeFileDevice() {
    if (isOpen()) QIODevice::close();
}

bool SafeFileDevice::openForWriting() {
    if (writer_.open()) return false;  // the writer keeps the reason
    return QIODevice::open(QIODevice::WriteOnly);
}

bool SafeFileDevice::commit() {
    if (isOpen()) QIODevice::close();
    return !writer_.commit();
}

std::string SafeFileDevice::error() const {
    return writer_.failure() ? EnglishText(writer_.failure()) : std::string();
}

qint64 SafeFileDevice::readData(char*, qint64) {
    return -1;
}

void SafeFileDevice::reportTo(ProgressCounter* progress, std::uint64_t bytesPerUnit) {
    progress_ = progress && progress->Reporting() ? progress : nullptr;
    bytesPerUnit_ = bytesPerUnit;
}

qint64 SafeFileDevice::writeData(const char* data, qint64 size) {
    if (size <= 0) return 0;
    if (progress_) {
        // Once stopped, what the encoder still writes goes nowhere: failing its writes would
        // send libpng down its error path, which leaks Qt's buffers, and the file is never
        // put in place anyway.
        if (progress_->Stopped()) return size;
        // Asked this often (bytes), an encoder that compresses well is still stopped within
        // a fraction of a second.
        constexpr std::uint64_t kPollBytes = std::uint64_t{1} << 16;
        written_ += static_cast<std::uint64_t>(size);
        bool goOn = true;
        if (bytesPerUnit_ > 0) {
            const std::uint64_t units = written_ / bytesPerUnit_;
            goOn = progress_->Advance(units - counted_);
            counted_ = units;
        } else if (written_ >= nextPoll_) {
            nextPoll_ = written_ + kPollBytes;
            goOn = progress_->Poll();
        }
        if (!goOn) return size;
    }
    return writer_.write(data, static_cast<std::size_t>(size)) ? -1 : size;
}

}  // namespace tervasko
