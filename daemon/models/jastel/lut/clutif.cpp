// The import: file reading, the two-state line parser, the header keywords,
// the surveys and the conversion of rows into codes.
#include "clutif.h"

#include <algorithm>
#include <climits>

#include <QFile>
#include <QFileInfo>
#include <QtDebug>

#include "luterrors.h"
#include "lutfileio.h"
#include "lutkeywords.h"
#include "lutslots.h"
#include "lutsyntax.h"

using lutsyntax::MatchDataRow;

namespace {

constexpr size_t kMaxLineLength = 512;
constexpr int kStateHeader = 0;
constexpr int kStateData = 1;

const char* const kMsgUnknownKeyword = "CLutIF::IsTableDataMatched() - Unknown keyword";
const char* const kMsgCubeOutOfSize = "CLutIF::IsTableDataMatched() - Cube out of size";
const char* const kMsgValueOutOfRange = "CLutIF::IsTableDataMatched() - Value out of range";
const char* const kMsgDomainReversed = "CLutIF::ParseTableRow() - Domain bounds reversed";
const char* const kMsgKeywordRepeated = "CLutIF::ParseTableRow() - Parse Error - Keyword Repeated";
const char* const kMsgCubeSize = "CLutIF::ParseTableRow() - Cube size out of range";
const char* const kMsgUnknownState = "CLutIF::ParseTableRow() - Parser in unknown state";

// A placeholder row that matches no data row.
const std::string_view kBlankRow(" ");

// A line's text ends at its first NUL byte.
std::string_view TextOf(std::string_view line)
{
    const size_t nul = line.find('\0');
    return nul == std::string_view::npos ? line : line.substr(0, nul);
}

// The line that starts at offset, without its line feed; next becomes the
// offset of the following line, or npos after the last one.
std::string_view LineAt(std::string_view text, size_t offset, size_t& next)
{
    const size_t end = text.find('\n', offset);
    next = end == std::string_view::npos ? end : end + 1;
    return text.substr(offset, end == std::string_view::npos ? end : end - offset);
}

std::string_view TokenAt(const std::vector<std::string_view>& tokens, size_t i)
{
    return i < tokens.size() ? tokens[i] : std::string_view();
}

// The digits between the quotes of the text after "=" (N='17').
int QuotedNumber(std::string_view token)
{
    const size_t eq = token.find('=');
    if (eq == std::string_view::npos)
        return 0;
    std::string_view value = token.substr(eq + 1);
    const size_t open = value.find('\'');
    if (open != std::string_view::npos) {
        value = value.substr(open + 1);
        value = value.substr(0, value.find('\''));
    }
    return lutsyntax::ParseInteger(value);
}

} // namespace

CLutIF::CLutIF()
    : firstKeyword(0)
    , endKeyword(0)
    , imageEmptied(true)
{
    Reset();
}

void CLutIF::Reset()
{
    errorCode = luterror::kNone;
    parserState = kStateHeader;
    std::fill(domainMin, domainMin + 3, 0.0f);
    std::fill(domainMax, domainMax + 3, 1.0f);
    std::fill(keywordSeen, keywordSeen + kKeywordCount, 0);
    title.clear();
    maxCode = 4095;
    rowCounter = 1;
    cubeSize = 0;
    expectedRows = 0;
    depthCode = 0;
    sampleCounter = 0;
    packOffset = 0;
    lineIndex = 0;
    cubeRowsPlaced = 0;
    redSamples.clear();
    greenSamples.clear();
    blueSamples.clear();
    reorderedRows.clear();
    fileText.clear();
    lineOffset = 0;
}

bool CLutIF::Fail(int code, const char* message)
{
    if (message)
        qDebug("%s ", message); // the Qt debug stream ends each item with a blank
    errorCode = code;
    return false;
}

bool CLutIF::ImportFile(const QStringList& files, int sector)
{
    {
        QFile image(imagePath);
        imageEmptied = image.open(QIODevice::WriteOnly | QIODevice::Truncate);
    }
    if (files.isEmpty())
        return true;
    const bool is3D = lutslots::Is3D(sector);
    for (const QString& file : files) {
        const lutslots::FileKind* kind = StartEntry(file, sector);
        if (errorCode != luterror::kNone)
            return false;
        if (kind && !ParseFile(file, kind->format, is3D))
            return false;
    }
    return true;
}

