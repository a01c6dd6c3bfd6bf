#include "platform/text/LineFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

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
