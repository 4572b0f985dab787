// An alarm value, identified by a LumoId (the built-in alarm ids are 1900
// to 1922), and the controller that keeps the latest value per id and
// signals only real changes.
#ifndef LUMO_LUMOALARM_H
#define LUMO_LUMOALARM_H

#include <QHash>
#include <QMetaType>
#include <QObject>
#include <QSharedData>
#include <QSharedDataPointer>
#include <QString>

#include "lumo/lumoglobal.h"
#include "lumo/lumoid.h"

class LumoAlarmData : public QSharedData {
public:
    LumoId id;
    qint32 state = 0;
    QString text;
    QString detailText;     // not compared
    qint32 detailValue = 0; // not compared
};

class LUMO_EXPORT LumoAlarm {
public:
    LumoAlarm();
    LumoAlarm(LumoId id, int state, QString const& text = QString());
    LumoAlarm(LumoAlarm const& other);
    LumoAlarm& operator=(LumoAlarm const& other);
    ~LumoAlarm();

    LumoId id() const { return d->id; }
    void setId(LumoId id) { d->id = id; }
    int state() const { return d->state; }
    void setState(int state) { d->state = state; }
    QString text() const { return d->text; }
    void setText(QString const& text) { d->text = text; }
    QString detailText() const { return d->detailText; }
    void setDetailText(QString const& text) { d->detailText = text; }
    int detailValue() const { return d->detailValue; }
    void setDetailValue(int value) { d->detailValue = value; }

    // Same data, or equal id, state and text; the details are not compared.
    bool isSameAs(LumoAlarm const& other) const;

private:
    QSharedDataPointer<LumoAlarmData> d;
};

Q_DECLARE_METATYPE(LumoAlarm)

class LUMO_EXPORT LumoAlarmController : public QObject {
    Q_OBJECT
public:
    explicit LumoAlarmController(QObject* parent = nullptr);
    ~LumoAlarmController() override;

signals:
    // First report of an id, or a change of its state or text.
    void alarmTriggered(LumoAlarm const& alarm);

public slots:
    // Alarms with the Invalid id (0) are ignored. The latest value is kept
    // even when nothing is signalled.
    void setAlarm(LumoAlarm const& alarm);

private:
    QHash<LumoId, LumoAlarm> _alarms;
};

#endif
