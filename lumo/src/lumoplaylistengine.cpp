#include "lumo/lumoplaylistengine.h"

#include <cerrno>

#include "lumo/lumo.h"
#include "lumo/lumolog.h"

namespace {

const QString kUnit = QStringLiteral("lumoplaylistengine");

} // namespace

LumoPlayListEngine::LumoPlayListEngine(QObject* parent)
    : LumoStreamEngine(parent), _entryEngine(nullptr), _totalFrameCount(0)
{
}

LumoPlayListEngine::~LumoPlayListEngine()
{
    close();
}

LumoError LumoPlayListEngine::open(QVariant const& desc, int mode, LumoStreamInfo& info)
{
    if (mode != Lumo::ReadOnly) {
        lumoLogOutput(1, kUnit, __LINE__, "Open mode %d invalid.  Can only open playlist in ReadOnly\n", mode);
        return EINVAL;
    }
    static const int listType = qRegisterMetaType<LumoPlayList>("LumoPlayList");
    Q_UNUSED(listType);
    _playList = qvariant_cast<LumoPlayList>(desc);
    _totalFrameCount = _playList.length();
    if (_totalFrameCount == 0) {
        lumoLogOutput(1, kUnit, __LINE__, "Playlist is empty\n");
        return EINVAL;
    }
    if (!entryOpen(0))
        return EINVAL;
    info = _entryInfo;
    info->frameCount = _totalFrameCount;
    return 0;
}

void LumoPlayListEngine::close()
{
    entryClose();
}

bool LumoPlayListEngine::entryOpen(int index)
{
    entryClose();
    _currentEntry = _playList.at(index);
    if (!_currentEntry.isValid()) {
        lumoLogOutput(1, kUnit, __LINE__, "Entry %d is invalid\n", index);
        return false;
    }
    QVariant const& desc = _currentEntry.constData()->desc;
    _entryEngine = lumoStreamEngineCreateForDesc(desc, this);
    if (!_entryEngine) {
        lumoLogOutput(1, kUnit, __LINE__, "Engine create failed for entry %d\n", index);
        return false;
    }
    // Read-only opens get a fresh value to describe the source in.
    _entryInfo = LumoStreamInfo();
    const LumoError result = _entryEngine->open(desc, Lumo::ReadOnly, _entryInfo);
    if (result == 0)
        return true;
    lumoLogOutput(1, kUnit, __LINE__, "Open failed with %d for entry %d\n", result, index);
    delete _entryEngine;
    _entryEngine = nullptr;
    return false;
}

void LumoPlayListEngine::entryClose()
{
    if (!_entryEngine)
        return;
    _entryEngine->close();
    delete _entryEngine;
    _entryEngine = nullptr;
}

LumoError LumoPlayListEngine::read(int fnum, LumoFrame& frame)
{
    const LumoPlayListIndex idx = _playList.indexOfFrameNumber(fnum);
    if (idx->entryIndex < 0 || idx->offset < 0 || !idx->entry.isValid() || idx->playList.isEmpty())
        return EINVAL;
    if (idx->entry != _currentEntry)
        entryOpen(idx->entryIndex);
    if (!_entryEngine)
        return EINVAL;
    const LumoError result = _entryEngine->read(idx->offset, frame);
    if (result != 0)
        return result;
    static const int indexType = qRegisterMetaType<LumoPlayListIndex>("LumoPlayListIndex");
    Q_UNUSED(indexType);
    frame.setMetadata(18, QVariant::fromValue(idx));
    return 0;
}

LumoError LumoPlayListEngine::write(int, LumoFrame const&)
{
    return EOPNOTSUPP;
}

LumoError LumoPlayListEngine::flush()
{
    return 0;
}
