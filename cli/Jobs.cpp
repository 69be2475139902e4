#include "cli/Jobs.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace kelvorat::cli {
namespace {

// The shared state of one run. Indices are claimed with an atomic counter;
// whichever thread finishes the next result to deliver delivers it, and
// every finished result after it, so no thread wakes another for each
// result. Threads sleep only when the window is full.
class Run {
 public:
  Run(std::size_t count, std::size_t window, const std::function<void(std::size_t)>& work,
      const std::function<void(std::size_t)>& deliver, std::vector<std::size_t> order)
      : count_(count),
        window_(window),
        work_(work),
        deliver_(deliver),
        done_(new std::atomic<bool>[count]),
        order_(std::move(order)) {
    for (std::size_t i = 0; i < count; ++i) done_[i].store(false, std::memory_order_relaxed);
  }

  void Work() {
    for (;;) {
      const std::size_t claim = next_.fetch_add(1);
      if (claim >= count_) return;
      const std::size_t i = order_.empty() ? claim : order_[claim];
      WaitForRoom(i);
      work_(i);
      done_[i].store(true);
      DeliverWhatIsReady();
    }
  }

  // Delivers whatever is left: after every worker stopped, all of it.
  void Finish() { DeliverWhatIsReady(); }

 private:
  void WaitForRoom(std::size_t i) {
    if (i < delivered_.load() + window_) return;
    std::unique_lock<std::mutex> lock(m_);
    blocked_.fetch_add(1);
    room_.wait(lock, [&] { return i < delivered_.load() + window_; });
    blocked_.fetch_sub(1);
  }

  void DeliverWhatIsReady() {
    for (;;) {
      // Another thread delivers; it checks again for this result after
      // letting go of the baton.
      if (delivering_.exchange(true)) return;
      std::size_t d = delivered_.load();
      while (d < count_ && done_[d].load()) {
        deliver_(d);
        delivered_.store(++d);
      }
      delivering_.store(false);
      if (blocked_.load() > 0) {
        std::lock_guard<std::mutex> lock(m_);
        room_.notify_all();
      }
      const std::size_t next = delivered_.load();
      if (next >= count_ || !done_[next].load()) return;
    }
  }

  const std::size_t count_;
  const std::size_t window_;
  const std::function<void(std::size_t)>& work_;
  const std::function<void(std::size_t)>& deliver_;
  std::unique_ptr<std::atomic<bool>[]> done_;
  const std::vector<std::size_t> order_;  // empty: in order of index
  std::atomic<std::size_t> next_{0};
  std::atomic<std::size_t> delivered_{0};  // every index below it is delivered
  std::atomic<std::size_t> blocked_{0};    // threads asleep until there is room
  std::atomic<bool> delivering_{false};  // the baton: one thread delivers at a time
  std::mutex m_;
  std::condition_variable room_;
};

}  // namespace

void RunOrdered(std::size_t count, unsigned threads, std::size_t window,
                const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t)>& deliver, bool spread) {
  if (threads <= 1 || count <= 1) {
    for (std::size_t i = 0; i < count; ++i) {
      work(i);
      deliver(i);
    }
    return;
  }
  if (window < threads) window = threads;
  std::vector<std::size_t> order;
  if (spread) {
    // One part for each thread; claims go round the parts.
    window = count;
    order.reserve(count);
    const std::size_t part = (count + threads - 1) / threads;
    for (std::size_t k = 0; k < part; ++k) {
      for (std::size_t p = 0; p < threads; ++p) {
        if (p * part + k < count && k < part) order.push_back(p * part + k);
      }
    }
  }
  Run run(count, window, work, deliver, std::move(order));
  std::vector<std::thread> pool;
  for (unsigned t = 1; t < threads && t < count; ++t) {
    try {
      pool.emplace_back([&run] { run.Work(); });
    } catch (const std::system_error&) {
      break;  // fewer threads than asked for: the ones running do the rest
    }
  }
  run.Work();
  for (std::thread& t : pool) t.join();
  run.Finish();
}

}  // namespace kelvorat::cli