bool CLutIF::ImportText(const QByteArray& text, const QString& fileName, int sector, QByteArray& image)
{
    image.clear();
    const lutslots::FileKind* kind = StartEntry(fileName, sector);
    if (!kind)
        return errorCode == luterror::kNone;
    imageSink = &image;
    const bool ok = ParseText(text, fileName, kind->format, lutslots::Is3D(sector));
    imageSink = nullptr;
    return ok;
}

const lutslots::FileKind* CLutIF::StartEntry(const QString& file, int sector)
{
    errorCode = luterror::kNone;
    Reset();
    if (file.isEmpty())
        return nullptr;
    errorText = QStringLiteral("Failed to write to %1").arg(lutslots::SlotName(sector));
    const lutslots::FileKind* kind = lutslots::ImportKind(QFileInfo(file).suffix(), lutslots::Is3D(sector));
    if (!kind) {
        Fail(luterror::kBadSuffix);
        return nullptr;
    }
    firstKeyword = kind->firstKeyword;
    endKeyword = kind->endKeyword;
    return kind;
}

bool CLutIF::ParseFile(const QString& path, int format, bool is3D)
{
    QByteArray text;
    qint64 fileSize = 0;
    if (!lutfileio::ReadFile(path, lutfileio::kMaxTextFileSize, text, fileSize))
        return Fail(luterror::kOpenFailed);
    if (text.size() != fileSize)
        return Fail(luterror::kReadShort);
    return ParseText(std::move(text), path, format, is3D);
}

bool CLutIF::ParseText(QByteArray table, const QString& path, int format, bool is3D)
{
    rowFormat = format;
    fileText = std::move(table);
    fileText.replace('\r', '\n');
    const std::string_view text = FileText();
    size_t next = 0;
    for (lineOffset = 0; lineOffset != std::string_view::npos; lineOffset = next, ++lineIndex) {
        const std::string_view raw = LineAt(text, lineOffset, next);
        if (raw.size() > kMaxLineLength)
            return Fail(luterror::kLineTooLong);
        const std::string_view line = TextOf(raw);
        if (line.empty() || line.front() == '#')
            continue;
        switch (parserState) {
        case kStateHeader:
            if (!ParseTableRow(line, format, is3D)) {
                if (errorCode != luterror::kUnknownKeyword)
                    return false;
                errorCode = luterror::kNone; // an unrecognised line is skipped
                continue;
            }
            if (parserState != kStateData)
                continue;
            [[fallthrough]]; // the first data row
        case kStateData:
            if (!HandleDataRow(line, format, is3D))
                return false;
            break;
        default:
            return Fail(luterror::kParserState, kMsgUnknownState);
        }
    }

    if (is3D) {
        if (cubeSize == 0)
            return Fail(luterror::kCubeSize);
        if (format == kFormatCube) {
            rowCounter = 1;
            for (const std::string_view row : reorderedRows) {
                if (!IsTableDataMatched(row))
                    return false;
            }
        }
        if (rowCounter != expectedRows + 1)
            return Fail(luterror::kRowCount);
        return Write3DImage(path, format);
    }
    if (expectedRows == 0)
        return Fail(luterror::k1DRowCount); // no data row at all
    if (rowCounter != expectedRows + 1)
        return Fail(luterror::kRowCount);
    return Write1DImage(path, format);
}

bool CLutIF::ParseTableRow(std::string_view line, int /*format*/, bool is3D)
{
    const int index = lutkeywords::Match(line, firstKeyword, endKeyword);
    if (index < 0) {
        if (!MatchDataRow(line))
            return Fail(luterror::kUnknownKeyword, kMsgUnknownKeyword);
        for (int i = 0; i < 3; ++i) {
            if (domainMin[i] >= domainMax[i])
                return Fail(luterror::kDomainReversed, kMsgDomainReversed);
        }
        if (is3D && cubeSize != 0 && expectedRows > 0)
            reorderedRows.insert(reorderedRows.end(), size_t(expectedRows), kBlankRow);
        parserState = kStateData;
        return true;
    }
    if (keywordSeen[index])
        return Fail(luterror::kKeywordRepeated, kMsgKeywordRepeated);
    keywordSeen[index] = 1;
    return ApplyKeyword(index, line);
}

