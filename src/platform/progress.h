#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace tervasko {

// Told now and then how far a long piece of work (an export, a print) has come, and asked
// whether it may go on. `done` never decreases from one report to the next and never exceeds
// `total`; the last report of a finished piece of work is (total, total), and it comes
// before the work's result is put in place, so answering false even then stops it with
// nothing left behind. Called on the working thread: a window shows it through its own
// event loop and should keep each answer quick.
class Progress {
public:
    virtual ~Progress() = default;
    virtual bool Report(std::uint64_t done, std::uint64_t total) = 0;
};

// Counts work as it is done and hands it to a Progress every `stride` units, so that the
// work can call Advance for every element at the cost of an addition and a comparison.
// Without a Progress nothing is reported and the work is never stopped. The total may be an
// estimate: `done` is held to it, and Finish reports the total itself.
class ProgressCounter {
public:
    static constexpr std::uint64_t kDefaultStride = 1024;

    explicit ProgressCounter(Progress* progress, std::uint64_t total = 0,
                             std::uint64_t stride = kDefaultStride)
        : progress_(progress), total_(total), stride_(std::max<std::uint64_t>(stride, 1)) {
        next_ = progress_ ? stride_ : kNever;
    }
    ProgressCounter(const ProgressCounter&) = delete;
    ProgressCounter& operator=(const ProgressCounter&) = delete;

    void SetTotal(std::uint64_t total) { total_ = std::max(total, reported_); }
    std::uint64_t Total() const { return total_; }

    // `n` more units done; false once the work is to stop.
    bool Advance(std::uint64_t n = 1) {
        done_ += n;
        if (done_ < next_) return !stopped_;
        next_ = done_ + stride_;
        return report(std::min(done_, total_));
    }

    // Asks again without new work done (while waiting on a device, say); false to stop.
    bool Poll() { return progress_ ? report(std::min(done_, total_)) : !stopped_; }

    // The work is complete: reports (total, total) once. False when the answer is to stop
    // (or the work was stopped before), and the result must then be thrown away.
    bool Finish() {
        if (stopped_) return false;
        if (!progress_ || finished_) return true;
        finished_ = true;
        done_ = total_;
        return report(total_);
    }

    bool Stopped() const { return stopped_; }
    // Whether anybody listens: without, the work need not count at all.
    bool Reporting() const { return progress_ != nullptr; }

private:
    static constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();

    bool report(std::uint64_t done) {
        if (stopped_) return false;
        reported_ = std::max(reported_, done);
        if (!progress_->Report(reported_, total_)) {
            stopped_ = true;
            next_ = kNever;  // a stopped counter asks no more
        }
        return !stopped_;
    }

    Progress* progress_;
    std::uint64_t total_;
    std::uint64_t stride_;
    std::uint64_t done_ = 0, reported_ = 0, next_ = 0;
    bool stopped_ = false, finished_ = false;
};

}  // namespace tervasko
