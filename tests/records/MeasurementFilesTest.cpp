// The A-scan, band and map files in both forms: round trips, marked records, and bad files that
// must never cost the user the records already loaded.
#include "RecordsTestSupport.h"

#include "platform/text/LineFile.h"
#include "records/MeasurementFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using platform::text::readAllLines;
using tbtest::crlf;
using tbtest::readBytes;
using tbtest::writeBytes;

namespace {

template <typename Cell> using List = std::vector<std::unique_ptr<Cell>>;

template <typename Cell> void markAll(List<Cell>& list) {
    for (auto& r : list) {
        r->Marked = 1;
    }
}

// Every load leaves a list as long as its count with no empty slot below it.
template <typename Cell> void expectWellFormed(const List<Cell>& list, std::uint16_t count) {
    EXPECT_EQ(list.size(), count);
    for (const auto& r : list) {
        EXPECT_NE(r, nullptr);
    }
}

class Files : public ::testing::Test {
protected:
    std::filesystem::path file(const std::string& name) const { return folder / name; }

    // A list the loads must leave alone when they fail.
    static PAscansSet previousAScans() {
        PAscansSet list;
        list.push_back(tbtest::makeAScan(90));
        list.push_back(tbtest::makeAScan(91));
        return list;
    }

    static void expectPreviousAScans(const PAscansSet& list, std::uint16_t count) {
        ASSERT_EQ(count, 2);
        ASSERT_EQ(list.size(), 2u);
        EXPECT_EQ(list[0]->RecordIndex, 190);
        EXPECT_EQ(list[1]->RecordIndex, 191);
    }

    // A current-form A-scan file of `records` records (each as SaveToText writes it).
    std::vector<std::string> aScanFile(int records) {
        PAscansSet list;
        for (int i = 0; i < records; ++i) {
            list.push_back(tbtest::makeAScan(i, 40));
        }
        markAll(list);
        EXPECT_EQ(SaveAScansToFile(file("src.dtf"), list, static_cast<std::uint16_t>(records)), 0);
        return readAllLines(file("src.dtf"));
    }

    // The index of the n-th line (0-based) equal to `text`.
    static std::size_t nth(const std::vector<std::string>& lines, const std::string& text, int n) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i] == text && n-- == 0) {
                return i;
            }
        }
        ADD_FAILURE() << "no line " << text;
        return lines.size();
    }

    tbtest::LanguageFiles texts{{{326, "No comments"}}};
    tbtest::TempFolder folder;
};

// ---- Round trips ----------------------------------------------------------------------------

TEST_F(Files, AScansSurviveTheCurrentForm) {
    PAscansSet list;
    for (int seed = 0; seed < 3; ++seed) {
        list.push_back(tbtest::makeAScan(seed, 48 + seed));
    }
    list[1]->Config->CursorCount = 1;
    markAll(list);
    ASSERT_EQ(SaveAScansToFile(file("a.dtf"), list, 3), 0);

    PAscansSet loaded = previousAScans();
    std::uint16_t count = 2;
    ASSERT_EQ(LoadAScansFromFile(file("a.dtf"), loaded, count), 0);
    ASSERT_EQ(count, 3);
    expectWellFormed(loaded, count);
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE("record " + std::to_string(i));
        tbtest::expectSameRecordText(*list[i], *loaded[i]);
        EXPECT_EQ(loaded[i]->RecordIndex, list[i]->RecordIndex);
        EXPECT_EQ(loaded[i]->ConfigIndex, list[i]->ConfigIndex);
    }
}

TEST_F(Files, TheCurrentFormStartsWithTheHeader) {
    const auto lines = aScanFile(2);
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[0], "Signature:KSN3");
    EXPECT_EQ(lines[1], "Device kind:0");
    EXPECT_EQ(lines[2], "Device version:10");
    EXPECT_EQ(lines[3], "Device variant:200");
    EXPECT_EQ(lines[4], "Configurations:2");
    EXPECT_EQ(lines[5], "0:0");
    EXPECT_EQ(lines.back(), "65534:");
    // Every line ends with CR LF.
    const std::string bytes = readBytes(file("src.dtf"));
    EXPECT_EQ(bytes.substr(0, 16), "Signature:KSN3\r\n");
    EXPECT_EQ(bytes.substr(bytes.size() - 8), "65534:\r\n");
}