bool CLutIF::ApplyKeyword(int index, std::string_view line)
{
    const std::vector<std::string_view> tokens = lutsyntax::Split(line);
    switch (index) {
    case lutkeywords::kTitle: {
        const size_t first = line.find('"');
        const size_t last = line.rfind('"');
        title.clear();
        if (first != std::string_view::npos && last > first) {
            const std::string_view text = line.substr(first + 1, last - first - 1);
            title = QString::fromLatin1(text.data(), int(text.size()));
        }
        break;
    }
    case lutkeywords::kDomainMin:
    case lutkeywords::kDomainMax: {
        float* bounds = index == lutkeywords::kDomainMin ? domainMin : domainMax;
        for (size_t i = 0; i < 3; ++i)
            bounds[i] = float(lutsyntax::ParseNumber(TokenAt(tokens, i + 1)));
        break;
    }
    case lutkeywords::kLutSize:
    case lutkeywords::kVertices:
    case lutkeywords::kLut3DSize:
        cubeSize = lutsyntax::ParseInteger(TokenAt(tokens, 1));
        return CheckCubeSize();
    case lutkeywords::kGridLine:
        cubeSize = int(std::min<size_t>(tokens.size(), INT_MAX));
        return CheckCubeSize();
    case lutkeywords::kMesh: {
        const int power = lutsyntax::ParseInteger(TokenAt(tokens, 1));
        cubeSize = power <= 30 ? (1 << power) + 1 : INT_MAX;
        return CheckCubeSize() && CheckBitDepth(lutsyntax::ParseInteger(TokenAt(tokens, 2)));
    }
    case lutkeywords::kMaxValue: {
        const int value = lutsyntax::ParseInteger(TokenAt(tokens, 2));
        if (value >= 4096)
            return Fail(luterror::kBitDepth);
        maxCode = value;
        break;
    }
    case lutkeywords::kLut3DTag: {
        const int points = QuotedNumber(TokenAt(tokens, 2));
        if (!CheckBitDepth(QuotedNumber(TokenAt(tokens, 3))))
            return false;
        cubeSize = points;
        return CheckCubeSize();
    }
    default:
        break;
    }
    errorCode = luterror::kNone;
    return true;
}

bool CLutIF::CheckCubeSize()
{
    if (cubeSize != 16 && cubeSize != 17)
        return Fail(luterror::kCubeSize, kMsgCubeSize);
    expectedRows = cubeSize * cubeSize * cubeSize;
    errorCode = luterror::kNone;
    return true;
}

bool CLutIF::CheckBitDepth(int depth)
{
    if (depth < 1 || depth > 12)
        return Fail(luterror::kBitDepth);
    maxCode = (1 << depth) - 1;
    errorCode = luterror::kNone;
    return true;
}

bool CLutIF::HandleDataRow(std::string_view line, int format, bool is3D)
{
    if (is3D) {
        if (cubeSize == 0 && !Survey3D())
            return false;
        return format == kFormatCube ? StoreCubeRow(line) : IsTableDataMatched(line);
    }
    if (depthCode == 0 && !Survey1D(format))
        return false;
    return Is1DTableDataMatched(line);
}

bool CLutIF::Survey3D()
{
    int rows = 0;
    const std::string_view text = FileText();
    for (size_t offset = lineOffset, next = 0; offset != std::string_view::npos; offset = next) {
        const std::string_view line = LineAt(text, offset, next);
        if (line.size() > kMaxLineLength)
            return Fail(luterror::kLineTooLong);
        if (MatchDataRow(TextOf(line)))
            ++rows;
    }
    if (rows == 16 * 16 * 16)
        cubeSize = 16;
    else if (rows == 17 * 17 * 17)
        cubeSize = 17;
    else
        return Fail(luterror::kCubeSize);
    expectedRows = cubeSize * cubeSize * cubeSize;
    reorderedRows.insert(reorderedRows.end(), size_t(expectedRows), kBlankRow);
    return true;
}

