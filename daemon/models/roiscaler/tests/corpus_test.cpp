// Replays a fuzz target's seeds (CORPUS_DIR, at least MIN_SEEDS of them)
// through its checks, so a build without the fuzzer still runs them.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size);

namespace {

TEST(FuzzCorpus, EverySeedPassesTheFuzzChecks)
{
    const QDir dir(QStringLiteral(CORPUS_DIR));
    const QStringList seeds = dir.entryList(QDir::Files, QDir::Name);
    ASSERT_GE(seeds.size(), MIN_SEEDS);
    for (const QString& name : seeds) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = file.readAll();
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                         size_t(bytes.size())), 0);
    }
}

} // namespace
