// The memory pool: first-fit allocation, splitting, merging on free, growth
// in whole blocks, the HugeTLB set-up and its growth, usage figures and log
// texts, and an eight-thread stress. Growth runs on a fake backing store (an
// arena that maps where it is asked to) so that addresses and fragments are
// exact; the real mmap, mlock and /proc paths are tried too.
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <syslog.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "logcapture.h"
#include "lumo/lumolog.h"
#include "lumo/lumomemorypool.h"
#include "lumo_p.h"
#include "lumomemorypool_p.h"

namespace {

const size_t kPage = 4096;
const size_t kMiB = 1 << 20;

using Chunk = LumoMemoryPoolProbe::Chunk;
using Usage = LumoMemoryPool::UsageData;

// An arena that hands out memory in order: at the hint when the hint is
// where its next mapping would go, elsewhere (after a gap) otherwise.
struct FakeBacking {
    struct Call {
        void* hint;
        size_t bytes;
        int fd;
        off_t offset;
    };
    static constexpr size_t kCapacity = size_t(1) << 30;

    char* base = nullptr;
    size_t used = 0;
    size_t gap = 0;          // left free before the next mapping, once
    bool failAnonymous = false;
    bool failHugeTlb = false;
    std::vector<Call> maps;
    std::vector<std::pair<void const*, size_t>> locks;

    static FakeBacking& get()
    {
        static FakeBacking fake;
        return fake;
    }
    void reset()
    {
        if (!base)
            base = static_cast<char*>(mmap(nullptr, kCapacity, PROT_READ | PROT_WRITE,
                                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0));
        else
            madvise(base, used, MADV_DONTNEED);
        used = 0;
        gap = 0;
        failAnonymous = failHugeTlb = false;
        maps.clear();
        locks.clear();
    }
    static void* map(void* hint, size_t bytes, int fd, off_t offset)
    {
        FakeBacking& f = get();
        f.maps.push_back(Call{hint, bytes, fd, offset});
        if ((fd < 0 && f.failAnonymous) || (fd >= 0 && f.failHugeTlb))
            return MAP_FAILED;
        const size_t at = f.used + f.gap;
        if (at + bytes > kCapacity)
            return MAP_FAILED;
        f.gap = 0;
        f.used = at + bytes;
        return f.base + at;
    }
    static int lock(void const* start, size_t bytes)
    {
        get().locks.emplace_back(start, bytes);
        return 0;
    }
};

const LumoPoolBacking kFakeBacking = {FakeBacking::map, FakeBacking::lock};

std::string format(char const* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string format(char const* fmt, ...)
{
    char text[512];
    va_list args;
    va_start(args, fmt);
    vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    return text;
}

// Waits for a log message of the pool and checks its system-log priority.
bool logged(std::string const& msg, int priority)
{
    return LogCapture::waitUntil([&] {
        for (SystemEntry const& e : LogCapture::system())
            if (e.msg.toStdString() == msg && e.priority == priority && e.prefix.contains("[lumomemorypool:"))
                return true;
        return false;
    });
}

int criticalLines()
{
    int n = 0;
    for (SystemEntry const& e : LogCapture::system())
        n += e.priority == LOG_CRIT && e.prefix.contains("[lumomemorypool:");
    return n;
}

Usage usageOf(LumoMemoryPool const& pool)
{
    Usage u;
    pool.getUsageData(u);
    return u;
}

void expectUsage(LumoMemoryPool const& pool, size_t totalUsed, size_t sysSize, size_t htlbSize, int sysFragments,
                 int htlbFragments, int allocations)
{
    const Usage u = usageOf(pool);
    EXPECT_EQ(u.totalUsed, totalUsed);
    EXPECT_EQ(u.sysSize, sysSize);
    EXPECT_EQ(u.htlbSize, htlbSize);
    EXPECT_EQ(u.totalSize, sysSize + htlbSize);
    EXPECT_EQ(u.sysFragments, sysFragments);
    EXPECT_EQ(u.htlbFragments, htlbFragments);
    EXPECT_EQ(u.allocations, allocations);
}

// Every free chunk is a run of its own: no two neighbours in the list touch,
// and the list is in ascending address order.
void expectCoalesced(std::vector<Chunk> const& chunks)
{
    for (size_t i = 1; i < chunks.size(); ++i) {
        EXPECT_LT(chunks[i - 1].header, chunks[i].header);
        EXPECT_NE(chunks[i - 1].header + chunks[i - 1].pages * kPage, chunks[i].header) << "chunk " << i;
    }
}

class LumoMemoryPoolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FakeBacking::get().reset();
        lumoMemoryPoolSetBacking(&kFakeBacking);
        LogCapture::clear();
    }
    void TearDown() override
    {
        lumoMemoryPoolSetBacking(nullptr);
        Lumo::setProcRoot(QStringLiteral("/proc"));
        lumoMemoryPoolSetDebug(false);
        lumoLogSetLevel(3);
    }
    FakeBacking& fake() { return FakeBacking::get(); }
    char* arena() { return fake().base; }

