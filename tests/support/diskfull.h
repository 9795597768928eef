#pragma once

// A disk that fills up at a chosen step of writing files, for tests that make every step of
// a write fail in turn.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstddef>
#include <functional>
#include <set>
#include <string>

#include "platform/writefaults.h"

namespace tervasko::testing {

// Step `failing` (counted from 1 over every step of every file written while it lives) fails
// with ENOSPC, a write after letting half of its bytes through; every later step fails too,
// as on a full disk.
class DiskFullFrom : public WriteFaults {
public:
    explicit DiskFullFrom(int failing) : failing_(failing) { SetWriteFaults(this); }
    ~DiskFullFrom() override { SetWriteFaults(nullptr); }
    DiskFullFrom(const DiskFullFrom&) = delete;
    DiskFullFrom& operator=(const DiskFullFrom&) = delete;

    int Before(WriteStep step, std::size_t& bytes) override {
        if (++seen_ < failing_) return 0;
        if (seen_ == failing_) {
            failedStep_ = step;
            bytes = step == WriteStep::Write ? bytes / 2 : 0;
        } else {
            bytes = 0;
        }
        return ENOSPC;
    }

    // Whether the run came as far as the failing step; when not, nothing failed.
    bool Reached() const { return seen_ >= failing_; }
    WriteStep FailedStep() const { return failedStep_; }

private:
    int failing_;
    int seen_ = 0;
    WriteStep failedStep_ = WriteStep::Write;
};

// Runs `attempt` with the disk filling up at step 1, 2, 3, ... until a run gets through every
// step; `failed` checks each failed run, `succeeded` the run that got through. Returns the
// kinds of step that failed.
inline std::set<WriteStep> FailEveryStep(const std::function<bool()>& attempt,
                                         const std::function<void()>& failed,
                                         const std::function<void()>& succeeded) {
    std::set<WriteStep> kinds;
    for (int step = 1; step < 500; ++step) {
        SCOPED_TRACE("disk full from step " + std::to_string(step));
        bool ok = false;
        bool reached = false;
        {
            DiskFullFrom disk(step);
            ok = attempt();
            reached = disk.Reached();
            if (reached) kinds.insert(disk.FailedStep());
        }
        if (!reached) {
            EXPECT_TRUE(ok);
            succeeded();
            return kinds;
        }
        EXPECT_FALSE(ok);
        failed();
    }
    ADD_FAILURE() << "never got through";
    return kinds;
}

}  // namespace tervasko::testing
