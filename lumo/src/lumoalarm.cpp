#include "lumo/lumoalarm.h"

LumoAlarm::LumoAlarm() : d(new LumoAlarmData) {}

LumoAlarm::LumoAlarm(LumoId id, int state, QString const& text) : d(new LumoAlarmData)
{
    d->id = id;
    d->state = state;
    d->text = text;
}

LumoAlarm::LumoAlarm(LumoAlarm const& other) = default;
LumoAlarm& LumoAlarm::operator=(LumoAlarm const& other) = default;
LumoAlarm::~LumoAlarm() = default;

bool LumoAlarm::isSameAs(LumoAlarm const& other) const
{
    return d.constData() == other.d.constData() ||
           (d->id == other.d->id && d->state == other.d->state && d->text == other.d->text);
}

LumoAlarmController::LumoAlarmController(QObject* parent) : QObject(parent) {}

LumoAlarmController::~LumoAlarmController() = default;

void LumoAlarmController::setAlarm(LumoAlarm const& alarm)
{
    if (alarm.id() == 0)
        return;
    const LumoAlarm previous = _alarms.value(alarm.id());
    if (previous.id() == 0 || !previous.isSameAs(alarm))
        emit alarmTriggered(alarm);
    _alarms.insert(alarm.id(), alarm);
}
