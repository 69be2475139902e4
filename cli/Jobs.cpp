#include "cli/Jobs.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace kelvorat::cli {

void RunOrdered(std::size_t count, unsigned threads, std::size_t window,
                const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t)>& deliver,
                const std::function<void()>& idle, std::chrono::milliseconds tick) {
  if (threads <= 1 || count <= 1) {
    for (std::size_t i = 0; i < count; ++i) {
      work(i);
      deliver(i);
    }
    return;
  }
  if (window < threads) window = threads;
  std::mutex m;
  std::condition_variable resultReady;  // a work(i) finished
  std::condition_variable roomFreed;    // a result was delivered
  std::vector<char> done(count, 0);
  std::size_t next = 0;       // the next index to start
  std::size_t delivered = 0;  // every index below it is delivered

  auto worker = [&] {
    for (;;) {
      std::size_t i;
      {
        std::unique_lock<std::mutex> lock(m);
        roomFreed.wait(lock, [&] { return next >= count || next < delivered + window; });
        if (next >= count) return;
        i = next++;
      }
      work(i);
      {
        std::lock_guard<std::mutex> lock(m);
        done[i] = 1;
      }
      resultReady.notify_one();
    }
  };

  std::vector<std::thread> pool;
  for (unsigned t = 0; t < threads && t < count; ++t) {
    try {
      pool.emplace_back(worker);
    } catch (const std::system_error&) {
      break;  // fewer threads than asked for: the ones running do the rest
    }
  }
  if (pool.empty()) {
    for (std::size_t i = 0; i < count; ++i) {
      work(i);
      deliver(i);
    }
    return;
  }
  for (std::size_t i = 0; i < count; ++i) {
    {
      std::unique_lock<std::mutex> lock(m);
      while (!done[i]) {
        if (!resultReady.wait_for(lock, tick, [&] { return done[i] != 0; })) {
          lock.unlock();
          idle();
          lock.lock();
        }
      }
    }
    deliver(i);
    {
      std::lock_guard<std::mutex> lock(m);
      delivered = i + 1;
    }
    roomFreed.notify_all();
  }
  for (std::thread& t : pool) t.join();
}

}  // namespace kelvorat::cli