    LogCapture _capture;
};

TEST_F(LumoMemoryPoolTest, FirstAllocationMapsOneBlockAndSplitsIt)
{
    LumoMemoryPool pool(512, 0x5);
    expectUsage(pool, 0, 0, 0, 0, 0, 0);
    EXPECT_TRUE(fake().maps.empty());

    char* p = static_cast<char*>(pool.allocate(1));
    ASSERT_EQ(p, arena() + kPage);
    ASSERT_EQ(fake().maps.size(), 1u);
    EXPECT_EQ(fake().maps[0].hint, nullptr);
    EXPECT_EQ(fake().maps[0].bytes, 2 * kMiB);
    EXPECT_EQ(fake().maps[0].fd, -1);
    ASSERT_EQ(fake().locks.size(), 1u);
    EXPECT_EQ(fake().locks[0], std::make_pair(static_cast<void const*>(arena()), 2 * kMiB));
    EXPECT_EQ(LumoMemoryPoolProbe::freeChunks(pool), (std::vector<Chunk>{{arena() + 2 * kPage, 510}}));
    expectUsage(pool, 8192, 2097152, 0, 1, 0, 1);
    const Usage u = usageOf(pool);
    EXPECT_EQ(u.flags, 0x5);
    EXPECT_EQ(u.pagesPerBlock, 512);
    EXPECT_EQ(u.blockSize, 2097152);
    // The header page carries the in-use magic "IkM#" after next and size.
    EXPECT_EQ(memcmp(p - kPage + 2 * sizeof(void*), "IkM#", 4), 0);

    pool.free(p);
    EXPECT_EQ(memcmp(p - kPage + 2 * sizeof(void*), "#MkI", 4), 0);
    EXPECT_EQ(LumoMemoryPoolProbe::freeChunks(pool), (std::vector<Chunk>{{arena(), 512}}));
    expectUsage(pool, 0, 2097152, 0, 1, 0, 0);
}

TEST_F(LumoMemoryPoolTest, SizesTakeWholePagesPlusTheHeader)
{
    struct Case {
        unsigned int size;
        size_t pages;
    };
    const Case cases[] = {{1, 2}, {4095, 2}, {4096, 2}, {4097, 3}, {8192, 3}, {1468006, 360}, {8294400, 2026}};
    for (Case const& c : cases) {
        SCOPED_TRACE(c.size);
        EXPECT_EQ(LumoMemoryPoolProbe::chunkPages(c.size), c.pages);
        LumoMemoryPool pool(1, 0);
        void* p = pool.allocate(c.size);
        ASSERT_NE(p, nullptr);
        memset(p, 0x5A, c.size);
        EXPECT_EQ(usageOf(pool).totalUsed, c.pages * kPage);
        pool.free(p);
        fake().reset();
    }
}

TEST_F(LumoMemoryPoolTest, ZeroSizeAndNullChangeNothing)
{
    LumoMemoryPool pool(512, 0);
    EXPECT_EQ(pool.allocate(0), nullptr);
    pool.free(nullptr);
    expectUsage(pool, 0, 0, 0, 0, 0, 0);
    EXPECT_TRUE(fake().maps.empty());
}

TEST_F(LumoMemoryPoolTest, LargeRequestMapsWholeBlocksInOneMapping)
{
    LumoMemoryPool pool(512, 0);
    void* p = pool.allocate(3 * kMiB); // 769 pages: two blocks
    ASSERT_EQ(p, arena() + kPage);
    ASSERT_EQ(fake().maps.size(), 1u);
    EXPECT_EQ(fake().maps[0].bytes, 4 * kMiB);
    EXPECT_EQ(LumoMemoryPoolProbe::freeChunks(pool), (std::vector<Chunk>{{arena() + 769 * kPage, 1024 - 769}}));
    expectUsage(pool, 769 * kPage, 4 * kMiB, 0, 1, 0, 1);
}

