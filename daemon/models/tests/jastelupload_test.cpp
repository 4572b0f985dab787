// The Jastel wrapper's LUT upload on a simulated LUT converter: the command
// sequence byte for byte, a failure at each step, the bounded handshake, and
// the uploads refused before anything is sent.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

#include "jasteltesting.h"
#include "lutfixtures.h"
#include "messagelog.h"
#include "scopedenv.h"

namespace {

using namespace jasteltesting;

const quint32 k3DSlotBName = 0x010B001C;
const uint32_t kSector2 = 0x70000;
const uint32_t kErase2 = 0xB0100;
const uint32_t kTransfer = 0x25;

class JastelUploadTest : public JastelTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(_home.isValid());
        _homeVariable.reset(new tovik::test::ScopedEnv("HOME", _home.path().toStdString()));
    }
    void TearDown() override
    {
        _linked.reset();
        _homeVariable.reset();
    }

    // The converter answers the transfer register's polls with busy first.
    void PlugWithHandshake(int readsBeforeReady, uint8_t busy = 0x01, uint8_t ready = 0x05)
    {
        Plug([=](convsim::Personality& p) {
            p.lutFlash.readsBeforeReady = readsBeforeReady;
            p.lutFlash.busyValue = busy;
            p.lutFlash.readyValue = ready;
        });
    }

    QString Folder() const { return _home.path() + "/Velora Setwell"; }
    QString ImageFile() const { return Folder() + "/veloralut.mem"; }

    // Writes a LUT file into the working folder; returns the image its
    // import gives, made apart from the wrapper.
    QByteArray PutLut(const QString& name, const QByteArray& text, int sector)
    {
        EXPECT_TRUE(QDir().mkpath(Folder()));
        QFile file(Folder() + "/" + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        const luttest::ImportResult expected = _workspace.Import(name, text, sector);
        EXPECT_TRUE(expected.ok) << expected.errorText.toStdString();
        EXPECT_EQ(expected.image.size(), 32768);
        return expected.image;
    }

    // The 32768 bytes the upload is expected to send: any pattern will do.
    static QByteArray Pattern()
    {
        QByteArray image(32768, '\0');
        for (int i = 0; i < image.size(); ++i)
            image[i] = char(i * 13 + (i >> 7));
        return image;
    }

    // The register commands of the upload (erase, blocks, transfer
    // register) and of the name read-back, in order.
    std::vector<RegisterCommand> UploadCommands(size_t mark)
    {
        std::vector<RegisterCommand> commands;
        for (const RegisterCommand& c : RegistersSince(mark))
            if (c.address == kTransfer || (c.address >= 0x60000 && c.address < 0x80000) ||
                (c.address >= 0xA0100 && c.address <= 0xB8100))
                commands.push_back(c);
        return commands;
    }

    QTemporaryDir _home;
    std::unique_ptr<tovik::test::ScopedEnv> _homeVariable;
    luttest::Workspace _workspace;
};