TEST_F(Files, AScansSurviveTheOldForm) {
    PAscansSet list;
    list.push_back(tbtest::makeAScan(5, 64));
    list.push_back(tbtest::makeAScan(6, 31));
    markAll(list);
    ASSERT_EQ(SaveAScansToOldFile(file("old.dtf"), list, 2), 0);
    EXPECT_EQ(readAllLines(file("old.dtf")).front(), "CONFIG_VERSION:1");

    PAscansSet loaded = previousAScans();
    std::uint16_t count = 2;
    ASSERT_EQ(LoadAScansFromFile(file("old.dtf"), loaded, count), 0);
    ASSERT_EQ(count, 2);
    expectWellFormed(loaded, count);
    for (std::size_t i = 0; i < 2; ++i) {
        tbtest::expectSameSamples(*list[i], *loaded[i]);
        // The old form keeps neither identity nor comments.
        EXPECT_EQ(loaded[i]->Kind, 0);
        EXPECT_EQ(loaded[i]->Identity3, 0);
        EXPECT_EQ(loaded[i]->Comments, std::vector<std::string>{"No comments"});
        EXPECT_EQ(loaded[i]->ConfigIndex, list[i]->Config->ConfigIndex);
        EXPECT_EQ(loaded[i]->Config->Velocity, list[i]->Config->Velocity);
        EXPECT_EQ(loaded[i]->Config->ConfigName, list[i]->Config->ConfigName);
    }
}

TEST_F(Files, ShortAScansKeepTheirLengthInTheOldForm) {
    // Validation alone would give an A-scan of 20 samples the default length of 1024.
    PAscansSet list;
    list.push_back(std::make_unique<TBaseAScanCell>());
    list[0]->Config->ResetAll(1);
    list[0]->Config->AScanRange = 20;
    for (int s = 0; s < 20; ++s) {
        list[0]->Scan(0, 0)[static_cast<std::size_t>(s)] = -s;
    }
    list.push_back(tbtest::makeAScan(2, 40));
    markAll(list);
    ASSERT_EQ(SaveAScansToOldFile(file("short.dtf"), list, 2), 0);
    PAscansSet loaded;
    std::uint16_t count = 0;
    ASSERT_EQ(LoadAScansFromOldFile(file("short.dtf"), loaded, count), 0);
    ASSERT_EQ(count, 2);
    tbtest::expectSameSamples(*list[0], *loaded[0]);
    tbtest::expectSameSamples(*list[1], *loaded[1]);
}

TEST_F(Files, BandsSurviveTheCurrentForm) {
    PBandsSet list;
    list.push_back(tbtest::makeBand(1, 3, 40));
    list.push_back(tbtest::makeBand(2, 7, 32));
    list.push_back(tbtest::makeBand(3, 1, 30));
    markAll(list);
    ASSERT_EQ(SaveBandsToFile(file("b.btf"), list, 3), 0);
    PBandsSet loaded;
    std::uint16_t count = 0;
    ASSERT_EQ(LoadBandsFromFile(file("b.btf"), loaded, count), 0);
    ASSERT_EQ(count, 3);
    expectWellFormed(loaded, count);
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE("band " + std::to_string(i));
        tbtest::expectSameRecordText(*list[i], *loaded[i]);
        tbtest::expectSamePalette(*list[i], *loaded[i]);
        EXPECT_EQ(loaded[i]->BandRecordIndex, list[i]->BandRecordIndex);
    }
}

