// The A-scan, band and map files in both forms: round trips, marked records, and bad files that
// must never cost the user the records already loaded.
#include "RecordsTestSupport.h"

#include "platform/text/LineFile.h"
#include "records/MeasurementFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using platform::text::readAllLines;
using tbtest::crlf;
using tbtest::readBytes;
using tbtest::writeBytes;

namespace {

using Lines = std::vector<std::string>;

template <typename Cell> void markAll(std::vector<std::unique_ptr<Cell>>& list) {
    for (auto& r : list) {
        r->Marked = 1;
    }
}

// Every load leaves a list as long as its count with no empty slot.
template <typename Cell>
void expectWellFormed(const std::vector<std::unique_ptr<Cell>>& list, std::uint16_t count) {
    EXPECT_EQ(list.size(), count);
    for (const auto& r : list) {
        EXPECT_NE(r, nullptr);
    }
}

class Files : public ::testing::Test {
protected:
    std::filesystem::path file(const std::string& name) const { return folder / name; }

    // The list the failed loads must leave alone.
    static PAscansSet previous() {
        PAscansSet list;
        list.push_back(tbtest::makeAScan(90));
        list.push_back(tbtest::makeAScan(91));
        return list;
    }

    static void expectPrevious(const PAscansSet& list, std::uint16_t count) {
        ASSERT_EQ(count, 2);
        ASSERT_EQ(list.size(), 2u);
        EXPECT_EQ(list[0]->RecordIndex, 190);
        EXPECT_EQ(list[1]->RecordIndex, 191);
    }

    // Loads the lines as an A-scan file into the previous list; answers the result.
    int loadAScans(const Lines& lines, PAscansSet& list, std::uint16_t& count) {
        writeBytes(file("x.dtf"), crlf(lines));
        list = previous();
        count = 2;
        return LoadAScansFromFile(file("x.dtf"), list, count);
    }

    // The lines of a current-form file of A-scans 0 .. records - 1 (RecordIndex 100 + i).
    Lines aScanFile(int records) {
        PAscansSet list;
        for (int i = 0; i < records; ++i) {
            list.push_back(tbtest::makeAScan(i, 40));
        }
        markAll(list);
        EXPECT_EQ(SaveAScansToFile(file("src.dtf"), list, static_cast<std::uint16_t>(records)), 0);
        return readAllLines(file("src.dtf"));
    }

    // The index of the n-th line (from 0) equal to text.
    static std::size_t nth(const Lines& lines, const std::string& text, int n) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i] == text && n-- == 0) {
                return i;
            }
        }
        ADD_FAILURE() << "no line " << text;
        return 0;
    }

    tbtest::LanguageFiles texts{{{326, "No comments"}}};
    tbtest::TempFolder folder;
};

// ---- Round trips ----------------------------------------------------------------------------

TEST_F(Files, AScansSurviveBothForms) {
    PAscansSet list;
    for (int seed = 0; seed < 3; ++seed) {
        list.push_back(tbtest::makeAScan(seed, static_cast<std::uint16_t>(48 + seed)));
    }
    list[1]->Config->CursorCount = 1;
    list.push_back(std::make_unique<TBaseAScanCell>()); // shorter than any configuration allows
    list[3]->Config->ResetAll(1);
    list[3]->Config->AScanRange = 20;
    list[3]->Scan(0, 0)[19] = -19;
    markAll(list);
    ASSERT_EQ(SaveAScansToFile(file("a.dtf"), list, 4), 0);
    ASSERT_EQ(SaveAScansToOldFile(file("old.dtf"), list, 4), 0);

    PAscansSet loaded = previous();
    std::uint16_t count = 2;
    ASSERT_EQ(LoadAScansFromFile(file("a.dtf"), loaded, count), 0);
    ASSERT_EQ(count, 4);
    for (std::size_t i = 0; i < 4; ++i) {
        tbtest::expectSameRecordText(*list[i], *loaded[i]);
        EXPECT_EQ(loaded[i]->RecordIndex, list[i]->RecordIndex);
        EXPECT_EQ(loaded[i]->ConfigIndex, list[i]->ConfigIndex);
    }

    loaded = previous();
    ASSERT_EQ(LoadAScansFromFile(file("old.dtf"), loaded, count), 0);
    ASSERT_EQ(count, 4);
    expectWellFormed(loaded, count);
    for (std::size_t i = 0; i < 4; ++i) {
        tbtest::expectSameSamples(*list[i], *loaded[i]);
        EXPECT_EQ(loaded[i]->Identity3, 0); // the old form keeps neither identity nor comments
        EXPECT_EQ(loaded[i]->Comments, Lines{"No comments"});
        EXPECT_EQ(loaded[i]->ConfigIndex, list[i]->Config->ConfigIndex);
        EXPECT_EQ(loaded[i]->Config->ConfigName, list[i]->Config->ConfigName);
    }
}

