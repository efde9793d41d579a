#pragma once

#include <cstddef>
#include <functional>

// Runs work(begin, end) over 0 .. count in two halves, the second on another
// thread when the processor has a second core and there are at least
// `minimum` items; otherwise (or when no thread can be started) on the
// calling thread alone. The halves must write disjoint storage; the result
// is then the same whichever way it ran.
void SplitWork(std::size_t count, std::size_t minimum, const std::function<void(std::size_t, std::size_t)>& work);
