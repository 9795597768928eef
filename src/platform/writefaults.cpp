#include "platform/writefaults.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace tervasko {
namespace {

std::atomic<WriteFaults*> gFaults{nullptr};

// The bytes of a write that may go through; -1 with errno when none may.
ssize_t allowed(std::size_t size) {
    WriteFaults* faults = gFaults.load(std::memory_order_acquire);
    if (!faults) return static_cast<ssize_t>(size);
    std::size_t bytes = size;
    const int err = faults->Before(WriteStep::Write, bytes);
    if (err == 0) return static_cast<ssize_t>(size);
    if (bytes > 0 && bytes < size) return static_cast<ssize_t>(bytes);
    errno = err;
    return -1;
}

}  // namespace

void SetWriteFaults(WriteFaults* faults) {
    gFaults.store(faults, std::memory_order_release);
}

int StepFault(WriteStep step) {
    WriteFaults* faults = gFaults.load(std::memory_order_acquire);
    std::size_t none = 0;
    return faults ? faults->Before(step, none) : 0;
}

ssize_t WriteSome(int fd, const void* data, std::size_t size) {
    const ssize_t part = allowed(size);
    if (part < 0) return -1;
    return ::write(fd, data, static_cast<std::size_t>(part));
}

ssize_t PwriteSome(int fd, const void* data, std::size_t size, off_t offset) {
    const ssize_t part = allowed(size);
    if (part < 0) return -1;
    return ::pwrite(fd, data, static_cast<std::size_t>(part), offset);
}

}  // namespace tervasko