TEST_F(Files, TheCurrentFormStartsWithTheHeader) {
    const auto lines = aScanFile(2);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 6),
              (Lines{"Signature:KSN3", "Device kind:0", "Device version:10", "Device variant:200",
                     "Configurations:2", "0:0"}));
    const std::string bytes = readBytes(file("src.dtf"));
    EXPECT_EQ(bytes.substr(0, 16), "Signature:KSN3\r\n");
    EXPECT_EQ(bytes.substr(bytes.size() - 8), "65534:\r\n");
}

TEST_F(Files, BandsSurviveBothForms) {
    PBandsSet list;
    list.push_back(tbtest::makeBand(1, 3, 40));
    list.push_back(tbtest::makeBand(2, 7, 32));
    list.push_back(tbtest::makeBand(3, 1, 30));
    markAll(list);
    ASSERT_EQ(SaveBandsToFile(file("b.btf"), list, 3), 0);
    ASSERT_EQ(SaveBandsToOldFile(file("old.btf"), list, 3), 0);
    PBandsSet loaded;
    std::uint16_t count = 0;
    ASSERT_EQ(LoadBandsFromFile(file("b.btf"), loaded, count), 0);
    ASSERT_EQ(count, 3);
    for (std::size_t i = 0; i < 3; ++i) {
        tbtest::expectSameRecordText(*list[i], *loaded[i]);
        tbtest::expectSamePalette(*list[i], *loaded[i]);
        EXPECT_EQ(loaded[i]->BandRecordIndex, list[i]->BandRecordIndex);
    }
    ASSERT_EQ(LoadBandsFromFile(file("old.btf"), loaded, count), 0);
    ASSERT_EQ(count, 3);
    const TBaseBandCell fresh; // the old form has no palette
    for (std::size_t i = 0; i < 3; ++i) {
        tbtest::expectSameSamples(*list[i], *loaded[i]);
        tbtest::expectSamePalette(fresh, *loaded[i]);
    }
}

