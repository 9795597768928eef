#include "document/dynaarray.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "platform/systemmessage.h"

namespace tervasko {
namespace {

DynaArrayCore::Reallocator gReallocator = &DynaArrayCore::DefaultReallocate;

}  // namespace

void* DynaArrayCore::DefaultReallocate(void* old, std::size_t oldBytes, std::size_t newBytes) {
    // calloc gets large blocks straight from the system, already zero: no pass over them.
    if (!old) return std::calloc(1, newBytes);
    void* block = std::realloc(old, newBytes);
    if (block && newBytes > oldBytes)
        std::memset(static_cast<unsigned char*>(block) + oldBytes, 0, newBytes - oldBytes);
    return block;
}

void DynaArrayCore::SetReallocator(Reallocator reallocator) {
    gReallocator = reallocator ? reallocator : &DefaultReallocate;
}

DynaArrayCore::~DynaArrayCore() {
    std::free(block_);
    block_ = nullptr;
    current_ = nullptr;
    position_ = -1;
}

bool DynaArrayCore::applyCapacityRule() {
    if (count_ == 0) {
        std::free(block_);
        block_ = nullptr;
        capacity_ = 0;
        return true;
    }
    const std::size_t need =
        (static_cast<std::size_t>((count_ - 1) / GrowBy) + 1) * GrowBy * recordSize_;
    if (need == capacity_) return true;
    const bool shrinking = need < capacity_;
    void* fresh = gReallocator(block_, capacity_, need);
    if (!fresh && shrinking) fresh = gReallocator(block_, capacity_, need);
    if (!fresh) {
        ShowSystemMessage("Error while trying to allocate " + std::to_string(need) +
                          " bytes of RAM. Not enough memory.");
        return false;
    }
    block_ = static_cast<unsigned char*>(fresh);
    capacity_ = need;
    return true;
}

void* DynaArrayCore::selectRaw(std::int32_t i) {
    position_ = i;
    current_ = block_ + static_cast<std::ptrdiff_t>(i) * static_cast<std::ptrdiff_t>(recordSize_);
    return current_;
}

void* DynaArrayCore::appendRaw() {
    ++count_;
    if (!applyCapacityRule()) {
        // The old block is still whole; the list stays as it was before the append.
        --count_;
        return nullptr;
    }
    return selectRaw(static_cast<std::int32_t>(count_ - 1));
}

void* DynaArrayCore::appendManyRaw(std::uint32_t n) {
    if (n == 0 || n > UINT32_MAX - count_ || count_ + n > static_cast<std::uint32_t>(INT32_MAX))
        return nullptr;
    const std::uint32_t first = count_;
    count_ += n;
    if (!applyCapacityRule()) {
        count_ = first;
        return nullptr;
    }
    selectRaw(static_cast<std::int32_t>(count_ - 1));
    return block_ + static_cast<std::size_t>(first) * recordSize_;
}

bool DynaArrayCore::deleteRaw(std::int32_t i) {
    if (i < 0 || static_cast<std::uint32_t>(i) >= count_) return false;
    const std::size_t behind = (count_ - 1 - static_cast<std::uint32_t>(i)) * recordSize_;
    unsigned char* slot = block_ + static_cast<std::size_t>(i) * recordSize_;
    if (behind) std::memmove(slot, slot + recordSize_, behind);
    --count_;
    // When a smaller block cannot be had the larger one simply stays; the next change of
    // Count tries again.
    applyCapacityRule();
    position_ = -1;
    current_ = nullptr;
    return true;
}

void* DynaArrayCore::insertRaw(std::int32_t i) {
    if (i < 0 || static_cast<std::uint32_t>(i) > count_) return nullptr;
    if (!appendRaw()) return nullptr;
    unsigned char* slot = block_ + static_cast<std::size_t>(i) * recordSize_;
    const std::size_t behind = (count_ - 1 - static_cast<std::uint32_t>(i)) * recordSize_;
    if (behind) std::memmove(slot + recordSize_, slot, behind);
    return selectRaw(i);
}

void DynaArrayCore::clearRaw() {
    count_ = 0;
    std::free(block_);
    block_ = nullptr;
    capacity_ = 0;
    position_ = -1;
    current_ = nullptr;
}

void DynaArrayCore::swapRaw(DynaArrayCore& other) {
    std::swap(recordSize_, other.recordSize_);
    std::swap(count_, other.count_);
    std::swap(block_, other.block_);
    std::swap(capacity_, other.capacity_);
    std::swap(position_, other.position_);
    std::swap(current_, other.current_);
}

bool DynaArrayCore::exchangeRaw(std::int32_t a, std::int32_t b) {
    if (a < 0 || b < 0 || static_cast<std::uint32_t>(a) >= count_ ||
        static_cast<std::uint32_t>(b) >= count_)
        return false;
    void* temp = std::malloc(recordSize_);
    if (!temp) {
        ShowSystemMessage("Error while trying to allocate " + std::to_string(recordSize_) +
                          " bytes of RAM. Not enough memory.");
        return false;
    }
    unsigned char* pa = block_ + static_cast<std::size_t>(a) * recordSize_;
    unsigned char* pb = block_ + static_cast<std::size_t>(b) * recordSize_;
    std::memcpy(temp, pa, recordSize_);
    std::memcpy(pa, pb, recordSize_);
    std::memcpy(pb, temp, recordSize_);
    std::free(temp);
    selectRaw(b);
    return true;
}

bool DynaArrayCore::rewindRaw() {
    if (count_ == 0) return false;
    selectRaw(0);
    return true;
}

bool DynaArrayCore::nextRaw() {
    if (count_ == 0 || position_ < 0 || static_cast<std::uint32_t>(position_) >= count_)
        return false;
    selectRaw(position_);
    ++position_;
    return true;
}

}  // namespace tervasko
