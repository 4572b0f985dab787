// Command-line words into the option parser: the first line of the input is
// the option string, every further line one word.
#include <cstddef>
#include <cstdint>

#include <QByteArray>
#include <QList>
#include <QStringList>

#include "lumo/lumogetopts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QList<QByteArray> lines = QByteArray(reinterpret_cast<const char*>(data), int(size)).split('\n');
    const QByteArray options = lines.value(0);
    QStringList words;
    for (int i = 1; i < lines.size(); ++i)
        words.append(QString::fromUtf8(lines.at(i)));

    LumoGetOpts opts;
    opts.set(words);
    // Every call that finds words uses up at least one.
    int calls = 0;
    while (!opts._args.isEmpty()) {
        opts.getopt(options.constData());
        if (++calls > words.size())
            __builtin_trap();
    }
    return 0;
}
