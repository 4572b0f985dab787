// The Jastel wrapper's LUT upload: a LUT file from the working folder,
// imported into a sector image and written into one flash sector.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTimer>

#include "clutif.h"
#include "wrappersupport/debugline.h"
#include "engine/ccmdengine.h"
#include "jastel/jastelwrapper.h"
#include "tovikconfig/models/jastelparamids.h"

using namespace tovikconfig::jastel;

namespace {

const UByte kInterface = 1;
const UByte kDevice = 0;
const UByte kHandshakeAcknowledge = 0x80;
const UByte kHandshakeClear = 0x00;

// The slot-name parameter of each sector.
const quint32 kSlotNameParams[JastelWrapper::kLutSectorCount] = {
    eParamID_3DLutSlotAName, eParamID_1DLutSlotAName, eParamID_3DLutSlotBName, eParamID_1DLutSlotBName};

bool IsLutSector(int sector)
{
    return sector >= 0 && sector < JastelWrapper::kLutSectorCount;
}

// A name that stays inside the working folder: no folder part, not "." or
// "..", no NUL.
bool IsPlainFileName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

// The name as a log line can show it: control characters as \xNN.
QString Printable(const QString& name)
{
    QString text;
    for (QChar c : name)
        text += c.unicode() < 0x20 ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0')) : QString(c);
    return text;
}

// The whole file, which is then deleted; empty when it cannot be read.
QByteArray TakeFile(const QString& path)
{
    QByteArray data;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        data = file.readAll();
        file.close();
    }
    QFile::remove(path);
    return data;
}

} // namespace

QString JastelWrapper::LutWorkFolder()
{
    return QStringLiteral("%1/Velora Setwell").arg(QDir::homePath());
}

void JastelWrapper::UploadLutTableSingleThread(QString fileName, int writeToLutSector)
{
    const QString folder = LutWorkFolder();
    const QString lutPath = QStringLiteral("%1/%2").arg(folder, fileName);
    if (!EngineConnected()) {
        DebugLine() << "UploadLutTable ignored: upload in progress";
        return;
    }
    if (!IsLutSector(writeToLutSector)) {
        DebugLine() << "LUT upload refused: no LUT sector" << writeToLutSector;
        return;
    }
    if (!IsPlainFileName(fileName)) {
        DebugLine() << QStringLiteral("LUT upload refused: \"%1\" is not a file name in the LUT folder").arg(Printable(fileName));
        return;
    }

    _statusTimer->stop();
    QStringList files;
    for (int sector = 0; sector < kLutSectorCount; ++sector)
        files << (sector == writeToLutSector ? lutPath : QString());
    {
        CLutIF importer;
        importer.workFolder = folder;
        importer.imagePath = QStringLiteral("%1/veloralut.mem").arg(folder);
        QDir().mkpath(folder);
        if (importer.ImportFile(files, writeToLutSector) &&
            UploadLUT(TakeFile(importer.imagePath), writeToLutSector))
            _state.insert(kSlotNameParams[writeToLutSector], QVariant(GetLutSlotName(writeToLutSector)));
    }
    // Polling goes on whatever the upload's outcome, unless the converter
    // was lost meanwhile.
    if (!HasCommError())
        _statusTimer->start(kStatusPeriodMs);
}

bool JastelWrapper::UploadLUT(QByteArray data, int sector)
{
    if (!IsLutSector(sector)) {
        DebugLine() << "LUT upload refused: no LUT sector" << sector;
        return false;
    }
    // A short image would leave the erased sector half written.
    if (data.size() != kLutImageBytes) {
        DebugLine() << "LUT upload refused: the image has" << data.size() << "bytes, not" << kLutImageBytes;
        return false;
    }
    if (!EngineConnected())
        return false;
    const ULWord base = kFirstLutSector + kLutSectorBytes * ULWord(sector);
    if (_engine->WriteRegister(kInterface, kDevice, base + kEraseOffset, kEraseCommand) != 0) {
        DebugLine() << "Error erasing sector for LUT upload";
        return false;
    }
    const UByte* bytes = reinterpret_cast<const UByte*>(data.constData());
    for (int at = 0; at < kLutImageBytes; at += kLutBlockBytes) {
        if (_engine->WriteDeviceDataImmediate(kInterface, kDevice, base + ULWord(at), bytes + at,
                                              UByte(kLutBlockBytes)) != 0) {
            DebugLine() << "LUT Upload FAILED!";
            return false;
        }
    }
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        UByte transfer = 0;
        const bool read = _engine->ReadRegister(kInterface, kDevice, kTransferRegister, &transfer) == 0;
        if (read && (transfer & kTransferDone) == kTransferDone)
            break;
        if (!read || waited.elapsed() >= kHandshakeTimeoutMs) {
            DebugLine() << "LUT upload failed";
            return false;
        }
    }
    for (UByte closing : {kHandshakeAcknowledge, kHandshakeClear}) {
        if (_engine->WriteDeviceDataImmediate(kInterface, kDevice, kTransferRegister, &closing, 1) != 0) {
            DebugLine() << "LUT Upload FAILED!";
            return false;
        }
    }
    return true;
}