TEST_F(Files, BandsSurviveTheOldFormWithTheDefaultPalette) {
    PBandsSet list;
    list.push_back(tbtest::makeBand(1, 3, 40));
    list.push_back(tbtest::makeBand(2, 5, 32));
    markAll(list);
    ASSERT_EQ(SaveBandsToOldFile(file("b.btf"), list, 2), 0);
    PBandsSet loaded;
    std::uint16_t count = 0;
    ASSERT_EQ(LoadBandsFromFile(file("b.btf"), loaded, count), 0);
    ASSERT_EQ(count, 2);
    const TBaseBandCell fresh;
    for (std::size_t i = 0; i < 2; ++i) {
        tbtest::expectSameSamples(*list[i], *loaded[i]);
        EXPECT_EQ(loaded[i]->Config->BandLastAScan, list[i]->Config->BandLastAScan);
        tbtest::expectSamePalette(fresh, *loaded[i]);
    }
}

TEST_F(Files, NonSquareMapsSurviveTheCurrentForm) {
    PMapsSet list;
    list.push_back(tbtest::makeMap(1, 2, 3, 32));
    list.push_back(tbtest::makeMap(2, 3, 2, 40));
    markAll(list);
    ASSERT_EQ(SaveMapsToFile(file("m.mtf"), list, 2), 0);
    PMapsSet loaded;
    std::uint16_t count = 0;
    ASSERT_EQ(LoadMapsFromFile(file("m.mtf"), loaded, count), 0);
    ASSERT_EQ(count, 2);
    expectWellFormed(loaded, count);
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE("map " + std::to_string(i));
        tbtest::expectSameRecordText(*list[i], *loaded[i]);
        tbtest::expectSamePalette(*list[i], *loaded[i]);
        EXPECT_EQ(loaded[i]->MapRecordIndex, list[i]->MapRecordIndex);
    }
    // 3 columns x 2 rows: every cell came back to its own place.
    const TBaseMapCell& m = *loaded[0];
    ASSERT_EQ(m.Count1, 2);
    ASSERT_EQ(m.Count2, 3);
    for (std::uint32_t r = 0; r < 2; ++r) {
        for (std::uint32_t c = 0; c < 3; ++c) {
            EXPECT_EQ(m.Scan(r, c)[2], static_cast<std::int32_t>(10000 + r * 1000 + c * 100 + 2));
            EXPECT_EQ(m.Scan(r, c)[3], -static_cast<std::int32_t>(10000 + r * 1000 + c * 100 + 3));
        }
    }
}

