// Play lists: sources strung together into one stream. Each entry names a
// source by a stream description and plays its first frameCount frames.
#ifndef LUMO_LUMOPLAYLIST_H
#define LUMO_LUMOPLAYLIST_H

#include <QList>
#include <QMetaType>
#include <QSharedData>
#include <QString>
#include <QVariant>

#include "lumo/lumoglobal.h"
#include "lumo/lumoshared.h"

class LUMO_EXPORT LumoPlayListEntryData : public QSharedData {
public:
    // Equal names, descriptions (as QVariants) and frame counts.
    bool operator==(LumoPlayListEntryData const& other) const;

    QString name;
    QVariant desc;
    qint32 frameCount = 0;
};

class LUMO_EXPORT LumoPlayListEntry : public LumoSharedValue<LumoPlayListEntryData> {
public:
    LumoPlayListEntry() = default;
    LumoPlayListEntry(QString const& name, QVariant const& desc, int frameCount);

    // A name, a valid description and at least one frame.
    bool isValid() const;
};

class LumoPlayListIndex;

class LUMO_EXPORT LumoPlayList : public QList<LumoPlayListEntry> {
public:
    // The sum of the entries' frame counts.
    int length() const;
    // Where the entry starts in the whole list; -1 for an index outside it.
    int firstFrameOfEntry(int index) const;
    // The entry that holds the frame number and the offset into it; a
    // default index (entry index and offset -1) when none holds it.
    // Entries of 0 frames never hold one; a negative frame number falls
    // into the first entry with that offset.
    LumoPlayListIndex indexOfFrameNumber(int fnum) const;
};

class LUMO_EXPORT LumoPlayListIndexData : public QSharedData {
public:
    bool operator==(LumoPlayListIndexData const& other) const;

    LumoPlayList playList;
    LumoPlayListEntry entry;
    qint32 entryIndex = -1;
    qint32 offset = -1;
};

class LUMO_EXPORT LumoPlayListIndex : public LumoSharedValue<LumoPlayListIndexData> {};

Q_DECLARE_METATYPE(LumoPlayList)
Q_DECLARE_METATYPE(LumoPlayListIndex)

#endif
