#include "core/SplitWork.h"

#include <system_error>
#include <thread>

void SplitWork(std::size_t count, std::size_t minimum, const std::function<void(std::size_t, std::size_t)>& work)
{
    const std::size_t half = count / 2;
    if (count < minimum || std::thread::hardware_concurrency() < 2) {
        work(0, count);
        return;
    }
    std::thread second;
    try {
        second = std::thread(work, half, count);
    } catch (const std::system_error&) {
        work(0, count);
        return;
    }
    work(0, half);
    second.join();
}
