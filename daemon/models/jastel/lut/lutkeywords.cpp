#include "lutkeywords.h"

#include <QRegExp>
#include <QString>

namespace lutkeywords {

namespace {

const char* const kPatterns[kCount] = {
    "[\\t\\s]*(TITLE)([\\t\\s]+\".*\")[\\t\\s]*",
    "[\\t\\s]*(DOMAIN_MIN)([\\t\\s]+[-+]?[0-9]+(\\.[0-9]+)?([eE][-+]?[0-9]+)?){3}[\\t\\s]*",
    "[\\t\\s]*(DOMAIN_MAX)([\\t\\s]+[-+]?[0-9]+(\\.[0-9]+)?([eE][-+]?[0-9]+)?){3}[\\t\\s]*",
    "[\\t\\s]*(LUT_[13]D_SIZE)([\\t\\s]+\\d+){1}",
    "(([\\t\\s])*(\\d+))(([\\t\\s])+(\\d+)){3,}",
    "^[\\t\\s]*Mesh([\\t\\s]+\\d+){2}[\\t\\s]*$",
    "[\\t\\s]*max[\\t\\s]+value[\\t\\s]+\\d+[\\t\\s]*",
    "[\\t\\s]*vertices[\\t\\s]+\\d+[\\t\\s]*",
    "[\\t\\s]*Lut3D:[\\t\\s]+\\d+[\\t\\s]*",
    "[\\t\\s]*<LUT3D[\\t\\s]+name='.*'[\\t\\s]+N='\\d+'[\\t\\s]+BitDepth='\\d+'>[\\t\\s]*",
};

// QRegExp keeps match state, so each thread has its own compiled set.
struct Compiled
{
    QRegExp exp[kCount];
    Compiled()
    {
        for (int i = 0; i < kCount; ++i)
            exp[i] = QRegExp(QString::fromLatin1(kPatterns[i]), Qt::CaseInsensitive, QRegExp::RegExp);
    }
};

} // namespace

const char* Pattern(int index)
{
    return index >= 0 && index < kCount ? kPatterns[index] : "";
}

int Match(std::string_view line, int first, int end)
{
    if (first < 0)
        first = 0;
    if (end > kCount)
        end = kCount;
    if (first >= end)
        return -1;
    thread_local Compiled compiled;
    const QString text = QString::fromLatin1(line.data(), int(line.size()));
    for (int i = first; i < end; ++i) {
        if (compiled.exp[i].exactMatch(text))
            return i;
    }
    return -1;
}

} // namespace lutkeywords