TEST_F(Files, NonSquareMapsSurviveBothForms) {
    PMapsSet list;
    list.push_back(tbtest::makeMap(1, 2, 3, 32));
    list.push_back(tbtest::makeMap(2, 3, 2, 40));
    list.push_back(tbtest::makeMap(3, 5, 6, 30));
    markAll(list);
    ASSERT_EQ(SaveMapsToFile(file("m.mtf"), list, 3), 0);
    ASSERT_EQ(SaveMapsToOldFile(file("old.mtf"), list, 3), 0);
    for (const char* name : {"m.mtf", "old.mtf"}) {
        SCOPED_TRACE(name);
        const bool current = std::string(name) == "m.mtf";
        PMapsSet loaded;
        std::uint16_t count = 0;
        ASSERT_EQ(LoadMapsFromFile(file(name), loaded, count), 0);
        ASSERT_EQ(count, 3);
        for (std::size_t i = 0; i < 3; ++i) {
            if (current) {
                tbtest::expectSameRecordText(*list[i], *loaded[i]);
                tbtest::expectSamePalette(*list[i], *loaded[i]);
                EXPECT_EQ(loaded[i]->MapRecordIndex, list[i]->MapRecordIndex);
            } else {
                tbtest::expectSameSamples(*list[i], *loaded[i]);
            }
            EXPECT_EQ(loaded[i]->Config->MapVerticPoints, list[i]->Config->MapVerticPoints);
            EXPECT_EQ(loaded[i]->Config->MapHorizPoints, list[i]->Config->MapHorizPoints);
        }
        // 3 columns x 2 rows: every cell came back to its own place.
        const TBaseMapCell& m = *loaded[0];
        for (std::uint32_t r = 0; r < 2; ++r) {
            for (std::uint32_t c = 0; c < 3; ++c) {
                EXPECT_EQ(m.Scan(r, c)[2], static_cast<std::int32_t>(10002 + r * 1000 + c * 100));
            }
        }
    }
}

TEST_F(Files, ARecordReadAgainIsWrittenTheSame) {
    PMapsSet list;
    list.push_back(tbtest::makeMap(4, 3, 4, 31));
    markAll(list);
    ASSERT_EQ(SaveMapsToFile(file("1.mtf"), list, 1), 0);
    PMapsSet loaded;
    std::uint16_t count = 0;
    ASSERT_EQ(LoadMapsFromFile(file("1.mtf"), loaded, count), 0);
    markAll(loaded);
    ASSERT_EQ(SaveMapsToFile(file("2.mtf"), loaded, count), 0);
    EXPECT_EQ(readBytes(file("1.mtf")), readBytes(file("2.mtf")));
}

// ---- What is written ------------------------------------------------------------------------

TEST_F(Files, OnlyMarkedRecordsAreWrittenUnderTheFirstRecordsIdentity) {
    PBandsSet list;
    for (int seed = 1; seed <= 3; ++seed) {
        list.push_back(tbtest::makeBand(seed));
    }
    list[1]->Marked = 1;
    ASSERT_EQ(SaveBandsToFile(file("b.btf"), list, 3), 0);
    const auto lines = readAllLines(file("b.btf"));
    EXPECT_EQ(
        Lines(lines.begin() + 1, lines.begin() + 5),
        (Lines{"Device kind:1", "Device version:11", "Device variant:201", "Configurations:1"}));
    PBandsSet loaded;
    std::uint16_t count = 0;
    ASSERT_EQ(LoadBandsFromFile(file("b.btf"), loaded, count), 0);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(loaded[0]->BandRecordIndex, 52);
}

TEST_F(Files, AListWithoutMarkedRecordsWritesNoFile) {
    PAscansSet aScans = previous();
    PBandsSet bands;
    bands.push_back(tbtest::makeBand(1));
    PMapsSet maps;
    maps.push_back(tbtest::makeMap(1));
    EXPECT_EQ(SaveAScansToFile(file("a.dtf"), aScans, 2), 1);
    EXPECT_EQ(SaveAScansToOldFile(file("a.dtf"), aScans, 2), 1);
    EXPECT_EQ(SaveBandsToFile(file("b.btf"), bands, 1), 1);
    EXPECT_EQ(SaveBandsToOldFile(file("b.btf"), bands, 1), 1);
    EXPECT_EQ(SaveMapsToFile(file("m.mtf"), maps, 1), 1);
    EXPECT_EQ(SaveMapsToOldFile(file("m.mtf"), maps, 1), 1);
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));

    writeBytes(file("a.dtf"), "previous");
    markAll(aScans);
    EXPECT_EQ(SaveAScansToFile(file("a.dtf"), aScans, 3), 1); // count is not the list's length
    aScans.push_back(nullptr);
    EXPECT_EQ(SaveAScansToFile(file("a.dtf"), aScans, 3), 1);
    EXPECT_EQ(readBytes(file("a.dtf")), "previous");
}