TEST_F(LumoMemoryPoolTest, FirstFitSplitsExactFitUnlinksAndNeighboursMerge)
{
    LumoMemoryPool pool(16, 0);
    char* a = static_cast<char*>(pool.allocate(kPage));     // 2 pages
    char* b = static_cast<char*>(pool.allocate(2 * kPage)); // 3 pages
    char* c = static_cast<char*>(pool.allocate(kPage));     // 2 pages
    ASSERT_EQ(a, arena() + kPage);
    ASSERT_EQ(b, a + 2 * kPage);
    ASSERT_EQ(c, b + 3 * kPage);
    EXPECT_EQ(LumoMemoryPoolProbe::freeChunks(pool), (std::vector<Chunk>{{arena() + 7 * kPage, 9}}));

    pool.free(b);
    EXPECT_EQ(LumoMemoryPoolProbe::freeChunks(pool),
              (std::vector<Chunk>{{arena() + 2 * kPage, 3}, {arena() + 7 * kPage, 9}}));
    // Exact fit: the 3-page hole is taken whole and leaves the list.
    char* d = static_cast<char*>(pool.allocate(2 * kPage));
    EXPECT_EQ(d, b);
    EXPECT_EQ(LumoMemoryPoolProbe::freeChunks(pool), (std::vector<Chunk>{{arena() + 7 * kPage, 9}}));

    // Freeing two neighbours leaves one chunk over both, and over the free
    // tail after them.
    pool.free(d);
    pool.free(c);
    EXPECT_EQ(LumoMemoryPoolProbe::freeChunks(pool),
              (std::vector<Chunk>{{arena() + 2 * kPage, 3 + 2 + 9}}));
    pool.free(a);
    EXPECT_EQ(LumoMemoryPoolProbe::freeChunks(pool), (std::vector<Chunk>{{arena(), 16}}));
    expectUsage(pool, 0, 16 * kPage, 0, 1, 0, 0);
    EXPECT_EQ(fake().maps.size(), 1u);
}

TEST_F(LumoMemoryPoolTest, ContiguousGrowthJoinsTheFreeTailAndGapsCountAsFragments)
{
    lumoMemoryPoolSetDebug(true);
    lumoLogSetLevel(4);
    LumoMemoryPool pool(4, 0);
    char* a = static_cast<char*>(pool.allocate(kPage)); // 2 of 4 pages
    ASSERT_EQ(a, arena() + kPage);
    // Needs 3 pages, has 2 free: the next block continues the first one and
    // merges with its free tail.
    char* b = static_cast<char*>(pool.allocate(2 * kPage));
    EXPECT_EQ(b, arena() + 3 * kPage);
    ASSERT_EQ(fake().maps.size(), 2u);
    EXPECT_EQ(fake().maps[1].hint, arena() + 4 * kPage);
    EXPECT_EQ(LumoMemoryPoolProbe::freeChunks(pool), (std::vector<Chunk>{{arena() + 5 * kPage, 3}}));
    expectUsage(pool, 5 * kPage, 8 * kPage, 0, 1, 0, 2);

    fake().gap = 4 * kPage;
    char* c = static_cast<char*>(pool.allocate(5 * kPage)); // 6 pages: two blocks elsewhere
    EXPECT_EQ(c, arena() + 12 * kPage + kPage);
    EXPECT_EQ(fake().maps[2].hint, arena() + 8 * kPage);
    EXPECT_EQ(fake().maps[2].bytes, 8 * kPage);
    expectUsage(pool, 11 * kPage, 16 * kPage, 0, 2, 0, 3);
    EXPECT_TRUE(logged(format("System discontinuous segment.  Asked: %p,  Returned: %p\n",
                              static_cast<void*>(arena() + 8 * kPage), static_cast<void*>(arena() + 12 * kPage)),
                       LOG_DEBUG));
    EXPECT_TRUE(logged("System Morecore: 16384 bytes (already have 0 bytes)\n", LOG_DEBUG));
    EXPECT_TRUE(logged("System Morecore: 32768 bytes (already have 32768 bytes)\n", LOG_DEBUG));

    pool.free(a);
    pool.free(b);
    pool.free(c);
    // One chunk per run of contiguous mappings.
    EXPECT_EQ(LumoMemoryPoolProbe::freeChunks(pool),
              (std::vector<Chunk>{{arena(), 8}, {arena() + 12 * kPage, 8}}));
    expectUsage(pool, 0, 16 * kPage, 0, 2, 0, 0);
    // Every free traces, the internal ones that link a new mapping in too.
    EXPECT_TRUE(logged(format("Freeing %p\n", static_cast<void*>(c)), LOG_DEBUG));
    EXPECT_TRUE(logged(format("Freeing %p\n", static_cast<void*>(arena() + 13 * kPage)), LOG_DEBUG));
}

