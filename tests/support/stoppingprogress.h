#pragma once

#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "platform/progress.h"

namespace tervasko::testing {

// Notes every report and says stop at report number `stopAt` (counted from 1; never when 0).
class StoppingProgress final : public Progress {
public:
    explicit StoppingProgress(std::size_t stopAt = 0) : stopAt_(stopAt) {}
    bool Report(std::uint64_t done, std::uint64_t total) override {
        reports.emplace_back(done, total);
        return reports.size() != stopAt_;
    }
    std::vector<std::pair<std::uint64_t, std::uint64_t>> reports;

private:
    std::size_t stopAt_;
};

}  // namespace tervasko::testing
