// The end of a bounded wait.
#ifndef TOVIK_TEST_DEADLINE_H
#define TOVIK_TEST_DEADLINE_H

#include <chrono>

namespace tovik {
namespace test {

class Deadline {
public:
    explicit Deadline(int waitMs) : _end(Clock::now() + std::chrono::milliseconds(waitMs)) {}

    // Milliseconds until the end, 0 once it has passed.
    int LeftMs() const
    {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(_end - Clock::now()).count();
        return ms < 0 ? 0 : int(ms);
    }
    bool Passed() const { return Clock::now() >= _end; }

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point _end;
};

} // namespace test
} // namespace tovik

#endif
