// The abstract serial port through which the converter link talks.
#ifndef PORTVANE_CSERIALIF_H
#define PORTVANE_CSERIALIF_H

#include <cstdint>

#include <QString>

class CSerialIF {
public:
    virtual ~CSerialIF() {}
    virtual void EnumeratePorts() = 0;
    virtual bool Open(int index) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual int GetPortCount() = 0;
    virtual bool IsVirtual() { return false; }
    // Bytes received (1..length), 0 on time-out, -1 on error.
    virtual int Read(unsigned char* buffer, std::uint32_t length) = 0;
    // True only when all length bytes were written.
    virtual bool Write(const unsigned char* buffer, std::int32_t length) = 0;
    virtual int Flush() = 0;
    // What names the port at index of the list, for telling ports apart
    // between searches; empty when the port object cannot tell.
    virtual QString GetPortName(int index) const
    {
        (void)index;
        return QString();
    }
};

#endif
