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

    // A read gives up after this long without a byte.
    static constexpr int kReadIdleMs = 500;

private:
    void EnumerateUdevPorts();
    bool Configure(const QByteArray& path);
    void ReleasePort();

    int _fd;
    struct termios _savedAttributes;
    bool _haveSavedAttributes;
    QStringList _portList;
    QString _reservedKey;
};

#endif