TEST_F(Files, TheSelectedRecordIsWrittenAloneMarkedOrNot) {
    auto map = tbtest::makeMap(7, 2, 2, 32);
    ASSERT_EQ(SaveSelectedMapToFile(file("one.mtf"), map.get()), 0);
    EXPECT_EQ(readAllLines(file("one.mtf"))[3], "Device variant:207");
    PMapsSet loaded;
    std::uint16_t count = 0;
    ASSERT_EQ(LoadMapsFromFile(file("one.mtf"), loaded, count), 0);
    ASSERT_EQ(count, 1);
    tbtest::expectSameRecordText(*map, *loaded[0]);
    EXPECT_EQ(SaveSelectedMapToFile(file("none"), nullptr), 1);
    EXPECT_EQ(SaveSelectedAScanToFile(file("none"), nullptr), 1);
    EXPECT_EQ(SaveSelectedBandToFile(file("none"), nullptr), 1);
    EXPECT_FALSE(std::filesystem::exists(file("none")));
}

// Lets files of this process grow to `bytes` only, so that a write fails even for root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST_F(Files, AFailedSaveLeavesThePreviousFileIntact) {
    PMapsSet list;
    list.push_back(tbtest::makeMap(1, 4, 4, 1000));
    markAll(list);
    writeBytes(file("m.mtf"), "the previous file");
    {
        FileSizeLimit limit(4096);
        EXPECT_EQ(SaveMapsToFile(file("m.mtf"), list, 1), 1);
        EXPECT_EQ(SaveMapsToOldFile(file("m.mtf"), list, 1), 1);
        EXPECT_EQ(SaveSelectedMapToFile(file("m.mtf"), list[0].get()), 1);
    }
    EXPECT_EQ(readBytes(file("m.mtf")), "the previous file");
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
    EXPECT_EQ(SaveMapsToFile(file("missing/m.mtf"), list, 1), 1);
}

// A save the process does not survive (killed at any moment while writing the largest map)
// leaves the previous file or the complete new one, never a mix.
TEST_F(Files, ASaveKilledAtAnyMomentLeavesTheOldFileOrTheNewOne) {
    PMapsSet largest;
    largest.push_back(tbtest::makeMap(3, MaxMapSide, MaxMapSide, 4095));
    markAll(largest);
    PMapsSet small;
    small.push_back(tbtest::makeMap(4, 2, 2, 32));
    markAll(small);
    ASSERT_EQ(SaveMapsToFile(file("old.mtf"), small, 1), 0);
    const std::string oldBytes = readBytes(file("old.mtf"));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(SaveMapsToFile(file("new.mtf"), largest, 1), 0);
    const auto saving = std::chrono::steady_clock::now() - start;
    const std::string newBytes = readBytes(file("new.mtf"));
    ASSERT_GT(newBytes.size(), 30u << 20);

    int sawOld = 0;
    for (const double at : {0.0, 0.1, 0.3, 0.5, 0.7, 0.9, 1.5}) {
        SCOPED_TRACE(at);
        writeBytes(file("m.mtf"), oldBytes);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Only the save, then out without running the test program's exit handlers.
            ::_exit(SaveMapsToFile(file("m.mtf"), largest, 1));
        }
        std::this_thread::sleep_for(
            std::chrono::duration_cast<std::chrono::microseconds>(saving * at));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        const std::string now = readBytes(file("m.mtf"));
        EXPECT_TRUE(now == oldBytes || now == newBytes) << now.size() << " bytes";
        sawOld += now == oldBytes ? 1 : 0;
        // What a killed save leaves behind is only its own temporary file.
        for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
            if (entry.path().filename().string().rfind("m.mtf.", 0) == 0) {
                std::filesystem::remove(entry.path());
            }
        }
    }
    EXPECT_GT(sawOld, 0);
    PMapsSet loaded;
    std::uint16_t count = 0;
    EXPECT_EQ(LoadMapsFromFile(file("m.mtf"), loaded, count), 0);
}