TEST_F(LumoMemoryPoolTest, BadFreesAreReportedAndChangeOnlyTheCount)
{
    LumoMemoryPool pool(16, 0);
    char* a = static_cast<char*>(pool.allocate(kPage));
    char* b = static_cast<char*>(pool.allocate(kPage));
    pool.free(a);
    const std::vector<Chunk> before = LumoMemoryPoolProbe::freeChunks(pool);

    pool.free(a);
    EXPECT_TRUE(logged(format("Pool %p: Trying to free non alloced memory\n", static_cast<void*>(&pool)), LOG_CRIT));
    EXPECT_EQ(LumoMemoryPoolProbe::freeChunks(pool), before);
    expectUsage(pool, 2 * kPage, 16 * kPage, 0, 1, 0, 0);

    // A pointer whose header page carries no magic (inside chunk b).
    pool.free(b + kPage);
    EXPECT_TRUE(logged(format("Pool %p: Trying to free a block (%p) that doesn't seem to belong to the pool\n",
                              static_cast<void*>(&pool), static_cast<void*>(b + kPage)),
                       LOG_CRIT));
    EXPECT_EQ(LumoMemoryPoolProbe::freeChunks(pool), before);
    expectUsage(pool, 2 * kPage, 16 * kPage, 0, 1, 0, -1);

    // A forged in-use header over a free chunk's own header: its place in
    // the list cannot be found.
    char* free = before[1].header;
    memcpy(free + 2 * sizeof(void*), "IkM#", 4);
    void* rover = LumoMemoryPoolProbe::rover(pool);
    pool.free(free + kPage);
    EXPECT_TRUE(logged(format("Pool %p: Bailout situation reached. freep: %p bp: %p\n", static_cast<void*>(&pool),
                              rover, static_cast<void*>(free)),
                       LOG_CRIT));
    EXPECT_EQ(LumoMemoryPoolProbe::freeChunks(pool), before);
    expectUsage(pool, 2 * kPage, 16 * kPage, 0, 1, 0, -2);
}

TEST_F(LumoMemoryPoolTest, FailedGrowthReturnsNullCountsAndRecovers)
{
    LumoMemoryPool pool(512, 0);
    fake().failAnonymous = true;
    EXPECT_EQ(pool.allocate(100), nullptr);
    EXPECT_TRUE(logged("System morecore mmap ((nil)) failed with blocksize of 2097152 (prev: 0, req: 2097152)\n",
                       LOG_CRIT));
    expectUsage(pool, 0, 0, 0, 0, 0, 1);
    fake().failAnonymous = false;
    void* p = pool.allocate(100);
    EXPECT_EQ(p, arena() + kPage);
    pool.free(p);
    expectUsage(pool, 0, 2 * kMiB, 0, 1, 0, 1);
}

TEST_F(LumoMemoryPoolTest, SizesNearTheTopAreCountedExactlyOrRefused)
{
    // A 4 GiB request on a 64-bit build asks for exactly its pages in whole
    // blocks; the arena refuses it and the allocation counts as failed.
    LumoMemoryPool pool(512, 0);
    EXPECT_EQ(pool.allocate(UINT_MAX), nullptr);
    ASSERT_EQ(fake().maps.size(), 1u);
    EXPECT_EQ(fake().maps[0].bytes, (size_t(1) << 32) + 2 * kMiB);
    expectUsage(pool, 0, 0, 0, 0, 0, 1);

    EXPECT_EQ(LumoMemoryPoolProbe::chunkPages(UINT_MAX), size_t(1048577));
    // Page and byte counts that do not fit are refused, never wrapped.
    const unsigned long long top = std::numeric_limits<size_t>::max();
    EXPECT_EQ(LumoMemoryPoolProbe::chunkPages(top), 0u);
    EXPECT_EQ(LumoMemoryPoolProbe::chunkPages((top / kPage - 1) * kPage), top / kPage);
    EXPECT_EQ(LumoMemoryPoolProbe::chunkPages((top / kPage - 1) * kPage + 1), 0u);
    EXPECT_EQ(LumoMemoryPoolProbe::growthBytes(top / kPage + 1, kPage), 0u);
    EXPECT_EQ(LumoMemoryPoolProbe::growthBytes(top / kPage, 2 * kMiB), 0u);
    EXPECT_EQ(LumoMemoryPoolProbe::growthBytes(top / kPage, kPage), top / kPage * kPage);
    EXPECT_EQ(LumoMemoryPoolProbe::growthBytes(513, 2 * kMiB), 4 * kMiB);
    EXPECT_EQ(LumoMemoryPoolProbe::growthBytes(512, 2 * kMiB), 2 * kMiB);
}

TEST_F(LumoMemoryPoolTest, UsageDumpIsNineInformationLines)
{
    LumoMemoryPool pool(512, 0x2A);
    void* p = pool.allocate(1);
    pool.dumpUsage();
    const char* lines[] = {"Flags     : 0x2A\n",    "PPB       : 512\n",   "Blksize   : 2097152\n",
                           "Sys Frag  : 1\n",       "HTLB Frag : 0\n",     "Sys Size  : 2097152\n",
                           "HTLB Size : 0\n",       "Tot Size  : 2097152\n", "Tot Used  : 8192\n"};
    for (char const* line : lines)
        EXPECT_TRUE(logged(line, LOG_INFO)) << line;
    pool.free(p);
}

