#include "document/dynaarray.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/systemmessage.h"

namespace tervasko {
namespace {

struct Rec {
    int value;
    int spare;
};

// Counts block reservations and can refuse them, to watch the capacity rule at work.
struct AllocSpy {
    static inline int calls = 0;
    static inline int failuresLeft = 0;
    static inline std::vector<std::string> messages;

    static void* reallocate(void* old, std::size_t oldBytes, std::size_t newBytes) {
        ++calls;
        if (failuresLeft > 0) {
            --failuresLeft;
            return nullptr;
        }
        return DynaArrayCore::DefaultReallocate(old, oldBytes, newBytes);
    }
    static void message(const std::string& text) { messages.push_back(text); }

    AllocSpy() {
        calls = 0;
        failuresLeft = 0;
        messages.clear();
        DynaArrayCore::SetReallocator(&reallocate);
        SetSystemMessageHandler(&message);
    }
    ~AllocSpy() {
        DynaArrayCore::SetReallocator(nullptr);
        SetSystemMessageHandler(nullptr);
    }
};

std::vector<int> values(TDynaArray<Rec>& list) {
    std::vector<int> out;
    for (std::uint32_t i = 0; i < list.Count(); ++i) out.push_back(list.At(i).value);
    return out;
}

void fill(TDynaArray<Rec>& list, int n) {
    for (int i = 0; i < n; ++i) list.Append()->value = i;
}

TEST(DynaArray, CapacityGrowsAndShrinksInWholeBlocksOfHundredRecords) {
    AllocSpy spy;
    Rec* cur = nullptr;
    TDynaArray<Rec> list(&cur);
    fill(list, 100);
    EXPECT_EQ(spy.calls, 1);
    EXPECT_EQ(list.Capacity(), 100 * sizeof(Rec));

    list.Append()->value = 100;  // the 101st append reserves 200 and copies the first 100
    EXPECT_EQ(spy.calls, 2);
    EXPECT_EQ(list.Capacity(), 200 * sizeof(Rec));
    for (int i = 0; i < 101; ++i) EXPECT_EQ(list.At(i).value, i);
    // The rest of a fresh block is zero.
    EXPECT_EQ(reinterpret_cast<const Rec*>(&list.At(0))[150].value, 0);

    list.Delete(0);  // 101 -> 100 records: back to one block
    EXPECT_EQ(spy.calls, 3);
    EXPECT_EQ(list.Capacity(), 100 * sizeof(Rec));
    EXPECT_EQ(list.At(0).value, 1);
    EXPECT_EQ(list.At(99).value, 100);

    while (list.Count() > 0) list.Delete(0);
    EXPECT_EQ(list.Capacity(), 0u);
    EXPECT_EQ(spy.calls, 3);  // releasing reserves nothing
}

// Blocks too large for the heap's small pieces grow and shrink by remapping: the records stay,
// the block follows the capacity rule, and a record appended into a slot freed earlier in the
// same page is zero, not the removed record.
TEST(DynaArray, LargeBlocksKeepTheirRecordsThroughGrowingAndShrinking) {
    struct Big {
        std::uint64_t value;
        unsigned char spare[120];
    };
    Big* cur = nullptr;
    TDynaArray<Big> list(&cur);
    Big* first = list.AppendMany(5000);  // 640,000 bytes
    ASSERT_NE(first, nullptr);
    for (std::uint32_t i = 0; i < 5000; ++i) first[i].value = i * 7 + 1;
    for (std::uint32_t i = 5000; i < 5250; ++i) list.Append()->value = i * 7 + 1;
    EXPECT_EQ(list.Capacity(), 5300 * sizeof(Big));
    for (std::uint32_t i = 0; i < 5250; ++i) ASSERT_EQ(list.At(i).value, i * 7 + 1) << i;
    while (list.Count() > 5101) list.Delete(static_cast<std::int32_t>(list.Count()) - 1);
    EXPECT_EQ(list.Capacity(), 5200 * sizeof(Big));
    list.Delete(5100);  // down to 5100 records: the block shrinks
    EXPECT_EQ(list.Capacity(), 5100 * sizeof(Big));
    for (int k = 0; k < 150; ++k) {
        const Big& fresh = *list.Append();
        EXPECT_EQ(fresh.value, 0u);
        EXPECT_EQ(fresh.spare[119], 0);
    }
    for (std::uint32_t i = 0; i < 5100; ++i) ASSERT_EQ(list.At(i).value, i * 7 + 1) << i;
    // Down below the size of a mapped block and up again.
    while (list.Count() > 100) list.Delete(static_cast<std::int32_t>(list.Count()) - 1);
    EXPECT_EQ(list.Capacity(), 100 * sizeof(Big));
    EXPECT_EQ(list.At(99).value, 99 * 7 + 1u);
    list.AppendMany(3000);
    EXPECT_EQ(list.At(99).value, 99 * 7 + 1u);
    EXPECT_EQ(list.At(3099).value, 0u);
    list.Clear();
    EXPECT_EQ(list.Capacity(), 0u);
}

TEST(DynaArray, DeleteMovesRecordsDownAndLeavesNothingCurrent) {
    Rec* cur = nullptr;
    TDynaArray<Rec> list(&cur);
    fill(list, 5);
    list.Delete(3);
    EXPECT_EQ(values(list), (std::vector<int>{0, 1, 2, 4}));
    EXPECT_EQ(cur, nullptr);
    EXPECT_EQ(list.Position(), -1);
    EXPECT_FALSE(list.Next());  // an iteration ends with a delete

    cur = list.Select(1);
    for (int bad : {-1, 4, 100}) list.Delete(bad);
    EXPECT_EQ(values(list), (std::vector<int>{0, 1, 2, 4}));
    EXPECT_EQ(cur, list.Select(1));  // an ignored delete leaves the owner variable alone

    TDynaArray<Rec> empty(&cur);
    empty.Delete(0);
    EXPECT_EQ(empty.Count(), 0u);
}

TEST(DynaArray, PositionIsBothCurrentRecordAndCursor) {
    Rec* cur = nullptr;
    TDynaArray<Rec> list(&cur);

    list.Rewind();  // empty: nothing happens at all
    EXPECT_FALSE(list.Next());

    fill(list, 4);
    list.Select(2);
    std::vector<int> seen;
    while (list.Next()) seen.push_back(cur->value);
    EXPECT_EQ(seen, (std::vector<int>{2, 3}));

    // Select inside an iteration: the next Next yields that record again.
    seen.clear();
    list.Rewind();
    while (list.Next()) {
        seen.push_back(cur->value);
        if (seen.size() == 3) list.Select(0);
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 0, 1, 2, 3}));