// ---- Bad current-form files -----------------------------------------------------------------

TEST_F(Files, AnUnrecognisedFileOrHeaderLeavesTheListAlone) {
    const Lines header{"S:KSN3", "K:0", "V:0", "I:0", "C:0"};
    std::vector<Lines> files{{},
                             {"hello"},
                             {"Signature:KSN2", "K:1"},
                             {"KSN3"},
                             {"CONFIG_VERSION:2"},
                             Lines(header.begin(), header.end() - 1)};
    for (const auto& [line, value] : std::vector<std::pair<std::size_t, std::string>>{
             {1, "K:256"}, {2, "V:-1"}, {3, "I:x"}, {4, "C:65536"}, {4, "C:many"}}) {
        files.push_back(header);
        files.back()[line] = value;
    }
    for (const Lines& lines : files) {
        SCOPED_TRACE(lines.empty() ? "<empty>" : lines.back());
        PAscansSet list;
        std::uint16_t count = 0;
        EXPECT_EQ(loadAScans(lines, list, count), 1);
        expectPrevious(list, count);
    }
    PAscansSet list = previous();
    std::uint16_t count = 2;
    EXPECT_THROW(LoadAScansFromFile(file("missing.dtf"), list, count), platform::text::IoError);
    expectPrevious(list, count);
    EXPECT_EQ(loadAScans(header, list, count), 0); // a file of no records
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(list.empty());
}

TEST_F(Files, ShortFilesGiveExactlyTheRecordsRead) {
    const auto lines = aScanFile(3);
    PAscansSet list;
    std::uint16_t count = 0;
    auto announcing = lines;
    announcing[4] = "Count:5";
    EXPECT_EQ(loadAScans(announcing, list, count), 1);
    EXPECT_EQ(count, 3);
    // Cut inside the samples of the third record, or before its closing line.
    const std::size_t cut = nth(lines, "7:40", 2) + 10;
    for (const Lines& shortened : {Lines(lines.begin(), lines.begin() + static_cast<long>(cut)),
                                   Lines(lines.begin(), lines.end() - 1)}) {
        EXPECT_EQ(loadAScans(shortened, list, count), 1);
        ASSERT_EQ(count, 2);
        expectWellFormed(list, count);
        EXPECT_EQ(list[1]->RecordIndex, 101);
    }
    // Cut inside the first record: nothing was read and the previous list stays.
    EXPECT_EQ(loadAScans(Lines(lines.begin(), lines.begin() + 40), list, count), 1);
    expectPrevious(list, count);
}

TEST_F(Files, ABandFileAnnouncingMoreBandsThanItHoldsGivesTheOneRead) {
    PBandsSet list;
    list.push_back(tbtest::makeBand(1, 3, 32));
    markAll(list);
    ASSERT_EQ(SaveBandsToFile(file("b.btf"), list, 1), 0);
    auto lines = readAllLines(file("b.btf"));
    lines[4] = "Count:2";
    writeBytes(file("b.btf"), crlf(lines));
    PBandsSet loaded;
    std::uint16_t count = 0;
    EXPECT_EQ(LoadBandsFromFile(file("b.btf"), loaded, count), 1);
    ASSERT_EQ(count, 1);
    expectWellFormed(loaded, count);
    tbtest::expectSameSamples(*list[0], *loaded[0]);
}

