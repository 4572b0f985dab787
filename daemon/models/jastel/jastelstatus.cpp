#include "jastel/jastelstatus.h"

namespace {

// Standards that have an interlaced or segmented-frame form.
bool HasFieldForm(unsigned standard)
{
    return standard == 0 || standard == 2 || standard == 3 || standard == 7;
}

// Input n's bytes start at base: detected format, lock and link mode, PID
// format, PID flags.
JastelInputState DecodeInput(const UByte* base)
{
    JastelInputState in;
    in.locked = (base[1] >> 2 & 0x03) == 3;
    in.is3G = in.locked && (base[1] & 0x03) == 2;
    in.levelB = (base[0] & 0x80) != 0;
    in.pid = (base[2] & 0x80) != 0;
    const UByte format = in.pid ? base[2] : base[0];
    in.standard = format >> 4 & 0x07;
    in.rate = format & 0x0F;
    if (HasFieldForm(in.standard))
        in.psf = in.pid ? (base[3] & 0x20) != 0 : (in.rate == 6 || in.rate == 7);
    in.sd = in.standard == 2 || in.standard == 3;
    in.valid = in.locked && !in.sd;
    return in;
}

} // namespace

JastelStatus DecodeJastelStatus(const UByte* bytes)
{
    JastelStatus s;
    s.input[0] = DecodeInput(bytes);
    s.input[1] = DecodeInput(bytes + 4);
    s.outStandard = bytes[12] & 0x0F;
    s.outRate = bytes[10] & 0x0F;
    s.outPsF = (bytes[9] & 0x03) == 3 && HasFieldForm(s.outStandard);
    s.hdmiConnected = (bytes[11] & 0x40) != 0;
    s.hdmiProtocol = bytes[11] >> 5 & 0x01;
    s.hdmiStandard = bytes[11] & 0x0F;
    s.hdmiDepth = bytes[10] >> 6 & 0x03;
    s.led = bytes[20] & 0x03;
    return s;
}
