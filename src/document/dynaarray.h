#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace tervasko {

// Told of the changes to a list that the bytes of its records do not show by themselves, for
// keeping something derived from the records (an index) up to date. Appended records are not
// announced: they are the records from the last known count on.
class RecordListObserver {
public:
    virtual ~RecordListObserver() = default;
    // Record i was handed out for writing (Select, Exchange); `record` is still as it was.
    virtual void Touching(std::uint32_t i, const void* record) = 0;
    // Record i is about to be removed; the records behind it then move down by one.
    virtual void Removing(std::uint32_t i, const void* record) = 0;
    // A record is about to be inserted at i, the records from i on moving up by one; its
    // bytes are written by the caller afterwards.
    virtual void Inserting(std::uint32_t i) = 0;
    // The whole contents were replaced (cleared, swapped).
    virtual void Reset() = 0;
};

// The byte-level part of the record list: one contiguous block of fixed-size records that
// grows and shrinks in whole steps of GrowBy records, and a Position that is both the
// current record and the iteration cursor. Records move only as raw bytes.
class DynaArrayCore {
public:
    static constexpr std::uint32_t GrowBy = 100;

    explicit DynaArrayCore(std::size_t recordSize) : recordSize_(recordSize) {}
    ~DynaArrayCore();
    DynaArrayCore(const DynaArrayCore&) = delete;
    DynaArrayCore& operator=(const DynaArrayCore&) = delete;

    std::uint32_t Count() const { return count_; }
    std::size_t Capacity() const { return capacity_; }  // bytes reserved
    std::size_t RecordSize() const { return recordSize_; }
    std::int32_t Position() const { return position_; }
    void* Current() const { return current_; }
    // The record at i without making it current (0 <= i < Count); for readers that must
    // not move the cursor, such as the file writer.
    const void* At(std::uint32_t i) const { return block_ + i * recordSize_; }

    // The block supplier: returns a block of newBytes whose first min(oldBytes, newBytes)
    // bytes are those of `old` and whose rest is zero, releasing `old`; or nullptr, leaving
    // `old` untouched. The default resizes in place where the heap can (large blocks are
    // remapped, not copied). Tests replace it to simulate an exhausted heap.
    using Reallocator = void* (*)(void* old, std::size_t oldBytes, std::size_t newBytes);
    static void SetReallocator(Reallocator reallocator);  // nullptr restores the default
    static void* DefaultReallocate(void* old, std::size_t oldBytes, std::size_t newBytes);
    // Releases a block of `bytes` that DefaultReallocate supplied.
    static void DefaultRelease(void* block, std::size_t bytes);

    // The observer is told of removals, insertions, records handed out for writing and
    // resets; it stays with this list when the contents are swapped. nullptr: none.
    void SetObserver(RecordListObserver* observer) { observer_ = observer; }

protected:
    void* selectRaw(std::int32_t i);
    void* touchRaw(std::int32_t i);  // selectRaw, telling the observer first
    void* appendRaw();  // nullptr when the block could not be grown; nothing changed then
    void* appendManyRaw(std::uint32_t n);       // first of n new records; the last is current
    void* appendManyUnsetRaw(std::uint32_t n);  // the same, bytes left as they come
    bool deleteRaw(std::int32_t i);
    void* insertRaw(std::int32_t i);  // nullptr when i is out of 0..Count or memory ran out
    void clearRaw();
    void swapRaw(DynaArrayCore& other);
    bool exchangeRaw(std::int32_t a, std::int32_t b);
    bool rewindRaw();  // true when a record became current
    bool nextRaw();

private:
    bool applyCapacityRule();
    void releaseBlock();

    std::size_t recordSize_;
    std::uint32_t count_ = 0;
    unsigned char* block_ = nullptr;
    std::size_t capacity_ = 0;
    std::int32_t position_ = -1;
    void* current_ = nullptr;
    RecordListObserver* observer_ = nullptr;
};

// A growable list of trivially copyable records whose current record is published through
// a pointer variable of its owner. Several lists may share one owner variable; it then
// points into whichever list set it last.
template <typename T>
class TDynaArray : public DynaArrayCore {
    static_assert(std::is_trivially_copyable_v<T>, "records move as raw bytes");

public:
    explicit TDynaArray(T** ownerPointer = nullptr)
        : DynaArrayCore(sizeof(T)), owner_(ownerPointer) {}

    T* Current() const { return static_cast<T*>(DynaArrayCore::Current()); }
    const T& At(std::uint32_t i) const { return *static_cast<const T*>(DynaArrayCore::At(i)); }
    // The same record, writable until the next change of the list; the cursor stays.
    T& At(std::uint32_t i) { return *static_cast<T*>(const_cast<void*>(DynaArrayCore::At(i))); }

    // No range check: the caller passes 0 <= i < Count.
    // The record may be written through the pointer until the next change of the list.
    T* Select(std::int32_t i) { return publish(static_cast<T*>(touchRaw(i))); }

    // The new record is current. Its bytes are zero in a fresh block but may be those of a
    // record removed earlier when the slot was used before, so set every field you read.
    // nullptr when memory ran out (the user has been told); the list is then unchanged.
    T* Append() {
        void* p = appendRaw();
        return p ? publish(static_cast<T*>(p)) : nullptr;
    }

    // The same as n appends in a row, with at most one reservation: returns the first new
    // record; the last one is current. For readers that know the count beforehand.
    T* AppendMany(std::uint32_t n) {
        void* first = appendManyRaw(n);
        if (first) publish(Current());
        return static_cast<T*>(first);
    }

    // The same as AppendMany on an empty list, but a large block is not cleared first: its
    // records hold whatever the memory held. For a reader that writes every byte of every
    // new record before anything reads them. On a list that is not empty, AppendMany.
    T* AppendManyUnset(std::uint32_t n) {
        void* first = appendManyUnsetRaw(n);
        if (first) publish(Current());
        return static_cast<T*>(first);
    }

    // Ignores indices outside 0..Count-1. Ends any iteration; nothing is current afterwards.
    void Delete(std::int32_t i) {
        if (deleteRaw(i)) publish(nullptr);
    }

    // A new record at i (0 <= i <= Count), the records from i on moving up by one; it is
    // current and its bytes are those that were at i. nullptr when memory ran out or i is
    // out of range; the list is then unchanged. For undoing a deletion.
    T* Insert(std::int32_t i) {
        void* p = insertRaw(i);
        return p ? publish(static_cast<T*>(p)) : nullptr;
    }

    void Clear() {
        clearRaw();
        publish(nullptr);
    }

    // Swaps two records; afterwards b is current.
    void Exchange(std::int32_t a, std::int32_t b) {
        if (exchangeRaw(a, b)) publish(Current());
    }

    // Exchanges the whole contents (records, cursor) with another list of the same type;
    // each list keeps its own owner variable, which is set to its new current record.
    void Swap(TDynaArray& other) {
        swapRaw(other);
        publish(Current());
        other.publish(other.Current());
    }

    // Makes record 0 current. On an empty list nothing at all happens.
    void Rewind() {
        if (rewindRaw()) publish(Current());
    }

    // Makes the record at the cursor current and advances; false at the end.
    bool Next() {
        if (!nextRaw()) return false;
        publish(Current());
        return true;
    }

private:
    T* publish(T* p) {
        if (owner_) *owner_ = p;
        return p;
    }

    T** owner_;
};

}  // namespace tervasko
