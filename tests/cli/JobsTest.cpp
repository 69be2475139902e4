// RunOrdered: every result delivered once, in order, after its work, with
// no more finished results waiting than the window allows, whatever the
// threads' speeds.
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
  for (const unsigned threads : {1u, 2u, 3u, 8u}) {
    for (const std::size_t count : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{150}}) {
      const std::size_t window = 1 + rng() % 6;
      std::vector<int> delayMicros(count);
      for (int& d : delayMicros) d = static_cast<int>(rng() % 300);
      std::vector<std::atomic<int>> worked(count);
      std::vector<std::size_t> delivered;
      std::atomic<std::size_t> waiting{0};  // finished, not yet delivered
      std::atomic<std::size_t> mostWaiting{0};
      std::atomic<int> idles{0};
      cli::RunOrdered(
          count, threads, window,
          [&](std::size_t i) {
            std::this_thread::sleep_for(std::chrono::microseconds(delayMicros[i]));
            worked[i].fetch_add(1);
            const std::size_t now = waiting.fetch_add(1) + 1;
            std::size_t most = mostWaiting.load();
            while (now > most && !mostWaiting.compare_exchange_weak(most, now)) {
            }
          },
          [&](std::size_t i) {
            EXPECT_EQ(worked[i].load(), 1) << "delivered before or without its work: " << i;
            waiting.fetch_sub(1);
            delivered.push_back(i);
          },
          [&] { idles.fetch_add(1); }, std::chrono::milliseconds(1));
      std::vector<std::size_t> expected(count);
      for (std::size_t i = 0; i < count; ++i) expected[i] = i;
      EXPECT_EQ(delivered, expected) << threads << " threads, " << count << " results";
      for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(worked[i].load(), 1) << i;
      // The one waiting for its turn plus the window's worth started after it.
      if (threads > 1) {
        EXPECT_LE(mostWaiting.load(), std::max<std::size_t>(window, threads) + 1)
            << threads << " threads, window " << window;
      }
    }
  }
}

// Slow work while the caller waits: the idle call comes, for the progress line.
TEST(RunOrdered, CallsIdleWhileWaiting) {
  std::atomic<int> idles{0};
  cli::RunOrdered(
      2, 2, 2, [](std::size_t) { std::this_thread::sleep_for(std::chrono::milliseconds(30)); },
      [](std::size_t) {}, [&] { idles.fetch_add(1); }, std::chrono::milliseconds(2));
  EXPECT_GT(idles.load(), 0);
}

}  // namespace
}  // namespace kelvorat::testing