TEST_F(JastelUploadTest, Sector2ByteForByte)
{
    PlugWithHandshake(2);
    const QByteArray image = PutLut("film.graded.cube", luttest::SmallCube(), 2);
    Timer()->stop();
    const size_t mark = Mark();
    tovik::test::MessageLog messages;
    _w->SetParam(k3DSlotBName, Text("film.graded.cube"), LumoTimeStamp());

    const std::vector<RegisterCommand> c = UploadCommands(mark);
    ASSERT_EQ(c.size(), 1u + 256 + 3 + 2 + 3);
    EXPECT_TRUE(c[0].write);
    EXPECT_EQ(c[0].address, kErase2);
    EXPECT_EQ(c[0].data, convsim::Bytes{0x81});
    for (int k = 0; k < 256; ++k) {
        const RegisterCommand& block = c[size_t(1 + k)];
        ASSERT_TRUE(block.write) << k;
        ASSERT_EQ(block.address, kSector2 + 128u * uint32_t(k)) << k;
        ASSERT_EQ(block.count, 128u) << k;
        ASSERT_EQ(block.data, convsim::Bytes(image.begin() + 128 * k, image.begin() + 128 * (k + 1))) << k;
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(c[size_t(257 + i)].write);
        EXPECT_EQ(c[size_t(257 + i)].address, kTransfer);
        EXPECT_EQ(c[size_t(257 + i)].count, 1u);
    }
    EXPECT_EQ(c[260].address, kTransfer);
    EXPECT_EQ(c[260].data, convsim::Bytes{0x80});
    EXPECT_EQ(c[261].address, kTransfer);
    EXPECT_EQ(c[261].data, convsim::Bytes{0x00});
    // The name is read back from the sector: type, length, then "film".
    EXPECT_EQ(c[262].address, kSector2);
    EXPECT_EQ(c[263].address, kSector2 + 1);
    EXPECT_EQ(c[264].address, kSector2 + 2);
    EXPECT_EQ(c[264].count, 4u);
    for (const RegisterCommand& command : c)
        EXPECT_FALSE(command.refused);
    // Nothing else came before the read-back of the configuration.
    const std::vector<int> codes = CodesSince(Sim(), mark);
    const size_t configRead = size_t(std::find(codes.begin(), codes.end(), 0x8C) - codes.begin());
    EXPECT_EQ(configRead, c.size());

    EXPECT_EQ(State().value(k3DSlotBName), Text("film.cube"));
    EXPECT_EQ(Sim().State().lutFlash.sectors[2], convsim::Bytes(image.begin(), image.end()));
    EXPECT_FALSE(QFile::exists(ImageFile()));
    EXPECT_TRUE(Timer()->isActive());
    EXPECT_EQ(Timer()->interval(), 1000);
    EXPECT_TRUE(messages.Lines().isEmpty()) << messages.Lines().join('|').toStdString();
}