TEST_F(Files, NonSquareMapsSurviveTheOldForm) {
    PMapsSet list;
    list.push_back(tbtest::makeMap(1, 2, 3, 32));
    list.push_back(tbtest::makeMap(2, 3, 2, 40));
    list.push_back(tbtest::makeMap(3, 5, 6, 30));
    markAll(list);
    ASSERT_EQ(SaveMapsToOldFile(file("m.mtf"), list, 3), 0);
    PMapsSet loaded;
    std::uint16_t count = 0;
    ASSERT_EQ(LoadMapsFromFile(file("m.mtf"), loaded, count), 0);
    ASSERT_EQ(count, 3);
    expectWellFormed(loaded, count);
    const TBaseMapCell fresh;
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE("map " + std::to_string(i));
        tbtest::expectSameSamples(*list[i], *loaded[i]);
        EXPECT_EQ(loaded[i]->Config->MapVerticPoints, list[i]->Config->MapVerticPoints);
        EXPECT_EQ(loaded[i]->Config->MapHorizPoints, list[i]->Config->MapHorizPoints);
        tbtest::expectSamePalette(fresh, *loaded[i]);
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

// ---- Marked and selected records ------------------------------------------------------------

TEST_F(Files, OnlyMarkedRecordsAreWrittenUnderTheFirstRecordsIdentity) {
    PBandsSet list;
    list.push_back(tbtest::makeBand(1));
    list.push_back(tbtest::makeBand(2));
    list.push_back(tbtest::makeBand(3));
    list[1]->Marked = 1;
    ASSERT_EQ(SaveBandsToFile(file("b.btf"), list, 3), 0);
    const auto lines = readAllLines(file("b.btf"));
    EXPECT_EQ(lines[1], "Device kind:1");      // from band 1, which is not written
    EXPECT_EQ(lines[2], "Device version:11");  //
    EXPECT_EQ(lines[3], "Device variant:201"); //
    EXPECT_EQ(lines[4], "Configurations:1");
    PBandsSet loaded;
    std::uint16_t count = 0;
    ASSERT_EQ(LoadBandsFromFile(file("b.btf"), loaded, count), 0);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(loaded[0]->BandRecordIndex, 52);
}

TEST_F(Files, AListWithNoMarkedRecordWritesNoFile) {
    PAscansSet aScans = previousAScans();
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
}

TEST_F(Files, ARefusedSaveLeavesThePreviousFile) {
    writeBytes(file("a.dtf"), "previous");
    PAscansSet list = previousAScans();
    EXPECT_EQ(SaveAScansToFile(file("a.dtf"), list, 2), 1);
    markAll(list);
    EXPECT_EQ(SaveAScansToFile(file("a.dtf"), list, 3), 1); // count is not the list's length
    PAscansSet withHole = previousAScans();
    withHole[0]->Marked = 1;
    withHole.push_back(nullptr);
    EXPECT_EQ(SaveAScansToFile(file("a.dtf"), withHole, 3), 1);
    EXPECT_EQ(readBytes(file("a.dtf")), "previous");
}

TEST_F(Files, TheSelectedRecordIsWrittenAloneMarkedOrNot) {
    auto map = tbtest::makeMap(7, 2, 2, 32);
    map->Marked = 0;
    ASSERT_EQ(SaveSelectedMapToFile(file("one.mtf"), map.get()), 0);
    const auto lines = readAllLines(file("one.mtf"));
    EXPECT_EQ(lines[1], "Device kind:1");
    EXPECT_EQ(lines[3], "Device variant:207");
    EXPECT_EQ(lines[4], "Configurations:1");
    PMapsSet loaded;
    std::uint16_t count = 0;
    ASSERT_EQ(LoadMapsFromFile(file("one.mtf"), loaded, count), 0);
    ASSERT_EQ(count, 1);
    tbtest::expectSameRecordText(*map, *loaded[0]);

    EXPECT_EQ(SaveSelectedMapToFile(file("none.mtf"), nullptr), 1);
    EXPECT_EQ(SaveSelectedAScanToFile(file("none.dtf"), nullptr), 1);
    EXPECT_EQ(SaveSelectedBandToFile(file("none.btf"), nullptr), 1);
    EXPECT_FALSE(std::filesystem::exists(file("none.mtf")));
    auto band = tbtest::makeBand(3);
    EXPECT_EQ(SaveSelectedBandToFile(file("one.btf"), band.get()), 0);
    auto aScan = tbtest::makeAScan(3);
    EXPECT_EQ(SaveSelectedAScanToFile(file("one.dtf"), aScan.get()), 0);
    PAscansSet aScans;
    ASSERT_EQ(LoadAScansFromFile(file("one.dtf"), aScans, count), 0);
    EXPECT_EQ(count, 1);
}

// ---- A failed save --------------------------------------------------------------------------

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
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_EQ(SaveMapsToFile(file("m.mtf"), list, 1), 0);
}

TEST_F(Files, ASaveIntoAFolderThatDoesNotExistFails) {
    PAscansSet list = previousAScans();
    markAll(list);
    EXPECT_EQ(SaveAScansToFile(file("missing/a.dtf"), list, 2), 1);
}

// ---- Bad files ------------------------------------------------------------------------------

TEST_F(Files, AnUnrecognisedFileLeavesTheListAlone) {
    for (const std::string& text : {std::string(), std::string("hello\r\n"),
                                    std::string("Signature:KSN2\r\nDevice kind:1\r\n"),
                                    std::string("KSN3\r\n"), std::string("CONFIG_VERSION:2\r\n")}) {
        SCOPED_TRACE(text);
        writeBytes(file("x.dtf"), text);
        PAscansSet list = previousAScans();
        std::uint16_t count = 2;
        EXPECT_EQ(LoadAScansFromFile(file("x.dtf"), list, count), 1);
        expectPreviousAScans(list, count);
    }
}

