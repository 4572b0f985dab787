// The fade curve of a subtitle: in over fadeIn, held, out over the last
// fadeOut of its duration.
#ifndef LUMO_LUMOSUBTITLE_H
#define LUMO_LUMOSUBTITLE_H

#include <QSharedData>

#include "lumo/lumoglobal.h"

class LUMO_EXPORT LumoSubtitleData : public QSharedData {
public:
    // The value at time t between from (outside the subtitle and at its
    // start) and to (held between the fades); integer steps, truncating.
    int fadeValue(int t, int from, int to) const;

    qint32 duration = 0;
    qint32 fadeIn = 0;
    qint32 fadeOut = 0;
};

#endif
