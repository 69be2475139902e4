// Many files on every core, results in the order of the arguments.
#pragma once

#include <cstddef>
#include <functional>

namespace kelvorat::cli {

// Runs work(i) for every i in [0, count) on `threads` threads, the calling
// thread one of them, and deliver(i) in the order of i, one at a time, each
// once work(i) is done, on whichever thread finds it ready. No work starts
// more than `window` places ahead of the next result to deliver, which
// bounds the memory that waiting results hold. With `spread`, the threads
// start far apart, each in its own part of [0, count): files next to each
// other share a folder, and threads creating and renaming files in one
// folder take turns in the kernel. Precondition: work and deliver throw
// nothing.
void RunOrdered(std::size_t count, unsigned threads, std::size_t window,
                const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t)>& deliver, bool spread = false);

}  // namespace kelvorat::cli