TEST_F(Files, AMissingFileRaisesTheInputOutputError) {
    PAscansSet list = previousAScans();
    std::uint16_t count = 2;
    EXPECT_THROW(LoadAScansFromFile(file("missing.dtf"), list, count), platform::text::IoError);
    expectPreviousAScans(list, count);
}

TEST_F(Files, AHeaderWithBadValuesLeavesTheListAlone) {
    for (const std::vector<std::string>& header : std::vector<std::vector<std::string>>{
             {"S:KSN3", "K:256", "V:0", "I:0", "C:0"},
             {"S:KSN3", "K:0", "V:-1", "I:0", "C:0"},
             {"S:KSN3", "K:0", "V:0", "I:x", "C:0"},
             {"S:KSN3", "K:0", "V:0", "I:0", "C:65536"},
             {"S:KSN3", "K:0", "V:0", "I:0", "C:many"},
             {"S:KSN3", "K:0", "V:0", "I:0"},
         }) {
        SCOPED_TRACE(header.back());
        writeBytes(file("x.dtf"), crlf(header));
        PAscansSet list = previousAScans();
        std::uint16_t count = 2;
        EXPECT_EQ(LoadAScansFromFile(file("x.dtf"), list, count), 1);
        expectPreviousAScans(list, count);
    }
}

