#include "lumo/lumoplaylist.h"

#include <climits>

namespace {

int saturate(qint64 value)
{
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : int(value);
}

} // namespace

bool LumoPlayListEntryData::operator==(LumoPlayListEntryData const& other) const
{
    return name == other.name && desc == other.desc && frameCount == other.frameCount;
}

LumoPlayListEntry::LumoPlayListEntry(QString const& name, QVariant const& desc, int frameCount)
{
    (*this)->name = name;
    (*this)->desc = desc;
    (*this)->frameCount = frameCount;
}

bool LumoPlayListEntry::isValid() const
{
    LumoPlayListEntryData const& e = **this;
    return !e.name.isEmpty() && e.desc.isValid() && e.frameCount >= 1;
}

int LumoPlayList::length() const
{
    qint64 total = 0;
    for (LumoPlayListEntry const& entry : *this)
        total += entry->frameCount;
    return saturate(total);
}

int LumoPlayList::firstFrameOfEntry(int index) const
{
    if (index < 0 || index >= size())
        return -1;
    qint64 first = 0;
    for (int i = 0; i < index; ++i)
        first += at(i)->frameCount;
    return saturate(first);
}

LumoPlayListIndex LumoPlayList::indexOfFrameNumber(int fnum) const
{
    qint64 r = fnum;
    for (int i = 0; i < size(); ++i) {
        LumoPlayListEntry const& entry = at(i);
        if (r < entry->frameCount) {
            LumoPlayListIndex index;
            index->playList = *this;
            index->entry = entry;
            index->entryIndex = i;
            index->offset = int(r);
            return index;
        }
        r -= entry->frameCount;
    }
    return LumoPlayListIndex();
}

bool LumoPlayListIndexData::operator==(LumoPlayListIndexData const& other) const
{
    return playList == other.playList && entry == other.entry && entryIndex == other.entryIndex &&
           offset == other.offset;
}