bool CLutIF::Survey1D(int format)
{
    int rows = 0;
    int largest = INT_MIN;
    std::array<std::string_view, 3> tokens;
    const std::string_view text = FileText();
    for (size_t offset = lineOffset, next = 0; offset != std::string_view::npos; offset = next) {
        const std::string_view line = LineAt(text, offset, next);
        if (line.size() > kMaxLineLength)
            return Fail(luterror::kLineTooLong);
        if (!MatchDataRow(TextOf(line), &tokens))
            continue;
        ++rows;
        if (format == kFormatCube)
            continue;
        for (int c = 0; c < 3; ++c) {
            const std::string_view token = tokens[size_t(c)];
            int value;
            if (lutsyntax::IsIntegerToken(token)) {
                value = lutsyntax::ParseInteger(token);
            } else {
                const float scale = 1.0f / (domainMax[c] - domainMin[c]);
                value = lutsyntax::RoundHalfUp((lutsyntax::ParseNumber(token) - double(domainMin[c])) * double(scale));
            }
            largest = std::max(largest, value);
        }
    }
    if (format == kFormatCube)
        maxCode = rows - 1;
    else
        maxCode = largest < 1024 ? 1023 : 4095;
    if (rows == 1024) {
        expectedRows = 1024;
        depthCode = 10;
    } else if (rows == 4096) {
        expectedRows = 4096;
        depthCode = 12;
    } else {
        return Fail(luterror::k1DRowCount);
    }
    return true;
}

int CLutIF::ConvertToken(std::string_view token, int column, int format) const
{
    // A .cube value is always relative to the domain ("1 1 1" is full scale);
    // the other formats write integer codes as they are.
    if (format != kFormatCube && lutsyntax::IsIntegerToken(token))
        return lutsyntax::ParseInteger(token);
    const float scale = 1.0f / (domainMax[column] - domainMin[column]);
    const double v = lutsyntax::ParseNumber(token);
    return lutsyntax::RoundHalfUp((double(maxCode) * double(scale)) * (v - double(domainMin[column])));
}

bool CLutIF::ConvertRow(const std::array<std::string_view, 3>& tokens, int format, int codes[3])
{
    for (int c = 0; c < 3; ++c) {
        codes[c] = ConvertToken(tokens[size_t(c)], c, format);
        if (codes[c] < 0 || codes[c] > maxCode)
            return Fail(luterror::kValueRange, kMsgValueOutOfRange);
    }
    return true;
}

bool CLutIF::StoreCubeRow(std::string_view line)
{
    if (!MatchDataRow(line))
        return true;
    if (rowCounter > expectedRows)
        return Fail(luterror::kCubeSize, kMsgCubeOutOfSize);
    // The file runs first column fastest; the image third column fastest.
    const size_t k = size_t(cubeRowsPlaced);
    const size_t n = size_t(cubeSize);
    const size_t index = (k % n) * n * n + ((k / n) % n) * n + k / (n * n);
    if (index < reorderedRows.size())
        reorderedRows[index] = line;
    ++rowCounter;
    ++cubeRowsPlaced;
    return true;
}

bool CLutIF::IsTableDataMatched(std::string_view line)
{
    std::array<std::string_view, 3> tokens;
    if (!MatchDataRow(line, &tokens))
        return true;
    if (rowCounter > expectedRows)
        return Fail(luterror::kCubeSize, kMsgCubeOutOfSize);
    int codes[3];
    if (!ConvertRow(tokens, rowFormat, codes))
        return false;
    PackRow(codes);
    ++rowCounter;
    return true;
}

bool CLutIF::Is1DTableDataMatched(std::string_view line)
{
    std::array<std::string_view, 3> tokens;
    if (!MatchDataRow(line, &tokens))
        return true;
    if (rowCounter > expectedRows)
        return Fail(luterror::k1DRowCount, kMsgCubeOutOfSize);
    int codes[3];
    if (!ConvertRow(tokens, rowFormat, codes))
        return false;
    const int factor = (maxCode == 1023 && depthCode == 10) ? 64 : 16;
    const int copies = depthCode == 10 ? 4 : 1;
    QByteArray* channels[3] = {&redSamples, &greenSamples, &blueSamples};
    for (int copy = 0; copy < copies; ++copy) {
        for (int c = 0; c < 3; ++c) {
            const int sample = codes[c] * factor;
            channels[c]->append(char(sample & 0xFF));
            channels[c]->append(char((sample >> 8) & 0xFF));
        }
    }
    ++rowCounter;
    return true;
}