TEST_F(LumoMemoryPoolTest, OddBlockSizesStillGrowInWholeBlocks)
{
    LumoMemoryPool pool(3, 0);
    EXPECT_EQ(usageOf(pool).blockSize, 3 * 4096);
    void* p = pool.allocate(4 * kPage); // 5 pages: two blocks of 3
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(fake().maps[0].bytes, 6 * kPage);
    pool.free(p);
    // No block smaller than a page.
    LumoMemoryPool none(0, 0);
    EXPECT_EQ(usageOf(none).blockSize, 4096);
    EXPECT_EQ(usageOf(none).pagesPerBlock, 0);
    void* q = none.allocate(1);
    ASSERT_NE(q, nullptr);
    none.free(q);
}

// --- HugeTLB ------------------------------------------------------------------

class LumoMemoryPoolHugeTlbTest : public LumoMemoryPoolTest {
protected:
    void SetUp() override
    {
        LumoMemoryPoolTest::SetUp();
        ASSERT_TRUE(_dir.isValid());
        _mount = _dir.path() + QStringLiteral("/huge");
        ASSERT_TRUE(QDir().mkpath(_mount));
        writeMounts(true);
        writeMeminfo("2048 kB", 8);
    }
    QString path(char const* name) const { return _dir.path() + QLatin1Char('/') + QLatin1String(name); }
    static void write(QString const& file, QByteArray const& text)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    void writeMounts(bool withHugeTlb)
    {
        QByteArray text = "proc /proc proc rw,nosuid 0 0\ntmpfs /tmp tmpfs rw 0 0\n";
        if (withHugeTlb)
            text += "none " + _mount.toLocal8Bit() + " hugetlbfs rw,relatime,pagesize=2M 0 0\n";
        write(path("mounts"), text);
        Lumo::setProcRoot(_dir.path());
    }
    void writeMeminfo(QByteArray const& pageSize, int freePages)
    {
        QByteArray text = "MemTotal:       16384000 kB\nHugePages_Total:      64\n";
        text += "HugePages_Free:       " + QByteArray::number(freePages) + "\n";
        if (!pageSize.isEmpty())
            text += "Hugepagesize:       " + pageSize + "\n";
        write(path("meminfo"), text);
    }
    std::string mount() const { return _mount.toStdString(); }

    QTemporaryDir _dir;
    QString _mount;
};

TEST_F(LumoMemoryPoolHugeTlbTest, SetUpFailuresAreLoggedAndLeaveAnonymousGrowth)
{
    struct Case {
        char const* name;
        bool mounted;
        char const* pageSize;
        int freePages;
        bool meminfo;
        std::string message;
        int priority;
        int blockSize; // afterwards
    };
    const std::string at = mount();
    const Case cases[] = {
        {"not mounted", false, "2048 kB", 8, true, "HugeTLB filesytem isn't mounted.\n", LOG_INFO, 64 * 1024},
        {"no page size", true, "", 8, true,
         "Unable to determine the blocksize for the HugeTLB filesystem at: " + at + "\n", LOG_ERR, 64 * 1024},
        {"page size 0", true, "0 kB", 8, true,
         "Unable to determine the blocksize for the HugeTLB filesystem at: " + at + "\n", LOG_ERR, 64 * 1024},
        {"no meminfo", true, "2048 kB", 8, false, "Unable to open /proc/meminfo\n", LOG_ERR, 64 * 1024},
        {"no free pages", true, "2048 kB", 0, true, "HugeTLB filesystem (" + at + ") has no free blocks\n", LOG_ERR,
         2 * 1024 * 1024},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        fake().reset();
        LogCapture::clear();
        writeMounts(c.mounted);
        writeMeminfo(c.pageSize, c.freePages);
        if (!c.meminfo)
            QFile::remove(path("meminfo"));
        LumoMemoryPool pool(16, 0);
        EXPECT_FALSE(pool.htlbInit());
        EXPECT_TRUE(logged(c.message, c.priority));
        EXPECT_EQ(LumoMemoryPoolProbe::htlbFile(pool), -1);
        EXPECT_EQ(usageOf(pool).blockSize, c.blockSize);
        // Grows like a fresh pool, from anonymous memory.
        void* p = pool.allocate(1);
        EXPECT_EQ(p, arena() + kPage);
        ASSERT_EQ(fake().maps.size(), 1u);
        EXPECT_EQ(fake().maps[0].fd, -1);
        expectUsage(pool, 2 * kPage, size_t(c.blockSize), 0, 1, 0, 1);
        pool.free(p);
    }
}

