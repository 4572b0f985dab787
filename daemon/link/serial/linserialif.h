// The converters' USB serial port on Linux: udev enumeration and termios.
#ifndef PORTVANE_LINSERIALIF_H
#define PORTVANE_LINSERIALIF_H

#include "serial/cserialif.h"

#include <QString>
#include <QStringList>

#include <termios.h>

class LinSerialIF : public CSerialIF {
public:
    LinSerialIF();
    ~LinSerialIF() override;

    LinSerialIF(const LinSerialIF&) = delete;
    LinSerialIF& operator=(const LinSerialIF&) = delete;

    void EnumeratePorts() override;
    bool Open(int index) override;
    void Close() override;
    bool IsOpen() const override;
    int GetPortCount() override;
    int Read(unsigned char* buffer, std::uint32_t length) override;
    bool Write(const unsigned char* buffer, std::int32_t length) override;
    int Flush() override;
    // The path of the list entry; empty outside the list.
    QString GetPortName(int index) const override;

    // A read gives up after this long without a byte.
    static constexpr int kReadIdleMs = 500;

private:
    void EnumerateUdevPorts();
    // One attempt at opening and configuring; false with the errno of the
    // failure, the descriptor closed again. Quiet attempts log nothing.
    bool OpenOnce(const QByteArray& path, bool quiet, int& error);
    bool Configure(const QByteArray& path, bool quiet, int& error);
    // Drains, restores what the open found and closes the descriptor; the
    // reservation stays.
    void CloseDescriptor();

    int _fd;
    struct termios _savedAttributes;
    bool _haveSavedAttributes;
    QStringList _portList;
    QString _reservedKey;
};

#endif
