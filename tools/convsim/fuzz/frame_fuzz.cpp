// Feeds arbitrary bytes through the frame splitter into the converter model.
#include "convsim/convertermodel.h"
#include "convsim/framesplitter.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const convsim::Personality kScaler = convsim::Personality::ForType(19);
    convsim::ConverterModel model(kScaler);
    convsim::FrameSplitter splitter(10);
    convsim::Bytes frame;
    int64_t now = 0;
    // Feed in uneven reads; every fourth read arrives after a stale gap.
    size_t pos = 0, step = 1;
    while (pos < size) {
        const size_t n = step < size - pos ? step : size - pos;
        splitter.Feed(data + pos, n, now);
        pos += n;
        now += (step % 4 == 0) ? 20 : 1;
        step = step * 3 % 17 + 1;
        while (splitter.Next(frame, now))
            model.Handle(frame.data(), frame.size());
    }
    while (splitter.Next(frame, now + 1000))
        model.Handle(frame.data(), frame.size());
    return 0;
}
