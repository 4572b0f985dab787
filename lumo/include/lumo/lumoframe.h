// A media frame: its images, its audio and its metadata. Frames copy on
// write; images and audio are shared by all their copies.
#ifndef LUMO_LUMOFRAME_H
#define LUMO_LUMOFRAME_H

#include <QExplicitlySharedDataPointer>
#include <QHash>
#include <QList>
#include <QMetaType>
#include <QSharedData>
#include <QVariant>

#include "lumo/lumobufferdata.h"
#include "lumo/lumoglobal.h"
#include "lumo/lumoid.h"
#include "lumo/lumomediadesc.h"
#include "lumo/lumoshared.h"

// An object that an engine hangs on a record of its own; deleted with the
// record. Copies of a copy-on-write record do not carry it.
class LUMO_EXPORT LumoAttachment {
public:
    virtual ~LumoAttachment();
};

class LUMO_EXPORT LumoImageData : public QSharedData {
public:
    LumoImageData() = default;
    LumoImageData(LumoImageData const& other);
    ~LumoImageData();
    LumoImageData& operator=(LumoImageData const&) = delete;

    LumoImageDesc desc;
    LumoCryptoDesc crypto;
    QList<LumoBuffer> buffers;
    LumoAttachment* attachment = nullptr; // owned
};

// All copies of an image see one record.
class LUMO_EXPORT LumoImage {
public:
    LumoImage() : d(new LumoImageData) {}
    LumoImageData* operator->() const { return d.data(); }
    bool isSharedWith(LumoImage const& other) const { return d == other.d; }

private:
    QExplicitlySharedDataPointer<LumoImageData> d;
};

class LUMO_EXPORT LumoAudioData : public QSharedData {
public:
    LumoBuffer buffer;
    LumoAudioDesc desc;
};

// All copies of an audio block see one record.
class LUMO_EXPORT LumoAudio {
public:
    LumoAudio() : d(new LumoAudioData) {}
    LumoAudioData* operator->() const { return d.data(); }
    bool isSharedWith(LumoAudio const& other) const { return d == other.d; }

private:
    QExplicitlySharedDataPointer<LumoAudioData> d;
};

// One metadata value and the id it is kept under.
class LUMO_EXPORT LumoMetadata {
public:
    LumoMetadata() = default;
    LumoMetadata(LumoId id, QVariant const& value) : id(id), value(value) {}

    LumoId id;
    QVariant value;
};

typedef QHash<LumoId, LumoMetadata> LumoMetadataHash;

class LUMO_EXPORT LumoImageListData : public QSharedData {
public:
    QList<LumoImage> images;
};

class LUMO_EXPORT LumoFrameData : public QSharedData {
public:
    LumoFrameData() : extraImages(new LumoImageListData) {}

    QList<LumoImage> images;
    QList<LumoAudio> audio;
    LumoMetadataHash metadata;
    QExplicitlySharedDataPointer<LumoImageListData> extraImages; // for engines
};

class LUMO_EXPORT LumoFrame : public LumoSharedValue<LumoFrameData> {
public:
    // Replaces the entry of that id or adds it (the frame detaches first).
    void setMetadata(LumoId id, QVariant const& value);
    // The value under the id; an invalid QVariant when there is none.
    QVariant metadata(LumoId id) const;
};

Q_DECLARE_METATYPE(LumoFrame)
Q_DECLARE_METATYPE(LumoMetadataHash)

#endif