TEST_F(LumoMemoryPoolHugeTlbTest, FileThatCannotBeCreatedIsLogged)
{
    ASSERT_TRUE(QDir(_mount).removeRecursively());
    LumoMemoryPool pool(16, 0);
    EXPECT_FALSE(pool.htlbInit());
    EXPECT_TRUE(logged(format("Error creating HugeTLB file (%s/lumo.%d)\n", mount().c_str(), int(getpid())), LOG_ERR));
    EXPECT_EQ(LumoMemoryPoolProbe::htlbFile(pool), -1);
}

TEST_F(LumoMemoryPoolHugeTlbTest, GrowsFromTheHugeTlbFileAndFallsBack)
{
    lumoMemoryPoolSetDebug(true);
    lumoLogSetLevel(4);
    LumoMemoryPool pool(16, 0);
    ASSERT_TRUE(pool.htlbInit());
    const int fd = LumoMemoryPoolProbe::htlbFile(pool);
    EXPECT_GE(fd, 0);
    // The file is unlinked at once; the descriptor keeps it.
    EXPECT_TRUE(QDir(_mount).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    EXPECT_EQ(usageOf(pool).blockSize, 2 * 1024 * 1024);

    char* a = static_cast<char*>(pool.allocate(1));
    EXPECT_EQ(a, arena() + kPage);
    char* b = static_cast<char*>(pool.allocate(3 * kMiB)); // two more huge pages, continuing
    EXPECT_EQ(b, a + 2 * kPage);
    ASSERT_EQ(fake().maps.size(), 2u);
    EXPECT_EQ(fake().maps[0].fd, fd);
    EXPECT_EQ(fake().maps[0].offset, 0);
    EXPECT_EQ(fake().maps[1].fd, fd);
    EXPECT_EQ(fake().maps[1].offset, off_t(2 * kMiB));
    EXPECT_EQ(fake().maps[1].bytes, 4 * kMiB);
    EXPECT_EQ(fake().locks.size(), 2u);
    expectUsage(pool, (2 + 769) * kPage, 0, 6 * kMiB, 0, 0, 2);
    EXPECT_TRUE(logged("HugeTLB Morecore: 2097152 bytes (already have 0 bytes)\n", LOG_DEBUG));
    EXPECT_TRUE(logged("HugeTLB Morecore: 4194304 bytes (already have 2097152 bytes)\n", LOG_DEBUG));

    // A mapping elsewhere counts as a HugeTLB fragment.
    fake().gap = kPage;
    char* c = static_cast<char*>(pool.allocate(6 * kMiB));
    EXPECT_EQ(c, arena() + 6 * kMiB + kPage + kPage);
    expectUsage(pool, (2 + 769 + 1537) * kPage, 0, 14 * kMiB, 0, 1, 3);
    EXPECT_TRUE(logged(format("HugeTLB discontinuous segment.  Asked: %p  Returned: %p\n",
                              static_cast<void*>(arena() + 6 * kMiB), static_cast<void*>(arena() + 6 * kMiB + kPage)),
                       LOG_DEBUG));

    // Too few free huge pages: this growth comes from anonymous memory.
    writeMeminfo("2048 kB", 1);
    char* d = static_cast<char*>(pool.allocate(3 * kMiB));
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(logged("Looks like we ran out of HugeTLB memory (Need: 2 Free: 1)\n", LOG_INFO));
    EXPECT_EQ(fake().maps.back().fd, -1);
    EXPECT_EQ(usageOf(pool).sysSize, 4 * kMiB);
    EXPECT_EQ(usageOf(pool).sysFragments, 0); // it continued the HugeTLB segment
    EXPECT_EQ(LumoMemoryPoolProbe::htlbFile(pool), fd);

    // None free at all: HugeTLB is off for good.
    writeMeminfo("2048 kB", 0);
    ASSERT_NE(pool.allocate(3 * kMiB), nullptr);
    EXPECT_TRUE(logged("Looks like we ran out of HugeTLB memory (Need: 2 Free: 0)\n", LOG_INFO));
    EXPECT_EQ(LumoMemoryPoolProbe::htlbFile(pool), -1);
    writeMeminfo("2048 kB", 8);
    const size_t maps = fake().maps.size();
    ASSERT_NE(pool.allocate(5 * kMiB), nullptr);
    EXPECT_EQ(fake().maps.size(), maps + 1);
    EXPECT_EQ(fake().maps.back().fd, -1);
    close(fd);
}

TEST_F(LumoMemoryPoolHugeTlbTest, FailedHugeTlbMappingFallsBackAndSwitchesOff)
{
    LumoMemoryPool pool(16, 0);
    ASSERT_TRUE(pool.htlbInit());
    const int fd = LumoMemoryPoolProbe::htlbFile(pool);
    fake().failHugeTlb = true;
    void* p = pool.allocate(1);
    EXPECT_EQ(p, arena() + kPage);
    EXPECT_TRUE(logged(format("Pool %p: HugeTLB morecore mmap ((nil)) failed with blocksize of 2097152 (prev: 0, "
                              "req: 2097152)\n",
                              static_cast<void*>(&pool)),
                       LOG_CRIT));
    EXPECT_EQ(LumoMemoryPoolProbe::htlbFile(pool), -1);
    ASSERT_EQ(fake().maps.size(), 2u);
    EXPECT_EQ(fake().maps[1].fd, -1);
    expectUsage(pool, 2 * kPage, 2 * kMiB, 0, 1, 0, 1);
    close(fd);
}

// --- the real system ---------------------------------------------------------------

bool hugeTlbMounted()
{
    QFile mounts(QStringLiteral("/proc/mounts"));
    return mounts.open(QIODevice::ReadOnly) && mounts.readAll().contains(" hugetlbfs ");
}

long long meminfoValue(QByteArray const& key)
{
    QFile f(QStringLiteral("/proc/meminfo"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray const& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).simplified().split(' ').value(0).toLongLong();
    return -1;
}

// Locked memory of this process.
size_t lockedKilobytes()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (QByteArray const& line : f.readAll().split('\n'))
        if (line.startsWith("VmLck:"))
            return line.mid(6).simplified().split(' ').value(0).toULongLong();
    return 0;
}

TEST(LumoMemoryPoolSystem, RealMappingIsLockedAsTheSystemAllows)
{
    // What mlock of 2 MiB does here (nothing when refused, or under a
    // sanitizer that ignores it), found on a mapping of the test's own.
    void* probe = mmap(nullptr, 2 * kMiB, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(probe, MAP_FAILED);
    const size_t unlocked = lockedKilobytes();
    mlock(probe, 2 * kMiB);
    const size_t locks = lockedKilobytes() - unlocked;
    munmap(probe, 2 * kMiB);

    const size_t lockedBefore = lockedKilobytes();
    LumoMemoryPool pool(512, 0);
    char* p = static_cast<char*>(pool.allocate(1000000));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(reinterpret_cast<quintptr>(p) % kPage, 0u);
    memset(p, 0xC3, 1000000);
    EXPECT_EQ(LumoMemoryPoolProbe::freeChunks(pool),
              (std::vector<Chunk>{{p - kPage + 246 * kPage, 512 - 246}}));
    expectUsage(pool, 246 * kPage, 2 * kMiB, 0, 1, 0, 1);
    EXPECT_EQ(lockedKilobytes() - lockedBefore, locks);
    pool.free(p);
    expectUsage(pool, 0, 2 * kMiB, 0, 1, 0, 0);
}

TEST(LumoMemoryPoolSystem, RealHugeTlbSetUpReportsTheMachinesState)
{
    LogCapture capture;
    LumoMemoryPool pool(512, 0);
    const bool ready = pool.htlbInit();
    if (!hugeTlbMounted()) {
        EXPECT_FALSE(ready);
        EXPECT_TRUE(logged("HugeTLB filesytem isn't mounted.\n", LOG_INFO));
    } else if (meminfoValue("HugePages_Free:") <= 0) {
        EXPECT_FALSE(ready);
        EXPECT_TRUE(LogCapture::waitUntil([] {
            for (SystemEntry const& e : LogCapture::system())
                if (e.msg.startsWith("HugeTLB filesystem (") && e.msg.endsWith(") has no free blocks\n"))
                    return true;
            return false;
        }));
    } else if (ready) {
        void* p = pool.allocate(1);
        ASSERT_NE(p, nullptr);
        memset(p, 1, 4096);
        EXPECT_GT(usageOf(pool).htlbSize + usageOf(pool).sysSize, 0u);
        pool.free(p);
    }
    EXPECT_EQ(usageOf(pool).blockSize,
              hugeTlbMounted() ? int(meminfoValue("Hugepagesize:") * 1024) : 2 * 1024 * 1024);
}

// --- threads ---------------------------------------------------------------------

TEST_F(LumoMemoryPoolTest, EightThreadsRandomlyAllocateAndFreeWithPatternChecks)
{
    LumoMemoryPool pool(512, 0);
    const int kThreads = 8;
    const int kRounds = 3000;
    std::atomic<int> damaged{0};
    std::atomic<int> failed{0};

    auto worker = [&](int thread) {
        std::mt19937 random(1234u + unsigned(thread));
        struct Block {
            unsigned char* p;
            unsigned int size;
            unsigned char tag;
        };
        std::vector<Block> live;
        auto check = [&](Block const& b) {
            for (unsigned int i = 0; i < b.size; i += 509)
                if (b.p[i] != b.tag)
                    return false;
            return b.p[b.size - 1] == b.tag;
        };
        for (int round = 0; round < kRounds; ++round) {
            const bool grow = live.size() < 4 || (live.size() < 24 && random() % 2 == 0);
            if (grow) {
                // Mostly below a block, now and then several blocks.
                const unsigned int size = random() % 16 == 0 ? 1 + random() % (5 * kMiB) : 1 + random() % 200000;
                unsigned char* p = static_cast<unsigned char*>(pool.allocate(size));
                if (!p) {
                    ++failed;
                    continue;
                }
                if (reinterpret_cast<quintptr>(p) % kPage != 0)
                    ++damaged;
                const unsigned char tag = static_cast<unsigned char>(thread * 31 + round);
                memset(p, tag, size);
                live.push_back(Block{p, size, tag});
            } else {
                const size_t at = random() % live.size();
                if (!check(live[at]))
                    ++damaged;
                pool.free(live[at].p);
                live[at] = live.back();
                live.pop_back();
            }
        }
        for (Block const& b : live) {
            if (!check(b))
                ++damaged;
            pool.free(b.p);
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back(worker, t);
    for (std::thread& t : threads)
        t.join();

    EXPECT_EQ(damaged.load(), 0);
    EXPECT_EQ(failed.load(), 0);
    const Usage u = usageOf(pool);
    EXPECT_EQ(u.totalUsed, 0u);
    EXPECT_EQ(u.allocations, 0);
    EXPECT_EQ(u.sysFragments, 1);
    // The arena maps contiguously: everything merges back into one chunk.
    EXPECT_EQ(LumoMemoryPoolProbe::freeChunks(pool), (std::vector<Chunk>{{arena(), u.totalSize / kPage}}));
    EXPECT_EQ(criticalLines(), 0);
}

TEST(LumoMemoryPoolSystem, EightThreadsOnRealMappingsLeaveACoalescedList)
{
    LumoMemoryPool pool(256, 0);
    std::vector<std::thread> threads;
    std::atomic<int> damaged{0};
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&pool, &damaged, t] {
            std::mt19937 random(99u + unsigned(t));
            std::vector<std::pair<unsigned int*, unsigned int>> live;
            for (int round = 0; round < 2000; ++round) {
                if (live.size() < 3 || (live.size() < 16 && random() % 2)) {
                    const unsigned int words = 1 + random() % 60000;
                    unsigned int* p = static_cast<unsigned int*>(pool.allocate(words * 4));
                    ASSERT_NE(p, nullptr);
                    p[0] = p[words - 1] = words ^ unsigned(t);
                    live.emplace_back(p, words);
                } else {
                    const size_t at = random() % live.size();
                    if (live[at].first[0] != (live[at].second ^ unsigned(t)) ||
                        live[at].first[live[at].second - 1] != (live[at].second ^ unsigned(t)))
                        ++damaged;
                    pool.free(live[at].first);
                    live.erase(live.begin() + long(at));
                }
            }
            for (auto const& b : live)
                pool.free(b.first);
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(damaged.load(), 0);
    const Usage u = usageOf(pool);
    EXPECT_EQ(u.totalUsed, 0u);
    EXPECT_EQ(u.allocations, 0);
    const std::vector<Chunk> chunks = LumoMemoryPoolProbe::freeChunks(pool);
    expectCoalesced(chunks);
    size_t pages = 0;
    for (Chunk const& c : chunks)
        pages += c.pages;
    EXPECT_EQ(pages * kPage, u.totalSize);
    EXPECT_LE(chunks.size(), size_t(u.sysFragments));
}

// The debug switch is read from the environment once, when the library loads.
TEST(LumoMemoryPoolSystem, DebugSwitchComesFromTheEnvironmentAtLoad)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EQ(lumoMemoryPoolDebug(), getenv("LUMO_LOG_DEBUG_MEMORYPOOL") != nullptr);
    setenv("LUMO_LOG_DEBUG_MEMORYPOOL", "", 1);
    EXPECT_EXIT(_exit(lumoMemoryPoolDebug() ? 0 : 1), ::testing::ExitedWithCode(0), "");
    unsetenv("LUMO_LOG_DEBUG_MEMORYPOOL");
    EXPECT_EXIT(_exit(lumoMemoryPoolDebug() ? 0 : 1), ::testing::ExitedWithCode(1), "");
}

} // namespace
