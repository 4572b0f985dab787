// The Jastel LUT converter's wrapper: binds the converter's settings to its
// 32-byte configuration block, publishes its versions, settings, the names
// of the four tables stored in its flash and its live status, and uploads a
// LUT file into a flash sector when a slot-name parameter is set. The
// device factory builds none; it is built like every model wrapper:
//
//   JastelWrapper* w = new JastelWrapper(engine, records, moduleRecord, parent);
//   w->InitDeviceDescriptors(configId);
//
// LUT sectors: 0 3D slot A, 1 1D slot A, 2 3D slot B, 3 1D slot B.
#ifndef PORTVANE_MODELS_JASTELWRAPPER_H
#define PORTVANE_MODELS_JASTELWRAPPER_H

#include <QByteArray>
#include <QString>

#include "devicewrapper.h"
#include "jastel/jastelstatus.h"
#include "tovikconfig/tovikconfig.h"

class CJastel;

class JastelWrapper : public DeviceWrapper {
    Q_OBJECT
public:
    static constexpr tovikconfig::ViveRode_t kModelNumber = 13;
    static constexpr int kLutSectorCount = 4;
    // Flash sector n is 0x8000 bytes from 0x60000 + 0x8000 n; writing 0x81
    // at its base + 0x40100 erases it.
    static constexpr ULWord kFirstLutSector = 0x60000;
    static constexpr ULWord kLutSectorBytes = 0x8000;
    static constexpr ULWord kEraseOffset = 0x40100;
    static constexpr UByte kEraseCommand = 0x81;
    // A LUT image fills its sector; it goes out in blocks of 128 bytes.
    static constexpr int kLutImageBytes = 32768;
    static constexpr int kLutBlockBytes = 128;
    // The LUT transfer register, polled after the last block until bits 0
    // and 2 are set (at most kHandshakeTimeoutMs), then written 0x80, 0x00.
    static constexpr ULWord kTransferRegister = 0x25;
    static constexpr UByte kTransferDone = 0x05;
    static constexpr int kHandshakeTimeoutMs = 2000;

    JastelWrapper(CCmdEngine* engine, AssemblyRecords* records, CModuleType* moduleRecord,
                  QObject* parent = nullptr);

    void InitDeviceDescriptors(int configId) override;

    // "name.ext" of the table stored in a sector (0..3), read from the
    // converter's flash; "Slot Empty" when the sector holds no table or its
    // header cannot be read.
    QString GetLutSlotName(int sector);

    // The SDI output's format text: standard and rate ("1080i59.94"), or
    // "?? video" for a rate code outside 1..8.
    static QString GetSdiOutFormatName(int standard, int rate, bool psf);
    static QString GetDualLinkTag(int input, bool match, bool dualLink, int kind);
    // The input-selection text of SDI input 1 or 2 for the video source
    // setting (0 SDI 1, 1 SDI 1+2); a and b the format texts to compare.
    static QString GetInputSelectText(int input, int videoSource, bool valid, const QString& a, const QString& b);

    // "<home>/Velora Setwell", where the LUT files to upload are.
    static QString LutWorkFolder();

public slots:
    void SetParam(quint32 id, const QVariant& value, const LumoTimeStamp& ts) override;
    void InitDevice() override;
    void UpdateDevice() override;
    void UpdateDeviceStatus() override;
    void DisconnectDevice() override;
    // Imports fileName from the LUT working folder and uploads it into the
    // sector; then publishes the sector's new name. The status poll waits
    // meanwhile.
    void UploadLutTableSingleThread(QString fileName, int writeToLutSector);
    // Erases the sector and writes the 32768-byte image into it; true only
    // when every step succeeded.
    bool UploadLUT(QByteArray data, int sector);

private:
    CJastel* Block() const;
    void WriteBlock();
    // False when a read failed; name "Slot Empty" for a sector without a table.
    bool ReadLutSlotName(int sector, QString& name);
    // The status values of one pass into the pending state.
    void StoreStatus(const JastelStatus& status);

    // Per sector: its name is read at the next UpdateDevice.
    bool _refreshSlotName[kLutSectorCount];
};

#endif
