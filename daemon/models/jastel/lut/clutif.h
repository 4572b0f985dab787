// Import of LUT text files (.cube, .3dl, .lut, .txt; 1D and 3D) into the
// 32768-byte memory image of one LUT slot of the Jastel converter, and
// export of such an image back to text.
//
// A failure gives a false result, a negative code in errorCode (luterrors.h)
// and the slot's text in errorText. Plain C++ and QtCore: no event loop.
#ifndef PORTVANE_LUT_CLUTIF_H
#define PORTVANE_LUT_CLUTIF_H

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace lutslots {
struct FileKind;
}

class CLutIF
{
public:
    // Format indexes, also bits 1-2 of the image's type byte.
    enum { kFormatCube = 0, kFormat3dl = 1, kFormatLut = 2, kFormatTxt = 3 };
    static constexpr int kKeywordCount = 10;

    CLutIF();

    // Imports every non-empty entry of files into the slot that sector names
    // (0 3D A, 1 1D A, 2 3D B, 3 1D B), writing the image at imagePath.
    bool ImportFile(const QStringList& files, int sector);
    // The same for one table already in memory: text as the file fileName
    // (its suffix picks the format, its base name goes into the header).
    // The image goes to image instead of imagePath; no file is touched.
    bool ImportText(const QByteArray& text, const QString& fileName, int sector, QByteArray& image);
    bool ParseFile(const QString& path, int format, bool is3D);
    // ParseFile once the file is read: table is its text, path names it.
    bool ParseText(QByteArray table, const QString& path, int format, bool is3D);
    bool ParseTableRow(std::string_view line, int format, bool is3D);
    bool StoreCubeRow(std::string_view line);
    bool IsTableDataMatched(std::string_view line);
    bool Is1DTableDataMatched(std::string_view line);
    void Reset();

    // The image (lutimage.cpp).
    void PackSample(int channel, int lo, int hi);
    bool Write3DImage(const QString& path, int format);
    bool Write1DImage(const QString& path, int format);

    // Export of workFolder/sector<sector>.mem (lutexport.cpp).
    bool ExportFile(int sector, const QString& path);
    bool Export1DText(int sector, const QString& path, int format);
    bool Export3DText(int sector, const QString& path, int format);
    // The text a stored image exports to in format; the image must hold at
    // least 32768 bytes. No file is touched.
    bool ExportText(const QByteArray& image, int sector, int format, std::string& text);
    static void Unpack3DImage(QByteArray& image, int cubeSize);

    int errorCode;
    QString errorText;
    QByteArray redSamples;
    QByteArray greenSamples;
    QByteArray blueSamples;
    QString title;
    float domainMin[3];
    float domainMax[3];
    int cubeSize;
    int maxCode;
    int expectedRows;
    int depthCode;
    int rowCounter;
    int sampleCounter;
    int packOffset;
    int lineIndex;
    int cubeRowsPlaced;
    int keywordSeen[kKeywordCount];
    // Views into fileText (or a lone blank for a row not yet placed).
    std::vector<std::string_view> reorderedRows;
    int firstKeyword;
    int endKeyword;
    QString imagePath;
    QString workFolder;
    int parserState;

private:
    // Resets for one entry of an import. The kind of file it names; null
    // when the entry is empty or, with errorCode set, its suffix is refused.
    const lutslots::FileKind* StartEntry(const QString& file, int sector);
    bool Image1DText(const QByteArray& image, int sector, int format, std::string& out);
    bool Image3DText(QByteArray image, int sector, int format, std::string& out);
    bool HandleDataRow(std::string_view line, int format, bool is3D);
    bool Survey1D(int format);
    bool Survey3D();
    bool ApplyKeyword(int index, std::string_view line);
    bool CheckCubeSize();
    bool CheckBitDepth(int depth);
    bool ConvertRow(const std::array<std::string_view, 3>& tokens, int format, int codes[3]);
    int ConvertToken(std::string_view token, int column, int format) const;
    void PackRow(const int codes[3]);
    void AdvancePacker();
    bool WriteImage(const QByteArray& image);
    bool ReadSectorImage(int sector, QByteArray& image);
    bool WriteText(const QString& path, const std::string& text);
    bool Fail(int code, const char* message = nullptr);

    std::string_view FileText() const { return std::string_view(fileText.constData(), size_t(fileText.size())); }

    QByteArray fileText;                 // the file being parsed, CRs made LFs
    size_t lineOffset = 0;               // where its line lineIndex starts
    int rowFormat = kFormatCube;         // format of the file being parsed
    bool imageEmptied = false;           // ImportFile could truncate imagePath
    QByteArray* imageSink = nullptr;     // ImportText's image, in place of imagePath
};

#endif
