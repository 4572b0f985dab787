// Counts the emissions of a signal and keeps the arguments of the last one.
#ifndef TOVIK_TEST_SIGNALCOUNT_H
#define TOVIK_TEST_SIGNALCOUNT_H

#include <QObject>

#include <memory>
#include <tuple>

namespace tovik {
namespace test {

template <class... Args>
class SignalCount {
public:
    template <class Sender, class Signal>
    SignalCount(Sender* sender, Signal signal)
        : _context(new QObject)
    {
        QObject::connect(sender, signal, _context.get(), [this](Args... args) {
            ++_count;
            _last = std::make_tuple(args...);
        });
    }
    int count() const { return _count; }
    const std::tuple<typename std::decay<Args>::type...>& last() const { return _last; }

private:
    std::unique_ptr<QObject> _context;
    int _count = 0;
    std::tuple<typename std::decay<Args>::type...> _last;
};

} // namespace test
} // namespace tovik

#endif
