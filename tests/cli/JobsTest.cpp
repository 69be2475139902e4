// RunOrdered: every result delivered once, in order, one at a time, after
// its work, with no work started more than the window ahead of delivery
// (unless spread), whatever the threads' speeds.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "cli/Jobs.h"

namespace kelvorat::testing {
namespace {

TEST(RunOrdered, DeliversEachResultOnceInOrderWithinTheWindow) {
  std::mt19937 rng(3);
  for (const bool spread : {false, true}) {
    for (const unsigned threads : {1u, 2u, 3u, 8u}) {
      for (const std::size_t count :
           {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{7}, std::size_t{150}}) {
        const std::size_t window = 1 + rng() % 6;
        std::vector<int> delayMicros(count);
        for (int& d : delayMicros) d = static_cast<int>(rng() % 300);
        std::vector<std::atomic<int>> worked(count);
        std::vector<std::size_t> delivered;
        std::atomic<std::size_t> deliveredCount{0};
        std::atomic<int> delivering{0};
        std::atomic<std::size_t> farthestAhead{0};  // of a start past the next delivery
        cli::RunOrdered(
            count, threads, window,
            [&](std::size_t i) {
              const std::size_t ahead = i - std::min(i, deliveredCount.load());
              std::size_t most = farthestAhead.load();
              while (ahead > most && !farthestAhead.compare_exchange_weak(most, ahead)) {
              }
              std::this_thread::sleep_for(std::chrono::microseconds(delayMicros[i]));
              worked[i].fetch_add(1);
            },
            [&](std::size_t i) {
              EXPECT_EQ(delivering.fetch_add(1), 0) << "two deliveries at once";
              EXPECT_EQ(worked[i].load(), 1) << "delivered before or without its work: " << i;
              delivered.push_back(i);
              deliveredCount.store(delivered.size());
              delivering.fetch_sub(1);
            },
            spread);
        std::vector<std::size_t> expected(count);
        for (std::size_t i = 0; i < count; ++i) expected[i] = i;
        EXPECT_EQ(delivered, expected) << threads << " threads, " << count << " results, spread " << spread;
        for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(worked[i].load(), 1) << i;
        if (threads > 1 && !spread) {
          EXPECT_LT(farthestAhead.load(), std::max<std::size_t>(window, threads))
              << threads << " threads, window " << window;
        }
      }
    }
  }
}

}  // namespace
}  // namespace kelvorat::testing
