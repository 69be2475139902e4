// Many files on every core, results in the order of the arguments.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>

namespace kelvorat::cli {

// Runs work(i) for every i in [0, count) on `threads` threads and calls
// deliver(i) on the calling thread in the order of i, each once work(i) is
// done. At most `window` finished results wait for their turn, which bounds
// the memory they hold. While waiting, idle() is called about every `tick`.
// Precondition: work and deliver throw nothing.
void RunOrdered(std::size_t count, unsigned threads, std::size_t window,
                const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t)>& deliver,
                const std::function<void()>& idle, std::chrono::milliseconds tick);

}  // namespace kelvorat::cli
