#include "lumo/lumotimecode.h"

#include <QTime>

namespace {

const int kMaxFps = 128; // frames 0..127 fit the 8-bit field

// Frames counted in ten minutes and in one minute of drop-frame 30 fps.
const int kDropTenMinutes = 17982;
const int kDropMinute = 1798;

// Frame number to label count at 30 fps drop frame: two labels skipped at
// every minute but each tenth.
qint64 dropLabels30(qint64 n)
{
    const qint64 d = n / kDropTenMinutes;
    const qint64 m = n % kDropTenMinutes;
    if (m < 2)
        return n + 18 * d;
    return n + 2 * (9 * d + (m - 2) / kDropMinute);
}

int digit(char c)
{
    return c >= '0' && c <= '9' ? c - '0' : -1;
}

// Type 1 word A and B to the interleaved type 2 words and back: nibble 2k
// of the 64 bits is time nibble k, nibble 2k+1 user nibble k.
quint64 interleave(quint32 time, quint32 user)
{
    quint64 bits = 0;
    for (int k = 0; k < 8; ++k) {
        bits |= quint64((time >> (4 * k)) & 0xF) << (8 * k);
        bits |= quint64((user >> (4 * k)) & 0xF) << (8 * k + 4);
    }
    return bits;
}

void deinterleave(quint64 bits, quint32& time, quint32& user)
{
    time = 0;
    user = 0;
    for (int k = 0; k < 8; ++k) {
        time |= quint32((bits >> (8 * k)) & 0xF) << (4 * k);
        user |= quint32((bits >> (8 * k + 4)) & 0xF) << (4 * k);
    }
}

} // namespace

LumoTimecodeData::LumoTimecodeData(int frame, int fps, bool drop)
{
    if (!setFromFrameNumber(frame, fps, drop))
        clear();
}

LumoTimecodeData::LumoTimecodeData(LumoTimecodePacked const& packed)
{
    if (packed.type == 1) {
        setFromPackedType1(packed);
    } else if (packed.type == 2) {
        LumoTimecodePacked type1 = packed;
        type1.type = 1;
        deinterleave(quint64(packed.wordA) | (quint64(packed.wordB) << 32), type1.wordA, type1.wordB);
        setFromPackedType1(type1);
    }
}

LumoTimecodeData::LumoTimecodeData(QString const& text)
{
    if (!setFromString(text))
        clear();
}

void LumoTimecodeData::clear()
{
    hours = minutes = seconds = frames = 0;
    fps = 0;
    flags = 0;
    userBits = 0;
}

bool LumoTimecodeData::dropApplies() const
{
    return (flags & DropFrame) && fps % 30 == 0 && minutes % 10 != 0 && seconds == 0;
}

int LumoTimecodeData::droppedLabels() const
{
    return fps > 30 ? 4 : 2;
}

bool LumoTimecodeData::setFromFrameNumber(int frame, int rate, bool drop)
{
    if (rate <= 0 || rate > kMaxFps || frame < 0)
        return false;
    qint64 n = frame;
    const bool dropFrame = drop && rate % 30 == 0;
    if (dropFrame) {
        if (rate <= 30)
            n = dropLabels30(n);
        else
            n = 2 * dropLabels30(n / 2) + n % 2;
    }
    const qint64 f = rate;
    const qint64 h = n / (3600 * f);
    if (h > 127)
        return false;
    fps = qint16(rate);
    flags = quint16((flags & ~DropFrame) | (dropFrame ? DropFrame : 0) | Valid);
    hours = qint8(h);
    minutes = qint8((n % (3600 * f)) / (60 * f));
    seconds = qint8((n % (60 * f)) / f);
    frames = qint8(n % f);
    return true;
}

void LumoTimecodeData::setFromPackedType1(LumoTimecodePacked const& p)
{
    const quint32 a = p.wordA;
    fps = qint16(p.fps);
    userBits = p.wordB;
    flags = Valid;
    hours = qint8(((a >> 24) & 0xF) + 10 * ((a >> 28) & 0x3));
    minutes = qint8(((a >> 16) & 0xF) + 10 * ((a >> 20) & 0x7));
    seconds = qint8(((a >> 8) & 0xF) + 10 * ((a >> 12) & 0x7));
    frames = qint8((a & 0xF) + 10 * ((a >> 4) & 0x3));
    if ((p.fps == 0 || p.fps == 30 || p.fps == 60) && (a & (1u << 6)))
        flags |= DropFrame;
    if (p.fps > 30) {
        // The odd frame of a pair: bit 31 at 50 fps, bit 15 at the others.
        const quint32 oddBit = p.fps == 50 ? (1u << 31) : (1u << 15);
        frames = qint8(2 * frames + ((a & oddBit) ? 1 : 0));
    }
}

