// LUT tables generated as text, imports into a temporary folder, and an
// independent reading of the image layout.
#ifndef PORTVANE_LUT_TESTS_LUTFIXTURES_H
#define PORTVANE_LUT_TESTS_LUTFIXTURES_H

#include <array>
#include <functional>
#include <string>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "clutif.h"

namespace luttest {

using Rgb = std::array<int, 3>;

// Codes from which a row's grid position can be read back: red column
// r*240+g, green g*240+b, blue b*240+r (all below 4096 for 17 points).
Rgb CoordinateCodes(int r, int g, int b);

// "r g b" as integers, or each divided by largest with 6 decimals.
std::string IntRow(const Rgb& codes);
std::string FracRow(const Rgb& codes, double largest);

// A 3D table of n points per axis: header, then n^3 rows, red fastest (the
// .cube order) or blue fastest (.3dl, .lut, .txt).
QByteArray Table3D(int n, bool redFastest, const std::function<std::string(int r, int g, int b)>& row,
                   const QByteArray& header = QByteArray());
QByteArray Table1D(int rows, const std::function<std::string(int i)>& row, const QByteArray& header = QByteArray());

// A 16-point cube of 0.5 rows, and a .3dl-style table of "0 0 0" rows.
QByteArray SmallCube(int n = 16, const QByteArray& header = QByteArray());
QByteArray ZeroRows(int rows, const QByteArray& header = QByteArray());

// A table to import, the slot it goes to and the type byte of its image.
struct TableCase
{
    const char* file;
    int sector;
    QByteArray text;
    char type;
};

// One table for every format and size that the export writes, with codes
// that differ row by row (coordinate codes in the 3D tables).
std::vector<TableCase> ExportableTables();

struct ImportResult
{
    bool ok = false;
    int errorCode = 0;
    QString errorText;
    QByteArray image;
    QStringList messages;
};

// A temporary folder holding tables, the image file and sector images.
class Workspace
{
public:
    Workspace();
    QString Path(const QString& name) const;
    QString Write(const QString& name, const QByteArray& data) const;
    QByteArray Read(const QString& name) const;
    QString ImagePath() const { return Path(QStringLiteral("image.mem")); }

    // Writes text as name and imports it into sector.
    ImportResult Import(const QString& name, const QByteArray& text, int sector) const;
    ImportResult ImportFiles(const QStringList& files, int sector) const;
    // A CLutIF set up for this folder.
    void Prepare(CLutIF& lut) const;

private:
    QTemporaryDir _dir;
};

// Codes of the stored image, read independently of the import code.
// 3D: sample s of channel c (0 red, 1 green, 2 blue) of a 16- or 17-point
// image; 1D: sample i of channel c.
int Packed3D(const QByteArray& image, int cubeSize, int channel, int sample);
int Sample1D(const QByteArray& image, int channel, int sample);

} // namespace luttest

#endif
