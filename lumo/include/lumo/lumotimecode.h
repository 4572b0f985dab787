// Time codes: hours, minutes, seconds and frames at a nominal frame rate,
// with drop-frame counting, user bits, and two packed forms (binary-coded
// decimal words, and the 64 data bits of a linear time code frame).
#ifndef LUMO_LUMOTIMECODE_H
#define LUMO_LUMOTIMECODE_H

#include <QMetaType>
#include <QSharedData>
#include <QString>

#include "lumo/lumoglobal.h"
#include "lumo/lumoshared.h"

// Type 1: word A the time address in BCD (frame digits count frame pairs
// above 30 fps, the odd frame marked in bit 31 at 50 fps, in bit 15 at other
// rates), word B the user bits. Type 2: the nibbles of type 1's two words
// interleaved as a linear time code frame carries them. Type 0: none.
struct LumoTimecodePacked {
    quint32 type = 0;
    qint32 fps = 0;
    quint32 wordA = 0;
    quint32 wordB = 0;
};

class LUMO_EXPORT LumoTimecodeData : public QSharedData {
public:
    enum Flag { Valid = 0x1, DropFrame = 0x2 };

    // Every field 0: not valid.
    LumoTimecodeData() = default;
    // All three leave every field 0 when the input is refused.
    LumoTimecodeData(int frame, int fps, bool drop);
    explicit LumoTimecodeData(LumoTimecodePacked const& packed);
    explicit LumoTimecodeData(QString const& text);

    // Counts frame numbers from 00:00:00:00, with drop-frame labels when
    // drop is asked and fps is a multiple of 30 (the flag follows). False,
    // nothing changed, for fps outside 1..128, a negative frame, or 128
    // hours or more (the fields are 8 bits wide).
    bool setFromFrameNumber(int frame, int fps, bool drop);
    // Digits are taken as they are, not validated.
    void setFromPackedType1(LumoTimecodePacked const& packed);
    // "hh:mm:ss:ff" with any separators; a ';' in any of them means drop
    // frame. With a rate set, out-of-range fields are folded. False,
    // nothing changed, when the digits are not where they belong.
    bool setFromString(QString const& text);
    // A lower rate that the frame label no longer fits moves to the next
    // second and gives false; otherwise true.
    bool setFPS(int fps);
    void setDropFrame(bool on);

    // Type 0 unless fps is 24, 25, 30, 48, 50 or 60.
    LumoTimecodePacked toPackedType1() const;
    LumoTimecodePacked toPackedType2() const;

    // The frame number that the label stands for, drop-frame labels
    // counted out.
    qint64 frameNumber() const;

    bool isValid() const { return flags & Valid; }
    bool isDropFrame() const { return flags & DropFrame; }
    bool operator==(LumoTimecodeData const& other) const;

    qint8 hours = 0;
    qint8 minutes = 0;
    qint8 seconds = 0;
    qint8 frames = 0;
    qint16 fps = 0;
    quint16 flags = 0;
    quint32 userBits = 0; // group 1 in bits 0-3 .. group 8 in bits 28-31

private:
    void clear();
    // One frame forward / back, as the normalisation and setFPS use them.
    void advance();
    void retreat();
    bool dropApplies() const;
    int droppedLabels() const;
};

class LUMO_EXPORT LumoTimecode : public LumoSharedValue<LumoTimecodeData> {
public:
    LumoTimecode() = default;
    LumoTimecode(int frame, int fps, bool drop) : LumoSharedValue(new LumoTimecodeData(frame, fps, drop)) {}
    explicit LumoTimecode(LumoTimecodePacked const& packed) : LumoSharedValue(new LumoTimecodeData(packed)) {}
    explicit LumoTimecode(QString const& text) : LumoSharedValue(new LumoTimecodeData(text)) {}

    // The local time of day; frame 0 for a rate of 0 or less. The label is
    // not adjusted for drop-frame counting.
    static LumoTimecode fromTimeOfDay(int fps, bool drop);
};

Q_DECLARE_METATYPE(LumoTimecode)

#endif
