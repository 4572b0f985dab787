// Relays the platform object's hot-plug signals.
#ifndef PORTVANE_MINISCANNER_H
#define PORTVANE_MINISCANNER_H

#include <QObject>

class CAppIF;

class MiniScanner : public QObject {
    Q_OBJECT
public:
    // The platform object is the process's one, made by main; it outlives
    // the scanner.
    explicit MiniScanner(CAppIF* platform, QObject* parent = nullptr);

signals:
    void DeviceAddedSignal();
    void DeviceRemovedSignal();
};

#endif
