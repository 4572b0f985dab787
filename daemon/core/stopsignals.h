// Turns SIGTERM and SIGINT into a quit of the application's event loop, so
// that the daemon's objects are destroyed in order.
#ifndef PORTVANE_STOPSIGNALS_H
#define PORTVANE_STOPSIGNALS_H

#include <QObject>

class QSocketNotifier;

class StopSignals : public QObject {
    Q_OBJECT
public:
    // One per process; installs the handlers.
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

    bool IsInstalled() const { return _notifier != nullptr; }

private slots:
    void Arrived();

private:
    static void Handler(int signal);

    QSocketNotifier* _notifier;
};

#endif
