// Lock files between processes (forked children) and within one process.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "forkedchild.h"
#include "logcapture.h"
#include "lumo/lumolockfile.h"

namespace {

class LumoLockFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("app.lock"));
    }
    QByteArray content() const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    void setContent(QByteArray const& text) const
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    static QByteArray pidLine(int pid) { return QByteArray::number(pid) + '\n'; }

    LogCapture capture;
    QTemporaryDir dir;
    QString path;
};

TEST_F(LumoLockFileTest, LockWritesThePidAndKeepsAnyLongerTail)
{
    setContent("1234567890123\nold\n");
    LumoLockFile lock(path);
    EXPECT_EQ(lock.whoHasLock(), 0);
    ASSERT_TRUE(lock.lock());
    const QByteArray mine = pidLine(getpid());
    EXPECT_EQ(content(), mine + QByteArray("1234567890123\nold\n").mid(mine.size()));
    // Held already: true again, nothing written.
    setContent("changed");
    EXPECT_TRUE(lock.lock());
    EXPECT_EQ(content(), QByteArray("changed"));
    lock.unlock();
    EXPECT_TRUE(QFile::exists(path));
}

TEST_F(LumoLockFileTest, NewFileGetsCreatedWithThePid)
{
    LumoLockFile lock;
    lock.setFilename(path);
    ASSERT_TRUE(lock.lock());
    EXPECT_EQ(content(), pidLine(getpid()));
    struct stat st;
    ASSERT_EQ(stat(QFile::encodeName(path).constData(), &st), 0);
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(st.st_mode & 0777, 0666u & ~mask);
}

TEST_F(LumoLockFileTest, OpenFailureIsLogged)
{
    const QString missing = dir.filePath(QStringLiteral("no/such/dir.lock"));
    LumoLockFile lock(missing);
    EXPECT_FALSE(lock.lock());
    EXPECT_EQ(lock.whoHasLock(), 0);
    ASSERT_TRUE(LogCapture::waitSystem(1));
    const SystemEntry e = LogCapture::system()[0];
    EXPECT_EQ(e.msg, "Failed to open lockfile '" + QFile::encodeName(missing) + "': No such file or directory\n");
    EXPECT_TRUE(e.prefix.startsWith("E ["));
    EXPECT_TRUE(e.prefix.contains("] [lumolockfile:"));
    // It can be retried once the directory exists.
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("no/such"))));
    EXPECT_TRUE(lock.lock());
}

TEST_F(LumoLockFileTest, ChildHoldsParentIsRefused)
{
    const QString file = path;
    ForkedChild child([file](int up, int down) {
        LumoLockFile lock(file);
        if (!lock.lock())
            return 2;
        ForkedChild::tell(up, "locked");
        ForkedChild::await(down);
        return 0; // exits holding the lock
    });
    ASSERT_EQ(child.receive(), "locked");
    LumoLockFile mine(path);
    EXPECT_EQ(mine.whoHasLock(), child.pid());
    EXPECT_FALSE(mine.lock());
    EXPECT_EQ(mine.whoHasLock(), child.pid());
    EXPECT_EQ(content(), pidLine(child.pid()));

    child.send('x');
    ASSERT_EQ(child.finish(), 0);
    EXPECT_EQ(mine.whoHasLock(), 0);
    EXPECT_EQ(content(), pidLine(child.pid())); // the old text stays
    EXPECT_TRUE(mine.lock());
    EXPECT_EQ(content(), pidLine(getpid()));
}

TEST_F(LumoLockFileTest, HolderAskingWhoHasTheLockKeepsIt)
{
    LumoLockFile holder(path);
    ASSERT_TRUE(holder.lock());
    const QString file = path;
    ForkedChild child([file](int up, int down) {
        LumoLockFile other(file);
        for (;;) {
            const int who = other.whoHasLock();
            const bool locked = other.lock();
            ForkedChild::tell(up, std::to_string(who) + (locked ? " locked" : " refused"));
            if (ForkedChild::await(down) != 'a')
                return 0;
        }
    });
    const std::string expected = std::to_string(getpid()) + " refused";
    ASSERT_EQ(child.receive(), expected);

    // Asking in the holding process, through the holder or another object,
    // opens no second descriptor and so leaves the lock in place.
    EXPECT_EQ(holder.whoHasLock(), 0);
    {
        LumoLockFile second(path);
        EXPECT_EQ(second.whoHasLock(), 0);
        EXPECT_FALSE(second.lock()); // one holder per process too
        LumoLockFile viaLink(dir.filePath(QStringLiteral("link.lock")));
        ASSERT_EQ(symlink(QFile::encodeName(path).constData(),
                          QFile::encodeName(dir.filePath(QStringLiteral("link.lock"))).constData()), 0);
        EXPECT_FALSE(viaLink.lock());
        EXPECT_EQ(viaLink.whoHasLock(), 0);
    } // their destructors close nothing of the holder's
    child.send('a');
    EXPECT_EQ(child.receive(), expected);

    holder.unlock();
    child.send('a');
    EXPECT_EQ(child.receive(), "0 locked");
    child.send('q');
    EXPECT_EQ(child.finish(), 0);
}

TEST_F(LumoLockFileTest, SetFilenameAndDestructionRelease)
{
    const QString other = dir.filePath(QStringLiteral("other.lock"));
    auto probe = [](QString const& file) {
        ForkedChild child([file](int, int) { return LumoLockFile(file).whoHasLock() == int(getppid()) ? 1 : 0; });
        return child.finish();
    };
    {
        LumoLockFile lock(path);
        ASSERT_TRUE(lock.lock());
        EXPECT_EQ(probe(path), 1);
        lock.setFilename(other);
        EXPECT_EQ(probe(path), 0);
        EXPECT_EQ(probe(other), 0);
        ASSERT_TRUE(lock.lock());
        EXPECT_EQ(probe(other), 1);
    }
    EXPECT_EQ(probe(other), 0);
}

} // namespace