LumoTimecodePacked LumoTimecodeData::toPackedType1() const
{
    LumoTimecodePacked p;
    if (fps != 24 && fps != 25 && fps != 30 && fps != 48 && fps != 50 && fps != 60)
        return p;
    const int f = fps > 30 ? frames / 2 : frames;
    quint32 a = quint32(f % 10 & 0xF) | quint32((f / 10) & 3) << 4;
    if (flags & DropFrame)
        a |= 1u << 6;
    a |= quint32(seconds % 10 & 0xF) << 8 | quint32((seconds / 10) & 7) << 12;
    a |= quint32(minutes % 10 & 0xF) << 16 | quint32((minutes / 10) & 7) << 20;
    a |= quint32(hours % 10 & 0xF) << 24 | quint32((hours / 10) & 3) << 28;
    if (fps > 30 && frames % 2 != 0)
        a |= fps == 50 ? (1u << 31) : (1u << 15);
    p.type = 1;
    p.fps = fps;
    p.wordA = a;
    p.wordB = userBits;
    return p;
}

LumoTimecodePacked LumoTimecodeData::toPackedType2() const
{
    LumoTimecodePacked p = toPackedType1();
    if (p.type == 0)
        return p;
    const quint64 bits = interleave(p.wordA, p.wordB);
    p.type = 2;
    p.wordA = quint32(bits);
    p.wordB = quint32(bits >> 32);
    return p;
}

bool LumoTimecodeData::setFromString(QString const& text)
{
    const QByteArray s = text.toLocal8Bit();
    if (s.size() < 11)
        return false;
    int value[4];
    for (int i = 0; i < 4; ++i) {
        const int tens = digit(s.at(3 * i));
        const int units = digit(s.at(3 * i + 1));
        if (tens < 0 || units < 0)
            return false;
        value[i] = 10 * tens + units;
    }
    hours = qint8(value[0]);
    minutes = qint8(value[1]);
    seconds = qint8(value[2]);
    frames = qint8(value[3]);
    if (s.at(2) == ';' || s.at(5) == ';' || s.at(8) == ';')
        flags |= DropFrame;
    if (fps != 0) {
        advance();
        retreat();
    }
    flags |= Valid;
    return true;
}

void LumoTimecodeData::advance()
{
    int f = frames + 1;
    int s = seconds;
    int m = minutes;
    int h = hours;
    if (f >= fps) {
        f = 0;
        ++s;
    }
    if (s > 59) {
        s = 0;
        ++m;
    }
    if (m > 59) {
        m = 0;
        ++h;
    }
    frames = qint8(f);
    seconds = qint8(s);
    minutes = qint8(m);
    hours = qint8(h);
    if (dropApplies() && frames < droppedLabels())
        frames = qint8(droppedLabels());
    if (hours > 23)
        hours = 0;
}

void LumoTimecodeData::retreat()
{
    const bool borrow = dropApplies() ? frames <= droppedLabels() : frames - 1 < 0;
    if (!borrow) {
        frames = qint8(frames - 1);
        return;
    }
    frames = qint8(fps - 1);
    seconds = qint8(seconds - 1);
    if (seconds == -1) {
        seconds = 59;
        minutes = qint8(minutes - 1);
        if (minutes == -1) {
            minutes = 59;
            hours = qint8(hours - 1);
            if (hours == -1)
                hours = 23;
        }
    }
}

bool LumoTimecodeData::setFPS(int rate)
{
    if ((flags & Valid) && fps != 0 && rate < fps && rate <= frames) {
        fps = qint16(rate);
        if (rate != 0)
            advance();
        return false;
    }
    fps = qint16(rate);
    return true;
}

void LumoTimecodeData::setDropFrame(bool on)
{
    if (!on) {
        flags &= quint16(~DropFrame);
        return;
    }
    if (fps != 0 && minutes % 10 != 0 && seconds == 0 && frames < droppedLabels())
        frames = qint8(droppedLabels());
    flags |= DropFrame;
}

qint64 LumoTimecodeData::frameNumber() const
{
    const qint64 r = fps;
    const qint64 m = 60 * qint64(hours) + minutes;
    qint64 n = m * 60 * r + seconds * r + frames;
    if (flags & DropFrame)
        n -= (r > 30 ? 4 : 2) * (m - m / 10);
    return n;
}

bool LumoTimecodeData::operator==(LumoTimecodeData const& other) const
{
    return hours == other.hours && minutes == other.minutes && seconds == other.seconds &&
           frames == other.frames && fps == other.fps && flags == other.flags && userBits == other.userBits;
}

LumoTimecode LumoTimecode::fromTimeOfDay(int fps, bool drop)
{
    const QTime now = QTime::currentTime();
    LumoTimecode tc;
    tc->hours = qint8(now.hour());
    tc->minutes = qint8(now.minute());
    tc->seconds = qint8(now.second());
    tc->frames = fps > 0 ? qint8(int(now.msec() / (1000.0 / fps))) : 0;
    tc->fps = qint16(fps);
    tc->flags = quint16(LumoTimecodeData::Valid | (drop ? LumoTimecodeData::DropFrame : 0));
    tc->userBits = 0;
    return tc;
}