TEST_F(Files, AFileOfNoRecordsEmptiesTheList) {
    writeBytes(file("x.dtf"), crlf({"S:KSN3", "K:0", "V:0", "I:0", "C:0"}));
    PAscansSet list = previousAScans();
    std::uint16_t count = 2;
    EXPECT_EQ(LoadAScansFromFile(file("x.dtf"), list, count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(list.empty());
}

TEST_F(Files, AHeaderAnnouncingMoreRecordsGivesExactlyTheRecordsRead) {
    auto lines = aScanFile(2);
    lines[4] = "Count:5";
    writeBytes(file("x.dtf"), crlf(lines));
    PAscansSet list = previousAScans();
    std::uint16_t count = 2;
    EXPECT_EQ(LoadAScansFromFile(file("x.dtf"), list, count), 1);
    ASSERT_EQ(count, 2);
    expectWellFormed(list, count);
    EXPECT_EQ(list[0]->RecordIndex, 100);
    EXPECT_EQ(list[1]->RecordIndex, 101);
}

TEST_F(Files, ATruncatedRecordIsNotKept) {
    const auto lines = aScanFile(3);
    // Cut inside the samples of the third record.
    const std::size_t cut = nth(lines, "7:40", 2) + 10;
    writeBytes(file("x.dtf"), crlf({lines.begin(), lines.begin() + static_cast<long>(cut)}));
    PAscansSet list = previousAScans();
    std::uint16_t count = 2;
    EXPECT_EQ(LoadAScansFromFile(file("x.dtf"), list, count), 1);
    ASSERT_EQ(count, 2);
    expectWellFormed(list, count);
    EXPECT_EQ(list[1]->RecordIndex, 101);
    // A record missing only its closing line is incomplete too.
    writeBytes(file("y.dtf"), crlf({lines.begin(), lines.end() - 1}));
    EXPECT_EQ(LoadAScansFromFile(file("y.dtf"), list, count), 1);
    EXPECT_EQ(count, 2);
}

TEST_F(Files, ATruncatedFirstRecordLeavesTheListAlone) {
    const auto lines = aScanFile(1);
    writeBytes(file("x.dtf"), crlf({lines.begin(), lines.begin() + 40}));
    PAscansSet list = previousAScans();
    std::uint16_t count = 2;
    EXPECT_EQ(LoadAScansFromFile(file("x.dtf"), list, count), 1);
    expectPreviousAScans(list, count);
}

TEST_F(Files, ValuesThatDoNotFitEndTheReadingAfterTheGoodRecords) {
    const auto good = aScanFile(2);
    // The second record starts after the first record's closing line (the first "65534:" closes
    // its configuration).
    const std::size_t second = nth(good, "65534:", 1) + 1;
    ASSERT_EQ(good[second], "0:1");
    for (const char* bad : {"0:256", "3:65536", "7:4098", "7:x", "5:?"}) {
        SCOPED_TRACE(bad);
        auto lines = good;
        lines[second] = bad;
        writeBytes(file("x.dtf"), crlf(lines));
        PAscansSet list = previousAScans();
        std::uint16_t count = 2;
        EXPECT_EQ(LoadAScansFromFile(file("x.dtf"), list, count), 1);
        ASSERT_EQ(count, 1);
        expectWellFormed(list, count);
        EXPECT_EQ(list[0]->RecordIndex, 100);
    }
}

TEST_F(Files, ASampleThatIsNotANumberEndsTheReading) {
    auto lines = aScanFile(2);
    lines[nth(lines, "7:40", 1) + 5] = "12a";
    writeBytes(file("x.dtf"), crlf(lines));
    PAscansSet list;
    std::uint16_t count = 0;
    EXPECT_EQ(LoadAScansFromFile(file("x.dtf"), list, count), 1);
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
    PBandsSet loadedBands;
    std::uint16_t count = 0;
    EXPECT_EQ(LoadBandsFromFile(file("b.btf"), loadedBands, count), 1);
    EXPECT_EQ(count, 1);

    PMapsSet maps;
    maps.push_back(tbtest::makeMap(1, 2, 3, 32));
    markAll(maps);
    ASSERT_EQ(SaveMapsToFile(file("m.mtf"), maps, 1), 0);
    lines = readAllLines(file("m.mtf"));
    lines[nth(lines, "6:3:2", 0)] = "6:41:2";
    writeBytes(file("m.mtf"), crlf(lines));
    PMapsSet loadedMaps = std::move(maps);
    count = 1;
    EXPECT_EQ(LoadMapsFromFile(file("m.mtf"), loadedMaps, count), 1);
    ASSERT_EQ(count, 1); // the previous list
    EXPECT_EQ(loadedMaps[0]->MapRecordIndex, 71);
}

TEST_F(Files, AnAScanWithoutSamplesGivesItsPlaceToTheNext) {
    auto lines = aScanFile(2);
    // The first record announces no samples: its 40 sample lines go.
    const std::size_t samples = nth(lines, "7:40", 0);
    lines[samples] = "7:0";
    lines.erase(lines.begin() + static_cast<long>(samples) + 1,
                lines.begin() + static_cast<long>(samples) + 41);
    lines[4] = "Count:1";
    writeBytes(file("x.dtf"), crlf(lines));
    PAscansSet list;
    std::uint16_t count = 0;
    EXPECT_EQ(LoadAScansFromFile(file("x.dtf"), list, count), 0);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(list[0]->RecordIndex, 101);
}

// ---- Bad old-form files ---------------------------------------------------------------------

TEST_F(Files, OldFormReadingStopsAtALineThatStartsNoRecord) {
    PBandsSet list;
    list.push_back(tbtest::makeBand(1, 2, 32));
    list.push_back(tbtest::makeBand(2, 2, 32));
    markAll(list);
    ASSERT_EQ(SaveBandsToOldFile(file("b.btf"), list, 2), 0);
    auto lines = readAllLines(file("b.btf"));

    // Blank lines at the end are no record and no fault.
    auto padded = lines;
    padded.insert(padded.end(), {"", "  ", ""});
    writeBytes(file("p.btf"), crlf(padded));
    PBandsSet loaded;
    std::uint16_t count = 0;
    EXPECT_EQ(LoadBandsFromFile(file("p.btf"), loaded, count), 0);
    EXPECT_EQ(count, 2);

    auto garbage = lines;
    garbage.insert(garbage.end(), {"17", "18", "CONFIG_VERSION:1"});
    writeBytes(file("g.btf"), crlf(garbage));
    EXPECT_EQ(LoadBandsFromFile(file("g.btf"), loaded, count), 1);
    EXPECT_EQ(count, 2);
    expectWellFormed(loaded, count);
    tbtest::expectSameSamples(*list[1], *loaded[1]);
}

TEST_F(Files, ATruncatedOldFormRecordIsNotKept) {
    PAscansSet list;
    list.push_back(tbtest::makeAScan(1, 40));
    list.push_back(tbtest::makeAScan(2, 40));
    markAll(list);
    ASSERT_EQ(SaveAScansToOldFile(file("a.dtf"), list, 2), 0);
    auto lines = readAllLines(file("a.dtf"));
    lines.resize(lines.size() - 3);
    writeBytes(file("a.dtf"), crlf(lines));
    PAscansSet loaded = previousAScans();
    std::uint16_t count = 2;
    EXPECT_EQ(LoadAScansFromFile(file("a.dtf"), loaded, count), 1);
    ASSERT_EQ(count, 1);
    tbtest::expectSameSamples(*list[0], *loaded[0]);

    // Cut inside the first record's configuration: nothing was read.
    lines.resize(30);
    writeBytes(file("a.dtf"), crlf(lines));
    loaded = previousAScans();
    count = 2;
    EXPECT_EQ(LoadAScansFromFile(file("a.dtf"), loaded, count), 1);
    expectPreviousAScans(loaded, count);
}

TEST_F(Files, OldFormShapesBeyondTheLimitsAreNotRead) {
    PMapsSet list;
    list.push_back(tbtest::makeMap(1, 2, 3, 32));
    markAll(list);
    ASSERT_EQ(SaveMapsToOldFile(file("m.mtf"), list, 1), 0);
    const auto lines = readAllLines(file("m.mtf"));
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
        loaded.push_back(tbtest::makeMap(9));
        std::uint16_t count = 1;
        EXPECT_EQ(LoadMapsFromOldFile(file("bad.mtf"), loaded, count), 1);
        ASSERT_EQ(count, 1);
        EXPECT_EQ(loaded[0]->MapRecordIndex, 79);
    }
}

TEST_F(Files, TheBandShapeLineOfTheOldFormIsWhereTheReaderLooks) {
    PBandsSet list;
    list.push_back(tbtest::makeBand(1, 3, 32));
    markAll(list);
    ASSERT_EQ(SaveBandsToOldFile(file("b.btf"), list, 1), 0);
    auto lines = readAllLines(file("b.btf"));
    ASSERT_EQ(lines[35], "BAND_LAST_ASCAN:2");
    lines[35] = "BAND_LAST_ASCAN:901";
    writeBytes(file("b.btf"), crlf(lines));
    PBandsSet loaded;
    std::uint16_t count = 0;
    EXPECT_EQ(LoadBandsFromOldFile(file("b.btf"), loaded, count), 1);
    EXPECT_EQ(count, 0);
}

TEST_F(Files, AnOldFormReaderGivenAnotherFileReadsNothing) {
    const auto lines = aScanFile(1);
    PAscansSet list = previousAScans();
    std::uint16_t count = 2;
    EXPECT_EQ(LoadAScansFromOldFile(file("src.dtf"), list, count), 1);
    expectPreviousAScans(list, count);
}

// ---- Erasing --------------------------------------------------------------------------------

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
    count = 5;
    EXPECT_TRUE(EraseAScan(list, 0, count));
    EXPECT_EQ(list.size(), 2u);
    PMapsSet maps;
    maps.push_back(tbtest::makeMap(1));
    std::uint16_t mapCount = 1;
    EXPECT_FALSE(EraseMap(maps, 0, mapCount));
    EXPECT_EQ(mapCount, 0);
    EXPECT_TRUE(maps.empty());
}

} // namespace
