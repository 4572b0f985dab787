// Whether JOURNAL_STREAM names a stream, the lines sent there, and a
// stream written through both ways.
#include "journalstream.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "scopedenv.h"
#include "tempdir.h"

using tovik::test::ScopedEnv;
using tovik::test::TempDir;

namespace {

TEST(JournalNamesStream, OnlyTheExactDeviceAndInode)
{
    struct Case {
        const char* text;
        bool names;
    } const cases[] = {
        {"2049:131", true},
        {"0:0", false}, // another stream
        {"2049:132", false},
        {"2048:131", false},
        {"02049:0131", true}, // leading zeros are still the numbers
        {nullptr, false},
        {"", false},
        {"2049", false},
        {"2049:", false},
        {":131", false},
        {"2049:131:", false},
        {"2049:131 ", false},
        {" 2049:131", false},
        {"2049 :131", false},
        {"+2049:131", false},
        {"-2049:131", false},
        {"0x801:131", false},
        {"2049:131\n", false},
        {"18446744073709551616:131", false}, // one past the largest number
    };
    for (const Case& c : cases)
        EXPECT_EQ(journal::NamesStream(c.text, 2049, 131), c.names) << (c.text ? c.text : "(unset)");
    EXPECT_TRUE(journal::NamesStream("18446744073709551615:1", 18446744073709551615ULL, 1));
}

TEST(JournalWithPriority, EveryLineGetsThePrefix)
{
    struct Case {
        std::string text;
        journal::Priority priority;
        std::string lines;
    } const cases[] = {
        {"Server started\n", journal::kDebug, "<7>Server started\n"},
        {"a\nb\n", journal::kWarning, "<4>a\n<4>b\n"},
        {"a\n\n", journal::kError, "<3>a\n<3>\n"}, // an empty line is a line
        {"no newline", journal::kInfo, "<6>no newline"},
        {"a\nlast", journal::kInfo, "<6>a\n<6>last"},
        {"\n", journal::kInfo, "<6>\n"},
        {"", journal::kInfo, ""},
        {"<4>already\n", journal::kInfo, "<6><4>already\n"}, // texts stay as they are
    };
    for (const Case& c : cases)
        EXPECT_EQ(journal::WithPriority(c.text, c.priority), c.lines) << c.text;
}

// A temporary file as the stream, and JOURNAL_STREAM naming it or not.
class JournalStreamFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        _path = _dir.File("stream");
        _file = std::fopen(_path.c_str(), "w");
        ASSERT_NE(_file, nullptr);
        struct stat st;
        ASSERT_EQ(fstat(fileno(_file), &st), 0);
        _named = std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
    }
    void TearDown() override
    {
        if (_file)
            std::fclose(_file);
    }
    std::string Written()
    {
        std::fclose(_file);
        _file = nullptr;
        std::string text;
        if (FILE* in = std::fopen(_path.c_str(), "r")) {
            char buffer[256];
            size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0)
                text.append(buffer, n);
            std::fclose(in);
        }
        return text;
    }

    TempDir _dir;
    std::string _path;
    FILE* _file = nullptr;
    std::string _named;
};

TEST_F(JournalStreamFile, NamedStreamGetsPriorities)
{
    ScopedEnv stream("JOURNAL_STREAM", _named);
    EXPECT_TRUE(journal::GoesToJournal(fileno(_file)));
    EXPECT_FALSE(journal::GoesToJournal(-1));
    journal::Printf(_file, journal::kInfo, "configstore: serving config 0 on port %d\n", 43110);
    journal::Write(_file, journal::kWarning, "paramlink: one\ntwo\n");
    EXPECT_EQ(Written(), "<6>configstore: serving config 0 on port 43110\n<4>paramlink: one\n<4>two\n");
}

TEST_F(JournalStreamFile, OtherStreamsAreWrittenAsTheyAre)
{
    const std::string others[] = {"", "1:1", _named + "0", "junk"};
    for (const std::string& other : others) {
        ScopedEnv stream("JOURNAL_STREAM", other);
        EXPECT_FALSE(journal::GoesToJournal(fileno(_file))) << other;
        journal::Printf(_file, journal::kError, "%s %d\n", other.c_str(), 1);
    }
    {
        ScopedEnv unset("JOURNAL_STREAM", nullptr);
        EXPECT_FALSE(journal::GoesToJournal(fileno(_file)));
        journal::Write(_file, journal::kError, "unset\n");
    }
    EXPECT_EQ(Written(), " 1\n1:1 1\n" + _named + "0 1\njunk 1\nunset\n");
}

TEST_F(JournalStreamFile, LongTextsArriveWhole)
{
    ScopedEnv stream("JOURNAL_STREAM", _named);
    const std::string long_(5000, 'x');
    journal::Printf(_file, journal::kDebug, "%s\n", long_.c_str());
    journal::Printf(_file, journal::kDebug, "%s", "");
    EXPECT_EQ(Written(), "<7>" + long_ + "\n");
}

} // namespace
