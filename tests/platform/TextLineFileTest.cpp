#include "platform/text/LineFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform::text;
namespace fs = std::filesystem;

namespace {

class LineFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tb-linefile-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path write(const std::string& name, const std::string& bytes) {
        const fs::path p = dir_ / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }

    static std::string slurp(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

    fs::path dir_;
};

} // namespace

TEST_F(LineFileTest, ReadsCrLfLfAndALastLineWithoutEnd) {
    const auto p = write("a.txt", "one\r\ntwo\nthree\r\n\r\nlast");
    EXPECT_EQ(readAllLines(p), (std::vector<std::string>{"one", "two", "three", "", "last"}));
    EXPECT_EQ(countLines(p), 5u);
}

TEST_F(LineFileTest, EmptyFileAndTrailingBreaks) {
    EXPECT_EQ(countLines(write("e.txt", "")), 0u);
    EXPECT_EQ(countLines(write("one.txt", "x\r\n")), 1u);
    EXPECT_EQ(countLines(write("two.txt", "x\r\n\r\n")), 2u);
    // A lone CR is part of the line, not a break.
    EXPECT_EQ(readAllLines(write("cr.txt", "a\rb\r\n")), (std::vector<std::string>{"a\rb"}));
}

TEST_F(LineFileTest, LinesLongerThanTheBufferSurvive) {
    std::string big(3 * 1024 * 1024 + 7, 'x');
    const auto p = write("big.txt", "head\r\n" + big + "\r\ntail");
    LineReader reader(p);
    std::string_view line;
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line, "head");
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line.size(), big.size());
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line, "tail");
    EXPECT_FALSE(reader.next(line));
    EXPECT_TRUE(reader.atEnd());
}

TEST_F(LineFileTest, MissingFileIsAnIoError) {
    EXPECT_THROW(LineReader{dir_ / "missing.txt"}, IoError);
    EXPECT_THROW(LineReader{dir_}, IoError);
}

TEST_F(LineFileTest, WriterEndsEveryLineWithCrLf) {
    const auto p = dir_ / "w.txt";
    writeAllLines(p, {"a", "", "b"});
    EXPECT_EQ(slurp(p), "a\r\n\r\nb\r\n");
}

TEST_F(LineFileTest, UncommittedWriterLeavesTheOldFileAndNoLitter) {
    const auto p = write("keep.txt", "old\r\n");
    {
        AtomicFileWriter writer(p);
        writer.writeLine("new");
        // destroyed without commit, as after an exception while writing
    }
    EXPECT_EQ(slurp(p), "old\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(LineFileTest, FailedRenameLeavesTheTargetAlone) {
    // A directory in place of the target cannot be replaced by a file.
    const auto p = dir_ / "target";
    fs::create_directories(p / "inside");
    AtomicFileWriter writer(p);
    writer.writeLine("data");
    EXPECT_THROW(writer.commit(), IoError);
    EXPECT_TRUE(fs::is_directory(p / "inside"));
}

// In a folder others can write to, a save goes through no name planted beforehand: the names
// older versions used (target.tmp<pid>-<n>) lead to someone else's file here, which must stay
// untouched, and two saves at once each get a fresh file of their own.
TEST_F(LineFileTest, TheTemporaryFileIsNewAndUnpredictable) {
    const auto victim = write("victim.txt", "not yours");
    const auto p = dir_ / "shared.txt";
    for (int n = 0; n < 8; ++n) {
        fs::create_symlink(victim, p.string() + ".tmp" + std::to_string(::getpid()) + "-" +
                                       std::to_string(n));
    }
    const auto before = std::distance(fs::directory_iterator(dir_), fs::directory_iterator());
    {
        AtomicFileWriter first(p);
        AtomicFileWriter second(p);
        std::set<fs::path> fresh;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            if (!entry.is_symlink() && entry.path() != victim) {
                EXPECT_TRUE(entry.is_regular_file()) << entry.path();
                fresh.insert(entry.path());
            }
        }
        EXPECT_EQ(fresh.size(), 2u);
        first.writeLine("first");
        second.writeLine("second");
        first.commit();
        second.commit();
    }
    EXPECT_EQ(slurp(p), "second\r\n");
    EXPECT_EQ(slurp(victim), "not yours");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), before + 1);
}

TEST_F(LineFileTest, ASavedFileKeepsThePermissionsOfTheOneItReplaces) {
    auto mode = [](const fs::path& path) {
        struct stat info {};
        EXPECT_EQ(::stat(path.c_str(), &info), 0);
        return info.st_mode & 07777;
    };
    const mode_t mask = ::umask(027);
    const auto fresh = dir_ / "fresh.txt";
    writeAllLines(fresh, {"new"});
    EXPECT_EQ(mode(fresh), 0640u); // what any new file gets under this umask
    for (const mode_t kept : {0600u, 0644u, 0664u, 0444u}) {
        const auto p = write("kept" + std::to_string(kept) + ".txt", "old");
        ASSERT_EQ(::chmod(p.c_str(), kept), 0);
        writeAllLines(p, {"new"});
        EXPECT_EQ(mode(p), kept);
        EXPECT_EQ(slurp(p), "new\r\n");
    }
    ::umask(mask);
}

TEST_F(LineFileTest, WriterIntoMissingFolderFails) {
    EXPECT_THROW(AtomicFileWriter(dir_ / "no" / "such" / "file.txt"), IoError);
}

TEST_F(LineFileTest, AFileWithoutLineEndsIsNotReadWhole) {
    const auto p = dir_ / "noends.bin";
    {
        std::ofstream out(p, std::ios::binary);
        const std::string chunk(1 << 20, 'x');
        for (int i = 0; i < 65; ++i) {
            out << chunk;
        }
    }
    LineReader reader(p);
    std::string_view line;
    EXPECT_THROW(reader.next(line), IoError);
}
