// Records every signal of a stream, in order.
#ifndef LUMO_TESTS_STREAMSPY_H
#define LUMO_TESTS_STREAMSPY_H

#include <vector>

#include <QObject>
#include <QString>

#include "logcapture.h"
#include "qtwait.h"

#include "lumo/lumostream.h"

struct StreamEvent {
    QString what; // open, close, read, write, flush, benchmark
    int value;    // mode, fnum or benchmark id
    LumoError error;
    LumoFrame frame;
    void* pdata;
    LumoTimeStamp elapsed;
};

class StreamSpy {
public:
    explicit StreamSpy(LumoStream* stream)
    {
        QObject::connect(stream, &LumoStream::openIsDone, &_context,
                         [this](int mode, LumoError const& e) { add({"open", mode, e, {}, nullptr, {}}); });
        QObject::connect(stream, &LumoStream::closeIsDone, &_context, [this] { add({"close", 0, 0, {}, nullptr, {}}); });
        QObject::connect(stream, &LumoStream::readIsDone, &_context, [this](int fnum, LumoFrame const& f, LumoError const& e, void* p) {
            add({"read", fnum, e, f, p, {}});
        });
        QObject::connect(stream, &LumoStream::writeIsDone, &_context, [this](int fnum, LumoError const& e, void* p) {
            add({"write", fnum, e, {}, p, {}});
        });
        QObject::connect(stream, &LumoStream::flushDone, &_context, [this](LumoError const& e) { add({"flush", 0, e, {}, nullptr, {}}); });
        QObject::connect(stream, &LumoStream::benchmark, &_context,
                         [this](int id, LumoTimeStamp const& ts) { add({"benchmark", id, 0, {}, nullptr, ts}); });
    }

    std::vector<StreamEvent> events;

    // Runs the event loop until count events arrived (at most 5 s).
    bool waitFor(size_t count)
    {
        return WaitFor([this, count] { return events.size() >= count; }, 5000);
    }
    QString sequence() const
    {
        QStringList parts;
        for (StreamEvent const& e : events)
            parts << (e.what == QLatin1String("close") ? e.what : e.what + QLatin1Char(' ') + QString::number(e.value));
        return parts.join(QLatin1String(", "));
    }

private:
    void add(StreamEvent const& e) { events.push_back(e); }

    QObject _context; // the connections end with the spy
};

#endif
