#include "document/dynaarray.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <utility>

#include "platform/systemmessage.h"

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#define TERVASKO_MAPPED_BLOCKS 1
#endif

namespace tervasko {
namespace {

DynaArrayCore::Reallocator gReallocator = &DynaArrayCore::DefaultReallocate;

void tellNoMemory(std::size_t bytes) {
    ShowSystemMessage("Error while trying to allocate " + std::to_string(bytes) +
                      " bytes of RAM. Not enough memory.");
}

#ifdef TERVASKO_MAPPED_BLOCKS
// Blocks from this size on are pages of their own, resized by remapping: growing never
// copies the records nor holds them twice, whatever the heap looks like. (The C library
// would decide by a threshold that rises after large blocks were freed: a drawing loaded
// after another would sit in the heap, and its first append would copy all of it.)
constexpr std::size_t kMappedBytes = 256 * 1024;

std::size_t pageRound(std::size_t bytes) {
    static const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}

// The pages of the block released last, kept for the next block: a drawing loaded in place
// of another then writes into pages it already has instead of taking each anew from the system.
std::mutex gSpareLock;
void* gSpare = nullptr;
std::size_t gSpareBytes = 0;  // whole pages

// Pages for a block of `bytes`, zero unless `zeroed` is false (then the spare's pages keep
// what they held).
void* mapBlock(std::size_t bytes, bool zeroed) {
    const std::size_t want = pageRound(bytes);
    void* spare = nullptr;
    std::size_t spareBytes = 0;
    {
        std::lock_guard<std::mutex> lock(gSpareLock);
        std::swap(spare, gSpare);
        std::swap(spareBytes, gSpareBytes);
    }
    if (spare) {
        void* p = mremap(spare, spareBytes, want, MREMAP_MAYMOVE);
        if (p != MAP_FAILED) {
            if (zeroed) std::memset(p, 0, std::min(want, spareBytes));
            return p;
        }
        munmap(spare, spareBytes);
    }
    void* p = mmap(nullptr, want, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return p == MAP_FAILED ? nullptr : p;
}

void* mapZeroed(std::size_t bytes) {
    return mapBlock(bytes, true);
}

void unmap(void* block, std::size_t bytes) {
    constexpr std::size_t kMostSpare = std::size_t{256} << 20;
    void* drop = block;
    std::size_t dropBytes = pageRound(bytes);
    if (dropBytes <= kMostSpare) {
        std::lock_guard<std::mutex> lock(gSpareLock);
        std::swap(drop, gSpare);
        std::swap(dropBytes, gSpareBytes);
    }
    if (drop) munmap(drop, dropBytes);
}
#endif

}  // namespace

void* DynaArrayCore::DefaultReallocate(void* old, std::size_t oldBytes, std::size_t newBytes) {
#ifdef TERVASKO_MAPPED_BLOCKS
    const bool oldMapped = old && oldBytes >= kMappedBytes, newMapped = newBytes >= kMappedBytes;
    if (newMapped) {
        if (!old) return mapZeroed(newBytes);
        if (oldMapped) {
            void* p = mremap(old, pageRound(oldBytes), pageRound(newBytes), MREMAP_MAYMOVE);
            if (p == MAP_FAILED) return nullptr;
            // Pages added are zero; the tail of the old last page may hold removed records.
            if (newBytes > oldBytes)
                std::memset(static_cast<unsigned char*>(p) + oldBytes, 0,
                            std::min(newBytes, pageRound(oldBytes)) - oldBytes);
            return p;
        }
        void* p = mapZeroed(newBytes);
        if (!p) return nullptr;
        std::memcpy(p, old, std::min(oldBytes, newBytes));
        std::free(old);
        return p;
    }
    if (oldMapped) {
        void* p = std::calloc(1, newBytes);
        if (!p) return nullptr;
        std::memcpy(p, old, std::min(oldBytes, newBytes));
        unmap(old, oldBytes);
        return p;
    }
#endif
    // calloc gets large blocks straight from the system, already zero: no pass over them.
    if (!old) return std::calloc(1, newBytes);
    void* block = std::realloc(old, newBytes);
    if (block && newBytes > oldBytes)
        std::memset(static_cast<unsigned char*>(block) + oldBytes, 0, newBytes - oldBytes);
    return block;
}

void DynaArrayCore::DefaultRelease(void* block, std::size_t bytes) {
    if (!block) return;
#ifdef TERVASKO_MAPPED_BLOCKS
    if (bytes >= kMappedBytes) {
        unmap(block, bytes);
        return;
    }
#endif
    (void)bytes;
    std::free(block);
}

void DynaArrayCore::releaseBlock() {
    DefaultRelease(block_, capacity_);
    block_ = nullptr;
    capacity_ = 0;
}

void DynaArrayCore::SetReallocator(Reallocator reallocator) {
    gReallocator = reallocator ? reallocator : &DefaultReallocate;
}

DynaArrayCore::~DynaArrayCore() {
    releaseBlock();
    current_ = nullptr;
    position_ = -1;
}

bool DynaArrayCore::applyCapacityRule() {
    if (count_ == 0) {
        releaseBlock();
        return true;
    }
    const std::size_t need =
        (static_cast<std::size_t>((count_ - 1) / GrowBy) + 1) * GrowBy * recordSize_;
    if (need == capacity_) return true;
    const bool shrinking = need < capacity_;
    void* fresh = gReallocator(block_, capacity_, need);
    if (!fresh && shrinking) fresh = gReallocator(block_, capacity_, need);
    if (!fresh) {
        tellNoMemory(need);
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

void* DynaArrayCore::touchRaw(std::int32_t i) {
    if (observer_ && i >= 0 && static_cast<std::uint32_t>(i) < count_)
        observer_->Touching(static_cast<std::uint32_t>(i),
                            block_ + static_cast<std::size_t>(i) * recordSize_);
    return selectRaw(i);
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

void* DynaArrayCore::appendManyUnsetRaw(std::uint32_t n) {
#ifdef TERVASKO_MAPPED_BLOCKS
    if (count_ == 0 && !block_ && n > 0 && n <= static_cast<std::uint32_t>(INT32_MAX) &&
        gReallocator == &DefaultReallocate) {
        const std::size_t used = static_cast<std::size_t>(n) * recordSize_;
        const std::size_t need =
            (static_cast<std::size_t>((n - 1) / GrowBy) + 1) * GrowBy * recordSize_;
        if (need >= kMappedBytes) {
            void* fresh = mapBlock(need, false);
            if (!fresh) {
                tellNoMemory(need);
                return nullptr;
            }
            block_ = static_cast<unsigned char*>(fresh);
            capacity_ = need;
            count_ = n;
            // The room behind the records is zero, as in any fresh block.
            std::memset(block_ + used, 0, need - used);
            selectRaw(static_cast<std::int32_t>(n - 1));
            return block_;
        }
    }
#endif
    return appendManyRaw(n);
}

bool DynaArrayCore::deleteRaw(std::int32_t i) {
    if (i < 0 || static_cast<std::uint32_t>(i) >= count_) return false;
    const std::size_t behind = (count_ - 1 - static_cast<std::uint32_t>(i)) * recordSize_;
    unsigned char* slot = block_ + static_cast<std::size_t>(i) * recordSize_;
    if (observer_) observer_->Removing(static_cast<std::uint32_t>(i), slot);
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
    if (observer_) observer_->Inserting(static_cast<std::uint32_t>(i));
    unsigned char* slot = block_ + static_cast<std::size_t>(i) * recordSize_;
    const std::size_t behind = (count_ - 1 - static_cast<std::uint32_t>(i)) * recordSize_;
    if (behind) std::memmove(slot + recordSize_, slot, behind);
    return selectRaw(i);
}

void DynaArrayCore::clearRaw() {
    count_ = 0;
    releaseBlock();
    position_ = -1;
    current_ = nullptr;
    if (observer_) observer_->Reset();
}

void DynaArrayCore::swapRaw(DynaArrayCore& other) {
    std::swap(recordSize_, other.recordSize_);
    std::swap(count_, other.count_);
    std::swap(block_, other.block_);
    std::swap(capacity_, other.capacity_);
    std::swap(position_, other.position_);
    std::swap(current_, other.current_);
    if (observer_) observer_->Reset();
    if (other.observer_) other.observer_->Reset();
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
    if (observer_) {
        observer_->Touching(static_cast<std::uint32_t>(a), pa);
        observer_->Touching(static_cast<std::uint32_t>(b), pb);
    }
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