TEST_F(Files, ValuesThatDoNotFitEndTheReadingAfterTheGoodRecords) {
    const auto good = aScanFile(2);
    // The second record starts after the first one's closing line (the first "65534:" closes
    // its configuration).
    const std::size_t second = nth(good, "65534:", 1) + 1;
    ASSERT_EQ(good[second], "0:1");
    for (const char* bad : {"0:256", "3:65536", "7:4098", "7:x", "5:?"}) {
        SCOPED_TRACE(bad);
        auto lines = good;
        lines[second] = bad;
        PAscansSet list;
        std::uint16_t count = 0;
        EXPECT_EQ(loadAScans(lines, list, count), 1);
        ASSERT_EQ(count, 1);
        EXPECT_EQ(list[0]->RecordIndex, 100);
    }
    auto lines = good;
    lines[nth(lines, "7:40", 1) + 5] = "12a";
    PAscansSet list;
    std::uint16_t count = 0;
    EXPECT_EQ(loadAScans(lines, list, count), 1);
    EXPECT_EQ(count, 1);
}

TEST_F(Files, BandsAndMapsBeyondTheirLimitsAreNotRead) {
    PBandsSet bands;
    bands.push_back(tbtest::makeBand(1, 2, 32));
    bands.push_back(tbtest::makeBand(2, 2, 32));
    markAll(bands);
    ASSERT_EQ(SaveBandsToFile(file("b.btf"), bands, 2), 0);
    auto lines = readAllLines(file("b.btf"));
    lines[nth(lines, "6:1", 1)] = "6:901";
    writeBytes(file("b.btf"), crlf(lines));
    std::uint16_t count = 0;
    EXPECT_EQ(LoadBandsFromFile(file("b.btf"), bands, count), 1);
    EXPECT_EQ(count, 1);

    PMapsSet maps;
    maps.push_back(tbtest::makeMap(1, 2, 3, 32));
    markAll(maps);
    ASSERT_EQ(SaveMapsToFile(file("m.mtf"), maps, 1), 0);
    lines = readAllLines(file("m.mtf"));
    lines[nth(lines, "6:3:2", 0)] = "6:41:2";
    writeBytes(file("m.mtf"), crlf(lines));
    count = 1;
    EXPECT_EQ(LoadMapsFromFile(file("m.mtf"), maps, count), 1);
    ASSERT_EQ(count, 1); // the previous list
    EXPECT_EQ(maps[0]->MapRecordIndex, 71);
}

TEST_F(Files, AnAScanWithoutSamplesGivesItsPlaceToTheNext) {
    auto lines = aScanFile(2);
    const std::size_t samples = nth(lines, "7:40", 0);
    lines[samples] = "7:0";
    lines.erase(lines.begin() + static_cast<long>(samples) + 1,
                lines.begin() + static_cast<long>(samples) + 41);
    lines[4] = "Count:1";
    PAscansSet list;
    std::uint16_t count = 0;
    EXPECT_EQ(loadAScans(lines, list, count), 0);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(list[0]->RecordIndex, 101);
}

// A record that closes without its sample lines fails the load and keeps the whole records
// before it; a file of such records (4 KB announcing a hundred maps) loads nothing.
TEST_F(Files, RecordsWithoutTheirSamplesFailTheLoad) {
    PMapsSet saved;
    saved.push_back(tbtest::makeMap(1, 2, 3, 32));
    saved.push_back(tbtest::makeMap(2, 2, 3, 32));
    markAll(saved);
    ASSERT_EQ(SaveMapsToFile(file("m.mtf"), saved, 2), 0);
    const auto lines = readAllLines(file("m.mtf"));
    // The second map's configuration, then its closing line instead of its samples.
    Lines secondWithoutSamples(lines.begin(),
                               lines.begin() + static_cast<long>(nth(lines, "6:3:2", 1)));
    secondWithoutSamples.push_back("65534:");
    Lines endsOnly{"S:KSN3", "K:0", "V:0", "I:0", "C:100"};
    endsOnly.insert(endsOnly.end(), 100, "65534:");

    for (const auto& [bad, whole] :
         std::vector<std::pair<Lines, std::uint16_t>>{{endsOnly, 0}, {secondWithoutSamples, 1}}) {
        SCOPED_TRACE(whole);
        writeBytes(file("bad.mtf"), crlf(bad));
        PMapsSet list;
        list.push_back(tbtest::makeMap(7, 2, 2, 32));
        const TBaseMapCell* previous = list[0].get();
        std::uint16_t count = 1;
        EXPECT_EQ(LoadMapsFromFile(file("bad.mtf"), list, count), 1);
        ASSERT_EQ(count, 1);
        expectWellFormed(list, count);
        if (whole == 0) {
            EXPECT_EQ(list[0].get(), previous);
        } else {
            tbtest::expectSameSamples(*saved[0], *list[0]);
        }
    }
}

