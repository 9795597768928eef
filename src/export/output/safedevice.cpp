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

qint64 SafeFileDevice::writeData(const char* data, qint64 size) {
    if (size <= 0) return 0;
    return writer_.write(data, static_cast<std::size_t>(size)) ? -1 : size;
}

}  // namespace tervasko