    // Append inside an iteration: the next Next yields the new record.
    list.Rewind();
    ASSERT_TRUE(list.Next());
    list.Append()->value = 42;
    ASSERT_TRUE(list.Next());
    EXPECT_EQ(cur->value, 42);
    EXPECT_FALSE(list.Next());
}

TEST(DynaArray, ExchangeSwapsBytesAndLeavesSecondCurrent) {
    Rec* cur = nullptr;
    TDynaArray<Rec> list(&cur);
    fill(list, 6);
    list.Exchange(2, 5);
    EXPECT_EQ(values(list), (std::vector<int>{0, 1, 5, 3, 4, 2}));
    EXPECT_EQ(list.Position(), 5);
    EXPECT_EQ(cur, &list.At(5));

    list.Exchange(0, 6);  // out of range: nothing
    list.Exchange(-1, 0);
    EXPECT_EQ(values(list), (std::vector<int>{0, 1, 5, 3, 4, 2}));
}

TEST(DynaArray, ReusedSlotKeepsOldBytesAndListsShareOneOwnerVariable) {
    Rec* cur = nullptr;
    TDynaArray<Rec> a(&cur), b(&cur);
    fill(a, 3);
    a.Delete(0);
    Rec* again = a.Append();
    EXPECT_EQ(again->value, 2);  // the last record's bytes were left behind in its slot

    b.Append()->value = 7;
    EXPECT_EQ(cur->value, 7);  // the variable points into whichever list set it last
    a.Select(0);
    EXPECT_EQ(cur, &a.At(0));
    b.Clear();
    EXPECT_EQ(cur, nullptr);
}

TEST(DynaArray, FailedReservationIsReportedAndNeverUsed) {
    AllocSpy spy;
    Rec* cur = nullptr;
    TDynaArray<Rec> list(&cur);
    fill(list, 100);
    Rec* before = list.Select(99);

    spy.failuresLeft = 1;
    EXPECT_EQ(list.Append(), nullptr);
    ASSERT_EQ(spy.messages.size(), 1u);
    EXPECT_EQ(spy.messages[0], "Error while trying to allocate " +
                                   std::to_string(200 * sizeof(Rec)) +
                                   " bytes of RAM. Not enough memory.");
    EXPECT_EQ(list.Count(), 100u);
    EXPECT_EQ(cur, before);
    EXPECT_EQ(list.At(99).value, 99);

    // Shrinking tries twice; when both fail the larger block simply stays usable.
    list.Append()->value = 100;
    spy.failuresLeft = 2;
    spy.messages.clear();
    list.Delete(0);
    EXPECT_EQ(spy.messages.size(), 1u);
    EXPECT_EQ(list.Count(), 100u);
    EXPECT_EQ(list.At(99).value, 100);
    list.Delete(0);  // the next change succeeds in shrinking
    EXPECT_EQ(list.Capacity(), 100 * sizeof(Rec));

    // One failed attempt of two: shrinking still succeeds, silently.
    TDynaArray<Rec> other(&cur);
    fill(other, 101);
    spy.failuresLeft = 1;
    spy.messages.clear();
    other.Delete(100);
    EXPECT_TRUE(spy.messages.empty());
    EXPECT_EQ(other.Capacity(), 100 * sizeof(Rec));
}

}  // namespace
}  // namespace tervasko
