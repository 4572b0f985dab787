// The library's own stream engine: plays a LumoPlayList read-only as one
// stream, keeping one entry engine open at a time and switching entries as
// reads cross from one into another. Each frame it delivers carries its
// LumoPlayListIndex under "PlayListIndex".
#ifndef LUMO_LUMOPLAYLISTENGINE_H
#define LUMO_LUMOPLAYLISTENGINE_H

#include "lumo/lumoglobal.h"
#include "lumo/lumoplaylist.h"
#include "lumo/lumostreamengine.h"

class LUMO_EXPORT LumoPlayListEngine : public LumoStreamEngine {
    Q_OBJECT
public:
    explicit LumoPlayListEngine(QObject* parent = nullptr);
    ~LumoPlayListEngine() override;

    // Mode 1 only. Opens entry 0 and presents its information with the
    // length of the whole list as the frame count. 22 on any failure.
    LumoError open(QVariant const& desc, int mode, LumoStreamInfo& info) override;
    void close() override;
    // Reads the frame from the entry that holds it, switching entries when
    // needed. 22 for a frame number no entry holds or an entry that could
    // not be opened.
    LumoError read(int fnum, LumoFrame& frame) override;
    // Always 95: play lists are read-only.
    LumoError write(int fnum, LumoFrame const& frame) override;
    LumoError flush() override;

    // Makes and opens the engine of entry index (within the list).
    bool entryOpen(int index);
    void entryClose();

private:
    LumoStreamEngine* _entryEngine;
    LumoPlayList _playList;
    LumoPlayListEntry _currentEntry;
    LumoStreamInfo _entryInfo;
    qint32 _totalFrameCount;
};

#endif
