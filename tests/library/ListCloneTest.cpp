// TListClone: growth, notification, deletion, the checks that raise the list
// error, and running out of memory while the slot block is resized.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "FailingAllocator.h"
#include "library/TemplateList/ListClone.h"

namespace kelvorat {
namespace {

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMaxListSize = 134217727;

const std::string kListErrorText = "Listエラー (TemplateList\\ListClone, 127 行)";

// Distinct non-null items.
std::array<int, 512> gStorage{};
void* Item(std::size_t i) { return &gStorage.at(i); }

// A list that records every notification, with the count and the item in the
// notified slot as they were when it came.
class RecordingList : public TListClone {
 public:
  struct Call {
    void* item;
    int action;
    std::int32_t countAtCall;
    bool operator==(const Call&) const = default;
  };
  std::vector<Call> calls;

  void Notify(void* item, int action) override { calls.push_back({item, action, Count()}); }
};

std::ostream& operator<<(std::ostream& out, const RecordingList::Call& call) {
  return out << "{item " << call.item << ", action " << call.action << ", count " << call.countAtCall << "}";
}

// Everything a caller can see of a list.
struct Snapshot {
  std::int32_t count;
  std::int32_t capacity;
  std::vector<void*> items;
  bool operator==(const Snapshot&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Snapshot& s) {
  out << "{count " << s.count << ", capacity " << s.capacity << ", items";
  for (void* item : s.items) out << ' ' << item;
  return out << '}';
}

Snapshot Take(const TListClone& list) {
  Snapshot s{list.Count(), list.Capacity(), {}};
  for (std::int32_t i = 0; i < list.Count(); ++i) s.items.push_back(list.Get(i));
  return s;
}

void Fill(TListClone& list, const std::vector<void*>& items) {
  for (void* item : items) list.Add(item);
}

// Runs `operation` and answers the text of the list error it raised, or a
// note that it raised none.
std::string ListErrorTextOf(const std::function<void()>& operation) {
  try {
    operation();
  } catch (const TListError& error) {
    return error.what();
  }
  return "(no list error)";
}

// ---------------------------------------------------------------- Add and growth

TEST(ListCloneAdd, NewListIsEmpty) {
  const TListClone list;
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 0);
  EXPECT_EQ(ListErrorTextOf([&] { list.Get(0); }), kListErrorText);
}

// From an empty list the capacity grows to 4, 8, 12, 28, 44, 60, 76, 95, 118,
// 147, 183, 228, 285, 356, each time on the Add that finds the list full, and
// the items keep their places.
TEST(ListCloneAdd, GrowsByTheGrowthRuleOnlyWhenFull) {
  const std::vector<std::int32_t> expected = {4, 8, 12, 28, 44, 60, 76, 95, 118, 147, 183, 228, 285, 356};
  TListClone list;
  std::vector<std::int32_t> capacities;
  for (std::size_t i = 0; i < 356; ++i) {
    const std::int32_t before = list.Capacity();
    const bool wasFull = list.Count() == before;
    EXPECT_EQ(list.Add(Item(i)), static_cast<std::int32_t>(i));
    if (list.Capacity() != before) {
      EXPECT_TRUE(wasFull) << "capacity changed at item " << i;
      capacities.push_back(list.Capacity());
    }
  }
  EXPECT_EQ(capacities, expected);
  ASSERT_EQ(list.Count(), 356);
  for (std::size_t i = 0; i < 356; ++i) EXPECT_EQ(list.Get(static_cast<std::int32_t>(i)), Item(i));
}

// The step depends on the capacity the list has, however it got it: 4 up to
// 8 slots, 16 above 8 up to 64, a quarter (rounded down) above 64.
TEST(ListCloneAdd, GrowthStepFromAnyCapacity) {
  struct Case {
    std::int32_t capacity;
    std::int32_t next;
  };
  const Case cases[] = {{1, 5}, {3, 7}, {8, 12}, {9, 25}, {63, 79}, {64, 80}, {65, 81}, {67, 83}, {100, 125}, {203, 253}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "capacity " << c.capacity);
    TListClone list;
    list.SetCapacity(c.capacity);
    for (std::int32_t i = 0; i < c.capacity; ++i) list.Add(Item(static_cast<std::size_t>(i)));
    ASSERT_EQ(list.Capacity(), c.capacity);
    list.Add(nullptr);
    EXPECT_EQ(list.Capacity(), c.next);
    EXPECT_EQ(list.Count(), c.capacity + 1);
  }
}

// A non-null item is announced with action 0 once it is stored and counted;
// the null item is stored, counted and returned, but not announced.
TEST(ListCloneAdd, NotifiesNonNullItemsOnly) {
  RecordingList list;
  EXPECT_EQ(list.Add(Item(0)), 0);
  EXPECT_EQ(list.Add(nullptr), 1);
  EXPECT_EQ(list.Add(Item(2)), 2);
  EXPECT_EQ(list.Add(nullptr), 3);
  EXPECT_EQ(list.Add(nullptr), 4);  // grows the list
  const std::vector<RecordingList::Call> expectedCalls = {{Item(0), 0, 1}, {Item(2), 0, 3}};
  EXPECT_EQ(list.calls, expectedCalls);
  EXPECT_EQ(Take(list), (Snapshot{5, 8, {Item(0), nullptr, Item(2), nullptr, nullptr}}));
}

// ---------------------------------------------------------------- Delete

// Delete closes the gap, keeps the capacity, and announces a non-null item
// with action 2 after it left the count.
TEST(ListCloneDelete, MovesLaterItemsDownAndKeepsCapacity) {
  struct Case {
    const char* name;
    std::vector<void*> items;
    std::int32_t index;
  };
  const std::vector<void*> five = {Item(0), Item(1), Item(2), Item(3), Item(4)};
  const Case cases[] = {
      {"first of three", {Item(0), Item(1), Item(2)}, 0},
      {"first of five", five, 0},
      {"middle of five", five, 2},
      {"last of five", five, 4},
      {"only item", {Item(7)}, 0},
      {"null item", {Item(0), nullptr, Item(2)}, 1},
      {"before a null item", {Item(0), nullptr, Item(2)}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingList list;
    Fill(list, c.items);
    const std::int32_t capacity = list.Capacity();
    list.calls.clear();

    list.Delete(c.index);

    std::vector<void*> remaining = c.items;
    void* const removed = remaining[static_cast<std::size_t>(c.index)];
    remaining.erase(remaining.begin() + c.index);
    EXPECT_EQ(Take(list), (Snapshot{static_cast<std::int32_t>(remaining.size()), capacity, remaining}));
    std::vector<RecordingList::Call> expectedCalls;
    if (removed != nullptr) expectedCalls.push_back({removed, 2, static_cast<std::int32_t>(remaining.size())});
    EXPECT_EQ(list.calls, expectedCalls);
  }
}

// ---------------------------------------------------------------- SetCount

TEST(ListCloneSetCount, GrowsToExactlyTheCountWithNullItems) {
  RecordingList list;
  list.SetCount(5);
  EXPECT_EQ(Take(list), (Snapshot{5, 5, std::vector<void*>(5, nullptr)}));
  list.SetCount(2);
  EXPECT_EQ(Take(list), (Snapshot{2, 5, std::vector<void*>(2, nullptr)}));
  EXPECT_TRUE(list.calls.empty());
}

TEST(ListCloneSetCount, KeepsItemsWhenGrowing) {
  struct Case {
    std::int32_t newCount;
    std::int32_t capacity;
  };
  // Three items in four slots: growing within them, and beyond them to
  // exactly the new count rather than by the growth rule.
  const Case cases[] = {{3, 4}, {4, 4}, {5, 5}, {9, 9}, {200, 200}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "SetCount(" << c.newCount << ")");
    RecordingList list;
    Fill(list, {Item(0), nullptr, Item(2)});
    list.calls.clear();
    list.SetCount(c.newCount);
    std::vector<void*> items = {Item(0), nullptr, Item(2)};
    items.resize(static_cast<std::size_t>(c.newCount), nullptr);
    EXPECT_EQ(Take(list), (Snapshot{c.newCount, c.capacity, items}));
    EXPECT_TRUE(list.calls.empty());
  }
}

// Shrinking deletes from the last index down, announcing each non-null item.
TEST(ListCloneSetCount, ShrinksFromTheLastIndexDown) {
  RecordingList list;
  Fill(list, {Item(0), Item(1), Item(2), nullptr, Item(4)});
  list.calls.clear();
  list.SetCount(1);
  const std::vector<RecordingList::Call> expectedCalls = {{Item(4), 2, 4}, {Item(2), 2, 2}, {Item(1), 2, 1}};
  EXPECT_EQ(list.calls, expectedCalls);
  EXPECT_EQ(Take(list), (Snapshot{1, 8, {Item(0)}}));
}

// Slots given up by a shrink come back as null items, not as what they held.
TEST(ListCloneSetCount, RegrownSlotsAreNull) {
  TListClone list;
  Fill(list, {Item(0), Item(1), Item(2), Item(3), Item(4)});
  list.SetCount(2);
  list.SetCount(5);
  EXPECT_EQ(Take(list), (Snapshot{5, 8, {Item(0), Item(1), nullptr, nullptr, nullptr}}));
}

// ---------------------------------------------------------------- SetCapacity

TEST(ListCloneSetCapacity, KeepsItemsWhenResized) {
  for (const std::int32_t capacity : {3, 4, 5, 100}) {
    SCOPED_TRACE(testing::Message() << "SetCapacity(" << capacity << ")");
    TListClone list;
    Fill(list, {Item(0), nullptr, Item(2)});
    list.SetCapacity(capacity);
    EXPECT_EQ(Take(list), (Snapshot{3, capacity, {Item(0), nullptr, Item(2)}}));
  }
}

// Setting the capacity the list already has changes nothing, not even the block.
TEST(ListCloneSetCapacity, SameCapacityAllocatesNothing) {
  TListClone list;
  Fill(list, {Item(0), Item(1), Item(2)});
  const Snapshot before = Take(list);
  const std::size_t allocations = test::AllocationsSoFar();
  list.SetCapacity(4);
  const std::size_t allocated = test::AllocationsSoFar() - allocations;
  EXPECT_EQ(allocated, 0u);
  EXPECT_EQ(Take(list), before);
}

// ---------------------------------------------------------------- Clear

TEST(ListCloneClear, EmptiesAndReleasesAndStartsOver) {
  RecordingList list;
  list.Clear();
  EXPECT_EQ(Take(list), (Snapshot{0, 0, {}}));
  EXPECT_TRUE(list.calls.empty());

  Fill(list, {Item(0), nullptr, Item(2), Item(3), Item(4)});
  list.calls.clear();
  list.calls.reserve(16);  // so that recording allocates nothing during Clear
  const std::size_t liveBefore = test::LiveBlocks();
  list.Clear();
  EXPECT_EQ(test::LiveBlocks(), liveBefore - 1) << "the slot block is released";
  EXPECT_EQ(Take(list), (Snapshot{0, 0, {}}));
  const std::vector<RecordingList::Call> expectedCalls = {
      {Item(4), 2, 4}, {Item(3), 2, 3}, {Item(2), 2, 2}, {Item(0), 2, 0}};
  EXPECT_EQ(list.calls, expectedCalls);

  EXPECT_EQ(list.Add(Item(9)), 0);
  EXPECT_EQ(Take(list), (Snapshot{1, 4, {Item(9)}}));
}

// ---------------------------------------------------------------- the list error

TEST(ListCloneError, RaisesTheListError) {
  EXPECT_EQ(ListErrorTextOf([] { TListClone::Error(); }), kListErrorText);
  try {
    TListClone::Error();
  } catch (const std::exception& error) {
    EXPECT_EQ(std::string(error.what()), kListErrorText) << "caught as a standard exception";
  }
}

// Every violated check raises the same list error, whatever the operation and
// value, before anything changes: no item, count, capacity or notification.
TEST(ListCloneError, EveryViolationRaisesTheSameErrorAndChangesNothing) {
  struct Case {
    const char* name;
    std::vector<void*> items;
    std::function<void(TListClone&)> operation;
  };
  const std::vector<void*> three = {Item(0), nullptr, Item(2)};
  const std::vector<void*> none;
  const Case cases[] = {
      {"Get(0) on an empty list", none, [](TListClone& l) { l.Get(0); }},
      {"Get(-1)", three, [](TListClone& l) { l.Get(-1); }},
      {"Get(Count)", three, [](TListClone& l) { l.Get(3); }},
      {"Get(Capacity)", three, [](TListClone& l) { l.Get(4); }},
      {"Get(largest)", three, [](TListClone& l) { l.Get(kInt32Max); }},
      {"Get(smallest)", three, [](TListClone& l) { l.Get(kInt32Min); }},
      {"Delete(0) on an empty list", none, [](TListClone& l) { l.Delete(0); }},
      {"Delete(-1)", three, [](TListClone& l) { l.Delete(-1); }},
      {"Delete(Count)", three, [](TListClone& l) { l.Delete(3); }},
      {"Delete(smallest)", three, [](TListClone& l) { l.Delete(kInt32Min); }},
      {"SetCapacity below Count", three, [](TListClone& l) { l.SetCapacity(2); }},
      {"SetCapacity(0) with items", three, [](TListClone& l) { l.SetCapacity(0); }},
      {"SetCapacity(-1) on an empty list", none, [](TListClone& l) { l.SetCapacity(-1); }},
      {"SetCapacity(MaxListSize + 1)", three, [](TListClone& l) { l.SetCapacity(kMaxListSize + 1); }},
      {"SetCapacity(MaxListSize + 1) on an empty list", none,
       [](TListClone& l) { l.SetCapacity(kMaxListSize + 1); }},
      {"SetCapacity(largest)", three, [](TListClone& l) { l.SetCapacity(kInt32Max); }},
      {"SetCapacity(smallest)", three, [](TListClone& l) { l.SetCapacity(kInt32Min); }},
      {"SetCount(-1)", three, [](TListClone& l) { l.SetCount(-1); }},
      {"SetCount(-1) on an empty list", none, [](TListClone& l) { l.SetCount(-1); }},
      {"SetCount(MaxListSize + 1)", three, [](TListClone& l) { l.SetCount(kMaxListSize + 1); }},
      {"SetCount(largest)", three, [](TListClone& l) { l.SetCount(kInt32Max); }},
      {"SetCount(smallest)", three, [](TListClone& l) { l.SetCount(kInt32Min); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingList list;
    Fill(list, c.items);
    list.calls.clear();
    const Snapshot before = Take(list);
    EXPECT_EQ(ListErrorTextOf([&] { c.operation(list); }), kListErrorText);
    EXPECT_EQ(Take(list), before);
    EXPECT_TRUE(list.calls.empty());
  }
}

// ---------------------------------------------------------------- out of memory

// A failed allocation of the slot block leaves count, capacity and items as
// they were; the same operation succeeds once memory is there again.
TEST(ListCloneOutOfMemory, FailedResizeLeavesTheListAsItWas) {
  struct Case {
    const char* name;
    std::vector<void*> items;
    std::function<void(TListClone&)> operation;
    std::int32_t capacityAfterSuccess;
  };
  const std::vector<void*> three = {Item(0), nullptr, Item(2)};
  const std::vector<void*> four = {Item(0), nullptr, Item(2), Item(3)};
  const Case cases[] = {
      {"Add on an empty list", {}, [](TListClone& l) { l.Add(Item(9)); }, 4},
      {"Add on a full list", four, [](TListClone& l) { l.Add(Item(9)); }, 8},
      {"SetCapacity up", three, [](TListClone& l) { l.SetCapacity(10); }, 10},
      {"SetCapacity down", three, [](TListClone& l) { l.SetCapacity(3); }, 3},
      {"SetCount beyond the capacity", three, [](TListClone& l) { l.SetCount(9); }, 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingList list;
    Fill(list, c.items);
    list.calls.clear();
    const Snapshot before = Take(list);

    bool outOfMemory = false;
    bool triggered = false;
    {
      const test::AllocationFailure failure(1);
      try {
        c.operation(list);
      } catch (const std::bad_alloc&) {
        outOfMemory = true;
      }
      triggered = failure.Triggered();
    }
    EXPECT_TRUE(outOfMemory);
    EXPECT_TRUE(triggered);
    EXPECT_EQ(Take(list), before);
    EXPECT_TRUE(list.calls.empty());
    if (!(Take(list) == before)) continue;  // a broken list is not used again

    c.operation(list);
    EXPECT_EQ(list.Capacity(), c.capacityAfterSuccess);
    const Snapshot after = Take(list);
    ASSERT_GE(after.items.size(), before.items.size());
    EXPECT_TRUE(std::equal(before.items.begin(), before.items.end(), after.items.begin()));
  }
}

// ---------------------------------------------------------------- MaxListSize

// The capacity may be MaxListSize but not one more. Blocks of 64 MiB and more
// repeat a few mebibytes of memory, so that these lists cost little.
class ListCloneLimit : public testing::Test {
 protected:
  void SetUp() override {
    if (!test::RepeatingBlocks::Supported()) GTEST_SKIP() << "needs repeating memory mappings";
  }
  test::RepeatingBlocks repeating_{std::size_t{64} << 20};
};

TEST_F(ListCloneLimit, CapacityUpToMaxListSize) {
  TListClone list;
  list.SetCapacity(kMaxListSize);
  EXPECT_EQ(list.Capacity(), kMaxListSize);
  EXPECT_EQ(ListErrorTextOf([&] { list.SetCapacity(kMaxListSize + 1); }), kListErrorText);
  EXPECT_EQ(list.Capacity(), kMaxListSize);
  EXPECT_EQ(list.Count(), 0);
}

// The smallest capacity whose growth step (a quarter of it) passes
// MaxListSize: there Add must fail, although a shorter step would still fit;
// one slot less, the step lands exactly on MaxListSize and Add succeeds.
TEST_F(ListCloneLimit, GrowthStepPastMaxListSizeFailsEvenIfASmallerStepWouldFit) {
  std::int32_t firstTooLarge = kMaxListSize / 5 * 4;
  while (static_cast<std::int64_t>(firstTooLarge) + firstTooLarge / 4 <= kMaxListSize) ++firstTooLarge;
  ASSERT_LT(firstTooLarge, kMaxListSize);

  {
    TListClone list;
    list.SetCount(firstTooLarge);
    ASSERT_EQ(list.Capacity(), firstTooLarge);
    EXPECT_EQ(ListErrorTextOf([&] { list.Add(Item(1)); }), kListErrorText);
    EXPECT_EQ(list.Count(), firstTooLarge);
    EXPECT_EQ(list.Capacity(), firstTooLarge);
  }
  {
    TListClone list;
    list.SetCount(firstTooLarge - 1);
    EXPECT_EQ(list.Add(Item(1)), firstTooLarge - 1);
    EXPECT_EQ(list.Capacity(), kMaxListSize);
    EXPECT_EQ(list.Get(firstTooLarge - 1), Item(1));

    // Full at MaxListSize: no step at all fits.
    list.SetCount(kMaxListSize);
    EXPECT_EQ(ListErrorTextOf([&] { list.Add(Item(2)); }), kListErrorText);
    EXPECT_EQ(list.Count(), kMaxListSize);
    EXPECT_EQ(list.Capacity(), kMaxListSize);
  }
}

}  // namespace
}  // namespace kelvorat