TEST_F(Files, AnOldFormAScanWithoutSamplesGivesItsPlaceToo) {
    PAscansSet list;
    list.push_back(tbtest::makeAScan(1, 40));
    list.push_back(tbtest::makeAScan(2, 40));
    markAll(list);
    ASSERT_EQ(SaveAScansToOldFile(file("a.dtf"), list, 2), 0);
    auto lines = readAllLines(file("a.dtf"));
    const std::size_t length = nth(lines, "ASCAN_PIXEL_LENGTH:40", 0);
    lines[length] = "ASCAN_PIXEL_LENGTH:0";
    // The first record's 40 sample lines follow its last configuration line.
    const std::size_t second = nth(lines, "CONFIG_VERSION:1", 1);
    lines.erase(lines.begin() + static_cast<long>(second) - 40,
                lines.begin() + static_cast<long>(second));
    PAscansSet loaded;
    std::uint16_t count = 0;
    EXPECT_EQ(loadAScans(lines, loaded, count), 0);
    ASSERT_EQ(count, 1);
    tbtest::expectSameSamples(*list[1], *loaded[0]);
    // What loaded saves and loads back whole.
    markAll(loaded);
    ASSERT_EQ(SaveAScansToFile(file("b.dtf"), loaded, 1), 0);
    EXPECT_EQ(LoadAScansFromFile(file("b.dtf"), loaded, count), 0);
    EXPECT_EQ(count, 1);
}

// ---- Bad old-form files ---------------------------------------------------------------------

TEST_F(Files, OldFormReadingStopsAtALineThatStartsNoRecord) {
    PBandsSet list;
    list.push_back(tbtest::makeBand(1, 2, 32));
    list.push_back(tbtest::makeBand(2, 2, 32));
    markAll(list);
    ASSERT_EQ(SaveBandsToOldFile(file("b.btf"), list, 2), 0);
    const auto lines = readAllLines(file("b.btf"));
    PBandsSet loaded;
    std::uint16_t count = 0;
    auto padded = lines; // blank lines at the end are no fault
    padded.insert(padded.end(), {"", "  ", ""});
    writeBytes(file("p.btf"), crlf(padded));
    EXPECT_EQ(LoadBandsFromFile(file("p.btf"), loaded, count), 0);
    EXPECT_EQ(count, 2);
    auto garbage = lines;
    garbage.insert(garbage.end(), {"17", "18", "CONFIG_VERSION:1"});
    writeBytes(file("g.btf"), crlf(garbage));
    EXPECT_EQ(LoadBandsFromFile(file("g.btf"), loaded, count), 1);
    EXPECT_EQ(count, 2);
    tbtest::expectSameSamples(*list[1], *loaded[1]);
}

TEST_F(Files, ShortOldFormFilesGiveExactlyTheRecordsRead) {
    PAscansSet list;
    list.push_back(tbtest::makeAScan(1, 40));
    list.push_back(tbtest::makeAScan(2, 40));
    markAll(list);
    ASSERT_EQ(SaveAScansToOldFile(file("a.dtf"), list, 2), 0);
    const auto lines = readAllLines(file("a.dtf"));
    PAscansSet loaded;
    std::uint16_t count = 0;
    EXPECT_EQ(loadAScans(Lines(lines.begin(), lines.end() - 3), loaded, count), 1);
    ASSERT_EQ(count, 1);
    tbtest::expectSameSamples(*list[0], *loaded[0]);
    EXPECT_EQ(loadAScans(Lines(lines.begin(), lines.begin() + 30), loaded, count), 1);
    expectPrevious(loaded, count);
    // The old-form reader given a current-form file reads nothing.
    aScanFile(1);
    loaded = previous();
    count = 2;
    EXPECT_EQ(LoadAScansFromOldFile(file("src.dtf"), loaded, count), 1);
    expectPrevious(loaded, count);
}