TEST_F(JastelUploadTest, EachSlotNameGoesToItsSector)
{
    PlugWithHandshake(0);
    const struct {
        quint32 id;
        int sector;
        const char* file;
        QByteArray text;
        const char* published;
    } cases[] = {
        {0x010B001B, 0, "a.cube", luttest::SmallCube(), "a.cube"},
        {0x010B0017, 1, "b.txt", luttest::ZeroRows(1024), "b.txt"},
        {0x010B0018, 3, "c.lut", luttest::ZeroRows(1024), "c.lut"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const QByteArray image = PutLut(c.file, c.text, c.sector);
        _w->SetParam(c.id, Text(c.file), LumoTimeStamp());
        EXPECT_EQ(Sim().State().lutFlash.sectors[size_t(c.sector)], convsim::Bytes(image.begin(), image.end()));
        EXPECT_EQ(State().value(c.id), Text(c.published));
    }
    EXPECT_EQ(Sim().State().lutFlash.sectors[2], convsim::Bytes(32768, 0xFF));
}

TEST_F(JastelUploadTest, AFailureStopsAtItsStepAndPollingGoesOn)
{
    const struct {
        const char* name;
        UByte code;
        uint32_t address;
        unsigned nth;
        size_t sent; // upload commands up to the refused one
        const char* line;
    } cases[] = {
        {"erase", kWriteCode, kErase2, 1, 1, "Error erasing sector for LUT upload "},
        {"first block", kWriteCode, kSector2, 1, 2, "LUT Upload FAILED! "},
        {"block 100", kWriteCode, kSector2 + 12800, 1, 102, "LUT Upload FAILED! "},
        {"last block", kWriteCode, kSector2 + 0x7F80, 1, 257, "LUT Upload FAILED! "},
        {"first status read", kReadCode, kTransfer, 1, 258, "LUT upload failed "},
        {"second status read", kReadCode, kTransfer, 2, 259, "LUT upload failed "},
        {"handshake 0x80", kWriteCode, kTransfer, 1, 260, "LUT Upload FAILED! "},
        {"handshake 0x00", kWriteCode, kTransfer, 2, 261, "LUT Upload FAILED! "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PlugWithHandshake(1);
        PutLut("film.cube", luttest::SmallCube(), 2);
        Refuse(c.code, c.address, c.nth);
        Timer()->stop();
        const size_t mark = Mark();
        tovik::test::MessageLog messages;
        _w->SetParam(k3DSlotBName, Text("film.cube"), LumoTimeStamp());

        const std::vector<RegisterCommand> commands = UploadCommands(mark);
        ASSERT_EQ(commands.size(), c.sent) << "nothing after the refused step, no name read-back";
        EXPECT_TRUE(commands.back().refused);
        EXPECT_EQ(commands.back().address, c.address);
        EXPECT_TRUE(messages.Contains(QtDebugMsg, c.line)) << messages.Lines().join('|').toStdString();
        EXPECT_EQ(State().value(k3DSlotBName), Text("Slot Empty"));
        EXPECT_FALSE(QFile::exists(ImageFile()));
        EXPECT_TRUE(Timer()->isActive());
        EXPECT_EQ(Timer()->interval(), 1000);
        EXPECT_TRUE(_w->IsLinkUp());
    }
}

TEST_F(JastelUploadTest, TransferRegisterValues)
{
    const struct {
        const char* name;
        int readsBeforeReady;
        uint8_t busy, ready;
        size_t reads;
    } cases[] = {
        {"0x05 ends the poll", 0, 0x01, 0x05, 1}, {"0x07 ends the poll", 0, 0x01, 0x07, 1},
        {"0xFF ends the poll", 0, 0x01, 0xFF, 1}, {"0x01 does not", 3, 0x01, 0x05, 4},
        {"0x04 does not", 3, 0x04, 0x05, 4},      {"0x00 does not", 3, 0x00, 0x05, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PlugWithHandshake(c.readsBeforeReady, c.busy, c.ready);
        const size_t mark = Mark();
        EXPECT_TRUE(_w->UploadLUT(Pattern(), 3));
        size_t reads = 0;
        for (const RegisterCommand& command : UploadCommands(mark))
            reads += !command.write && command.address == kTransfer;
        EXPECT_EQ(reads, c.reads);
        const QByteArray image = Pattern();
        EXPECT_EQ(Sim().State().lutFlash.sectors[3], convsim::Bytes(image.begin(), image.end()));
    }
}

TEST_F(JastelUploadTest, AConverterThatNeverFinishesEndsTheUploadInBoundedTime)
{
    PlugWithHandshake(-1);
    PutLut("film.cube", luttest::SmallCube(), 2);
    Timer()->stop();
    const size_t mark = Mark();
    tovik::test::MessageLog messages;
    QElapsedTimer clock;
    clock.start();
    _w->SetParam(k3DSlotBName, Text("film.cube"), LumoTimeStamp());
    const qint64 took = clock.elapsed();
    EXPECT_GE(took, JastelWrapper::kHandshakeTimeoutMs);
    EXPECT_LT(took, 60000) << "bounded";
    EXPECT_TRUE(messages.Contains(QtDebugMsg, "LUT upload failed "));
    const std::vector<RegisterCommand> commands = UploadCommands(mark);
    ASSERT_GT(commands.size(), 258u);
    for (size_t i = 257; i < commands.size(); ++i) {
        EXPECT_FALSE(commands[i].write) << "no handshake";
        EXPECT_EQ(commands[i].address, kTransfer);
    }
    EXPECT_EQ(State().value(k3DSlotBName), Text("Slot Empty"));
    EXPECT_TRUE(Timer()->isActive());
}

TEST_F(JastelUploadTest, AnImageOfAnyOtherSizeIsNeverSent)
{
    Plug();
    const struct {
        const char* name;
        QByteArray data;
        int sector;
        const char* line;
    } cases[] = {
        {"empty", QByteArray(), 2, "LUT upload refused: the image has 0 bytes, not 32768 "},
        {"short", QByteArray(1000, 'x'), 2, "LUT upload refused: the image has 1000 bytes, not 32768 "},
        {"one byte short", QByteArray(32767, 'x'), 0, "LUT upload refused: the image has 32767 bytes, not 32768 "},
        {"two images", QByteArray(65536, 'x'), 1, "LUT upload refused: the image has 65536 bytes, not 32768 "},
        {"sector 4", Pattern(), 4, "LUT upload refused: no LUT sector 4 "},
        {"sector -1", Pattern(), -1, "LUT upload refused: no LUT sector -1 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t mark = Mark();
        tovik::test::MessageLog messages;
        EXPECT_FALSE(_w->UploadLUT(c.data, c.sector));
        EXPECT_EQ(Mark(), mark) << "nothing sent, nothing erased";
        EXPECT_EQ(messages.Lines(), QStringList({c.line}));
    }
    for (const convsim::Bytes& sector : Sim().State().lutFlash.sectors)
        EXPECT_EQ(sector, convsim::Bytes(32768, 0xFF));
}

TEST_F(JastelUploadTest, AFailedImportSendsNothing)
{
    const struct {
        const char* name;
        const char* file;
        QByteArray text; // null: no such file
    } cases[] = {
        {"unknown kind", "film.bmp", QByteArray("0 0 0\n")},
        {"a 1D table for a 3D slot", "film.txt", luttest::ZeroRows(1024)},
        {"no such file", "missing.cube", QByteArray()},
        {"a broken table", "broken.cube", QByteArray("LUT_3D_SIZE 16\n0.5 0.5\n")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Plug();
        ASSERT_TRUE(QDir().mkpath(Folder()));
        if (!c.text.isNull()) {
            QFile file(Folder() + "/" + c.file);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.text);
        }
        Timer()->stop();
        const size_t mark = Mark();
        _w->SetParam(k3DSlotBName, Text(c.file), LumoTimeStamp());
        EXPECT_TRUE(UploadCommands(mark).empty());
        EXPECT_EQ(State().value(k3DSlotBName), Text("Slot Empty"));
        EXPECT_TRUE(Timer()->isActive());
        // The image file stays as the importer left it.
        EXPECT_TRUE(QFile::exists(ImageFile()));
    }
}

TEST_F(JastelUploadTest, WithTheLinkClosedOnlyALine)
{
    Plug();
    Inside::Engine(_w)->SetConnected(false);
    const size_t mark = Mark();
    tovik::test::MessageLog messages;
    _w->UploadLutTableSingleThread("film.cube", 2);
    EXPECT_EQ(messages.Lines(), QStringList({"UploadLutTable ignored: upload in progress "}));
    EXPECT_EQ(Mark(), mark);
    EXPECT_TRUE(Timer()->isActive());
    EXPECT_FALSE(QDir(Folder()).exists()) << "no file touched";
}

TEST_F(JastelUploadTest, NamesOutsideTheFolderAreRefused)
{
    Plug();
    const struct {
        QString name;
        const char* shown;
    } names[] = {{"", ""},
                 {".", "."},
                 {"..", ".."},
                 {"../film.cube", "../film.cube"},
                 {"/etc/film.cube", "/etc/film.cube"},
                 {"sub/film.cube", "sub/film.cube"},
                 {QString("fi") + QChar(0) + "lm.cube", "fi\\x00lm.cube"}};
    for (const auto& n : names) {
        SCOPED_TRACE(n.shown);
        const size_t mark = Mark();
        tovik::test::MessageLog messages;
        _w->UploadLutTableSingleThread(n.name, 2);
        EXPECT_EQ(messages.Lines(),
                  QStringList({QString("LUT upload refused: \"%1\" is not a file name in the LUT folder ").arg(n.shown)}));
        EXPECT_EQ(Mark(), mark);
        EXPECT_TRUE(Timer()->isActive());
        EXPECT_FALSE(QDir(Folder()).exists());
    }
    // Through the parameter the refusal costs the configuration read-back only.
    const size_t mark = Mark();
    _w->SetParam(k3DSlotBName, Text("../x.cube"), LumoTimeStamp());
    EXPECT_TRUE(UploadCommands(mark).empty());
    EXPECT_EQ(State().value(k3DSlotBName), Text("Slot Empty"));
}

} // namespace
