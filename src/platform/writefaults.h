#pragma once

// The calls that put bytes into files, each a step that can fail as on a full disk or a
// failing device. Tests make any chosen step fail through WriteFaults; the program never
// sets one, and then every step is the plain system call.

#include <sys/types.h>

#include <cstddef>

namespace tervasko {

enum class WriteStep {
    Create,  // a new file (a temporary one) is made
    Write,   // bytes go into a file
    Sync,    // a file's bytes are forced to the disk
    Name,    // a file is linked or renamed into its place
};

class WriteFaults {
public:
    virtual ~WriteFaults() = default;
    // Asked before every step: 0 lets it run, anything else is the errno it fails with. A
    // failing write may let a part of its bytes through, as a disk that fills up does:
    // `bytes` lowered to that part, which is written and counted; writing the rest is a step
    // of its own.
    virtual int Before(WriteStep step, std::size_t& bytes) = 0;
};

// Every step from now on is asked of `faults`; nullptr takes them as they are. For tests,
// which set it while nothing else writes.
void SetWriteFaults(WriteFaults* faults);

// 0, or the errno the step fails with (Create, Sync and Name: checked just before the call).
int StepFault(WriteStep step);

// write(2) and pwrite(2) of up to `size` bytes: the count written, which can be short, or -1
// with errno set.
ssize_t WriteSome(int fd, const void* data, std::size_t size);
ssize_t PwriteSome(int fd, const void* data, std::size_t size, off_t offset);

}  // namespace tervasko