TEST_F(Files, OldFormShapesBeyondTheLimitsAreNotRead) {
    PMapsSet list;
    list.push_back(tbtest::makeMap(1, 2, 3, 32));
    markAll(list);
    ASSERT_EQ(SaveMapsToOldFile(file("m.mtf"), list, 1), 0);
    const auto lines = readAllLines(file("m.mtf"));
    // The lines the reader takes the shape from.
    ASSERT_EQ(lines[27], "MAP_VERTIC_POINTS_QUAN:2");
    ASSERT_EQ(lines[28], "MAP_HORIZ_POINTS_QUAN:3");
    ASSERT_EQ(lines[58], "ASCAN_PIXEL_LENGTH:32");
    for (const auto& [line, text] :
         std::vector<std::pair<std::size_t, std::string>>{{27, "MAP_VERTIC_POINTS_QUAN:41"},
                                                          {28, "MAP_HORIZ_POINTS_QUAN:0"},
                                                          {58, "ASCAN_PIXEL_LENGTH:4096"},
                                                          {58, "ASCAN_PIXEL_LENGTH:29"},
                                                          {58, "ASCAN_PIXEL_LENGTH:x"}}) {
        SCOPED_TRACE(text);
        auto bad = lines;
        bad[line] = text;
        writeBytes(file("bad.mtf"), crlf(bad));
        PMapsSet loaded;
        std::uint16_t count = 0;
        EXPECT_EQ(LoadMapsFromOldFile(file("bad.mtf"), loaded, count), 1);
        EXPECT_EQ(count, 0);
    }
    PBandsSet bands;
    bands.push_back(tbtest::makeBand(1, 3, 32));
    markAll(bands);
    ASSERT_EQ(SaveBandsToOldFile(file("b.btf"), bands, 1), 0);
    auto bandLines = readAllLines(file("b.btf"));
    ASSERT_EQ(bandLines[35], "BAND_LAST_ASCAN:2");
    bandLines[35] = "BAND_LAST_ASCAN:901";
    writeBytes(file("b.btf"), crlf(bandLines));
    std::uint16_t count = 1;
    EXPECT_EQ(LoadBandsFromOldFile(file("b.btf"), bands, count), 1);
    EXPECT_EQ(count, 1);
}

TEST_F(Files, ErasingKeepsListAndCountTogether) {
    PAscansSet list;
    for (int i = 0; i < 3; ++i) {
        list.push_back(tbtest::makeAScan(i));
    }
    std::uint16_t count = 3;
    EXPECT_FALSE(EraseAScan(list, 0, count));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(list[0]->RecordIndex, 101);
    EXPECT_TRUE(EraseAScan(list, 2, count));
    count = 5; // disagrees with the list
    EXPECT_TRUE(EraseAScan(list, 0, count));
    EXPECT_EQ(list.size(), 2u);
    PBandsSet bands;
    bands.push_back(tbtest::makeBand(1));
    std::uint16_t bandCount = 1;
    EXPECT_FALSE(EraseBand(bands, 0, bandCount));
    PMapsSet maps;
    maps.push_back(tbtest::makeMap(1));
    std::uint16_t mapCount = 1;
    EXPECT_FALSE(EraseMap(maps, 0, mapCount));
    EXPECT_TRUE(maps.empty() && bands.empty() && mapCount == 0 && bandCount == 0);
}

} // namespace
