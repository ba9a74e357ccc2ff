// Running recursive algorithms on inputs of any depth.
//
// The engine's algorithms are naturally recursive over the tree, and a formula
// text of 64 KiB can nest tens of thousands of levels.  Rather than recast every
// rule as an explicit stack machine, a call whose input is deep runs on a
// transient thread with a large stack; shallow inputs (the everyday case) run
// directly with no cost at all.
#pragma once

#include <cstddef>
#include <exception>
#include <functional>

namespace solver {

// Depths (tree levels, or text length for a text not parsed yet) up to this
// run on the caller's stack.
constexpr size_t kShallowDepth = 1500;

// Runs `work` on a thread with a stack large enough for any input the 64 KiB
// text buffer can describe, and waits for it.
void run_on_deep_stack(const std::function<void()> &work);

// Runs `work` directly when `depth` is shallow, otherwise on a deep stack.
template <class Work>
void run_deep(size_t depth, Work &&work) {
    if (depth <= kShallowDepth)
        work();
    else
        run_on_deep_stack(std::function<void()>(std::forward<Work>(work)));
}

}  // namespace solver
