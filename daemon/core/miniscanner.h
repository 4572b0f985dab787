// Relays the platform object's hot-plug signals.
#ifndef PORTVANE_MINISCANNER_H
#define PORTVANE_MINISCANNER_H

#include <QObject>

class LinIF;

class MiniScanner : public QObject {
    Q_OBJECT
public:
    explicit MiniScanner(QObject* parent = nullptr);
    ~MiniScanner() override;

signals:
    void DeviceAddedSignal();
    void DeviceRemovedSignal();

private:
    LinIF* _platform;
};

#endif
