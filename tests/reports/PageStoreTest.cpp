// The page store: the coder's bits, the page file's bytes, the move to a temporary file, old
// headers, the walk between pages, and refusing page files that lie about themselves.
#include "platform/emf/MetafileCanvas.h"
#include "platform/text/LineFile.h"
#include "reports/pages/RptError.h"
#include "reports/pages/RptPageStore.h"
#include "reports/pages/RptTexts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using platform::emf::Metafile;
using Bytes = std::vector<std::uint8_t>;

Bytes compress(const Bytes& in) {
    TMemoryStream s;
    {
        TRptCompress c(s, true);
        for (auto b : in) {
            c.Compress(b);
        }
    }
    return s.TakeData();
}

Bytes expand(const Bytes& in, std::size_t count) {
    TMemoryStream s;
    s.Write(in.data(), in.size());
    s.Seek(0, TSeekOrigin::soBeginning);
    TRptCompress c(s, false);
    Bytes out;
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back(c.Expand());
    }
    return out;
}

Bytes range256() {
    Bytes b;
    for (int i = 0; i < 256; ++i) {
        b.push_back(std::uint8_t(i));
    }
    return b;
}

TEST(RptCompress, CodesTheWorkedExamples) {
    struct Case {
        const char* name;
        Bytes input;
        Bytes coded;
    };
    const std::vector<Case> cases = {
        {"abc", {'a', 'b', 'c'}, {0x46, 0x3D, 0x01}},
        {"zero", {0x00}, {0x80}},
        {"255 lies one level deeper", {0xFF}, {0x00, 0x00}},
        {"aaaa", {'a', 'a', 'a', 'a'}, {0x46, 0x45}},
        {"eight zeros", Bytes(8, 0), {0x80, 0xCF, 0x07}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(compress(c.input), c.coded) << c.name;
        EXPECT_EQ(expand(c.coded, c.input.size()), c.input) << c.name;
    }
    const Bytes all = compress(range256());
    ASSERT_EQ(all.size(), 187u);
    EXPECT_EQ(Bytes(all.begin(), all.begin() + 8),
              (Bytes{0x80, 0x17, 0x2B, 0x0B, 0x05, 0x58, 0xA0, 0x10}));
    EXPECT_EQ(expand(all, 256), range256());
}

TEST(RptCompress, RandomStringsOfEveryLengthComeBack) {
    std::mt19937 rng(17);
    for (std::size_t n = 0; n <= 4096; ++n) {
        Bytes in(n);
        // Alternate between uniform bytes and a skewed alphabet so the tree changes shape.
        const int alphabet = (n % 2 == 0) ? 256 : 7;
        for (auto& b : in) {
            b = std::uint8_t(rng() % unsigned(alphabet) * (n % 2 == 0 ? 1 : 37));
        }
        const Bytes coded = compress(in);
        ASSERT_EQ(expand(coded, n), in) << "length " << n;
    }
}

TEST(RptCompress, ExpandingPastTheEndOrIntoTheUnusedLeafIsAnInvalidFile) {
    EXPECT_THROW(expand({0x46}, 3), ERptError);
    // From a fresh tree, eight left turns and one right turn lead to leaf 512.
    try {
        expand({0x00, 0x01}, 1);
        FAIL() << "the unused leaf was accepted";
    } catch (const ERptError& e) {
        EXPECT_STREQ(e.what(), "The file is not a valid report file");
    }
}

Metafile page(int marker, int width = 60) {
    platform::emf::MetafileCanvas c(width, 40);
    c.Brush.Color = platform::gfx::TColor(marker);
    c.FillRect({1, 1, 10, 10});
    c.Font.Name = "Arial";
    c.TextOut(2, 12, "Page " + std::to_string(marker));
    return c.Close();
}

void putI32(Bytes& b, std::size_t at, std::int32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + std::size_t(i)] = std::uint8_t(std::uint32_t(v) >> (8 * i));
    }
}
std::int32_t getI32(const Bytes& b, std::size_t at) {
    return std::int32_t(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
                        (std::uint32_t(b[at + 3]) << 24));
}

void append(Bytes& to, const Bytes& b) {
    to.insert(to.end(), b.begin(), b.end());
}

Bytes fileBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeFile(const std::filesystem::path& p, const Bytes& b) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

// A folder of its own per test, also used as the temporary folder.
class PageStore : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("tb-pages-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        const char* old = std::getenv("TMPDIR");
        oldTmp_ = old ? std::optional<std::string>(old) : std::nullopt;
        ::setenv("TMPDIR", dir_.c_str(), 1);
    }
    void TearDown() override {
        if (oldTmp_) {
            ::setenv("TMPDIR", oldTmp_->c_str(), 1);
        } else {
            ::unsetenv("TMPDIR");
        }
        std::filesystem::remove_all(dir_);
    }
    std::vector<std::filesystem::path> spillFiles() const {
        std::vector<std::filesystem::path> out;
        for (const auto& e : std::filesystem::directory_iterator(dir_)) {
            if (e.path().filename().string().rfind("FPR", 0) == 0) {
                out.push_back(e.path());
            }
        }
        return out;
    }
    // A store of `pages` pages written as a report run writes them, saved to a file.
    std::filesystem::path writeRun(int pages, bool compressed, const std::string& name) {
        TRptPageList list;
        list.Now = [] { return 45293.5; };
        list.Compression = compressed;
        list.SetStream(std::make_unique<TRptStream>(250000));
        for (int i = 1; i <= pages; ++i) {
            list.AddPage(page(i));
        }
        list.WriteFileHeader();
        const auto path = dir_ / name;
        list.SaveToFile(path);
        return path;
    }

    std::filesystem::path dir_;
    std::optional<std::string> oldTmp_;
};

// The header exactly as the page file has it, with the date of 2024-01-02 12:00.
Bytes handHeader(std::int32_t count, bool compressed) {
    Bytes h(128, 0);
    h[0] = 3;
    h[2] = 40;
    putI32(h, 8, count);
    const Bytes date = {0x00, 0x00, 0x00, 0x00, 0xB0, 0x1D, 0xE6, 0x40};
    std::copy(date.begin(), date.end(), h.begin() + 16);
    h[25] = compressed ? 1 : 0;
    return h;
}

TEST_F(PageStore, OnePageFileIsByteExactCompressedAndNot) {
    for (bool compressed : {false, true}) {
        const Metafile p = page(1);
        TRptPageList list;
        int headerWrites = 0;
        list.Now = [&] {
            ++headerWrites;
            return 45293.5;
        };
        list.Compression = compressed;
        list.SetStream(std::make_unique<TRptStream>(250000));
        list.AddPage(p);
        list.WriteFileHeader(); // the end of the run writes it again
        EXPECT_EQ(headerWrites, 2);

        Bytes expected = handHeader(1, compressed);
        Bytes data;
        if (compressed) {
            data.resize(4);
            putI32(data, 0, std::int32_t(p.Size()));
            append(data, compress(p.Bytes()));
        } else {
            data = p.Bytes();
        }
        Bytes record(8, 0);
        putI32(record, 0, 1);
        putI32(record, 4, std::int32_t(128 + 8 + data.size() + 4));
        append(record, data);
        record.resize(record.size() + 4);
        putI32(record, record.size() - 4, 128);
        append(expected, record);

        const auto path = dir_ / "one.fpr";
        list.SaveToFile(path);
        EXPECT_EQ(fileBytes(path), expected) << (compressed ? "compressed" : "plain");
        const auto back = list.GetPage(1);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->Bytes(), p.Bytes());
        EXPECT_EQ(list.GetPage(2), nullptr);
        EXPECT_EQ(list.GetPage(0), nullptr);
    }
}

TEST_F(PageStore, WalksBetweenPagesByBothLinks) {
    for (bool compressed : {false, true}) {
        const auto path = writeRun(3, compressed, "three.fpr");
        TRptPageList list;
        list.LoadFromFile(path);
        ASSERT_EQ(list.PageCount, 3);
        EXPECT_EQ(list.Compression, compressed);
        EXPECT_DOUBLE_EQ(list.FileDate(), 45293.5);
        for (int n : {1, 3, 2, 2, 1, 3, 1}) {
            const auto p = list.GetPage(n);
            ASSERT_TRUE(p) << n;
            EXPECT_EQ(p->Bytes(), page(n).Bytes()) << "page " << n;
        }
    }
}

TEST_F(PageStore, SpillsToAPrivateTemporaryFileAndRemovesIt) {
    {
        TRptPageList list;
        list.SetStream(std::make_unique<TRptStream>(1000));
        list.AddPage(page(1));
        EXPECT_TRUE(list.Stream()->InMemory());
        EXPECT_TRUE(spillFiles().empty());
        // A page that crosses the limit inside its record: the bytes so far move, and the end
        // offset written afterwards lands in the file.
        platform::emf::MetafileCanvas big(100, 100);
        platform::gfx::TBitmap picture(30, 30);
        big.Draw(0, 0, picture);
        const Metafile bigPage = big.Close();
        ASSERT_GT(bigPage.Size(), 2000u);
        list.AddPage(bigPage);
        EXPECT_FALSE(list.Stream()->InMemory());
        const auto files = spillFiles();
        ASSERT_EQ(files.size(), 1u);
        EXPECT_EQ(files[0], list.Stream()->TempFileName());
        struct stat st {};
        ASSERT_EQ(::stat(files[0].c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        list.AddPage(page(3));
        EXPECT_EQ(list.GetPage(2)->Bytes(), bigPage.Bytes());
        EXPECT_EQ(list.GetPage(1)->Bytes(), page(1).Bytes());
        EXPECT_EQ(list.GetPage(3)->Bytes(), page(3).Bytes());
        const Bytes onDisk = fileBytes(files[0]);
        EXPECT_EQ(std::int64_t(onDisk.size()), list.Stream()->Size());
        const std::int32_t secondStart = getI32(onDisk, 128 + 4);
        EXPECT_EQ(getI32(onDisk, std::size_t(secondStart) + 4),
                  secondStart + std::int32_t(12 + bigPage.Size()));
    }
    EXPECT_TRUE(spillFiles().empty());
}

TEST_F(PageStore, AMissingTemporaryFolderIsAnError) {
    ::setenv("TMPDIR", (dir_ / "gone").c_str(), 1);
    TRptPageList list;
    list.SetStream(std::make_unique<TRptStream>(100));
    EXPECT_THROW(list.AddPage(page(1)), platform::text::IoError);
}

TEST_F(PageStore, OldHeadersLoadWithTheirFieldsMoved) {
    for (const auto& [pages, compressed] :
         std::vector<std::pair<int, bool>>{{2, false}, {2, true}, {0, false}, {0, true}}) {
        SCOPED_TRACE(std::to_string(pages) + (compressed ? " compressed" : " plain"));
        const Bytes current = fileBytes(writeRun(pages, compressed, "new.fpr"));
        // The old layout: 124 bytes, time at 12, the flag at 21; records start 4 bytes earlier.
        Bytes old(124, 0);
        old[0] = 3;
        old[2] = 40;
        putI32(old, 8, pages);
        std::copy(current.begin() + 16, current.begin() + 24, old.begin() + 12);
        old[21] = compressed ? 1 : 0;
        Bytes records(current.begin() + 128, current.end());
        // Offsets inside the records are absolute: move them 4 bytes down.
        std::size_t at = 0;
        while (at < records.size()) {
            const std::int32_t end = getI32(records, at + 4);
            putI32(records, at + 4, end - 4);
            const std::size_t next = std::size_t(end - 128);
            putI32(records, next - 4, getI32(records, next - 4) - 4);
            at = next;
        }
        append(old, records);
        writeFile(dir_ / "old.fpr", old);
        TRptPageList list;
        list.LoadFromFile(dir_ / "old.fpr");
        EXPECT_EQ(list.HeaderSize(), 124);
        EXPECT_EQ(list.PageCount, pages);
        EXPECT_EQ(list.Compression, compressed);
        EXPECT_DOUBLE_EQ(list.FileDate(), 45293.5);
        for (int n = 1; n <= pages; ++n) {
            EXPECT_EQ(list.GetPage(n)->Bytes(), page(n).Bytes());
        }
    }
}

// A page file of these record data (each the metafile, or the length and the coder's bytes)
// behind a header of `headerSize` bytes.
Bytes withRecords(Bytes header, const std::vector<Bytes>& data) {
    for (std::size_t i = 0; i < data.size(); ++i) {
        const std::int32_t start = std::int32_t(header.size());
        Bytes record(8, 0);
        putI32(record, 0, std::int32_t(i + 1));
        putI32(record, 4, start + std::int32_t(12 + data[i].size()));
        append(record, data[i]);
        record.resize(record.size() + 4);
        putI32(record, record.size() - 4, start);
        append(header, record);
    }
    return header;
}

Bytes compressedData(const Bytes& metafile, const Bytes& coded) {
    Bytes d(4 + coded.size(), 0);
    putI32(d, 0, std::int32_t(metafile.size()));
    std::copy(coded.begin(), coded.end(), d.begin() + 4);
    return d;
}

Bytes oldHeader(std::int32_t count, bool compressed) {
    const Bytes h = handHeader(count, compressed);
    Bytes old(h.begin(), h.begin() + 124);
    std::copy(h.begin() + 16, h.begin() + 24, old.begin() + 12);
    std::fill(old.begin() + 20, old.end(), 0);
    old[21] = compressed ? 1 : 0;
    return old;
}

// A page whose coder's bytes from `at` on read "EMF\0". Its metafile header (empty bounds and
// frame) is followed by
// bytes of its own (a header may be longer than its fields), chosen by decoding the bits wanted
// there, so that the coder writes exactly those bits.
Bytes pageCodedWithEmfAt(std::size_t at) {
    const Bytes base = page(1).Bytes();
    const std::size_t headerSize = std::size_t(getI32(base, 4));
    const std::size_t own = 256;
    Bytes m(base.begin(), base.begin() + std::ptrdiff_t(headerSize));
    m.resize(headerSize + own, 0);
    m.insert(m.end(), base.begin() + std::ptrdiff_t(headerSize), base.end());
    putI32(m, 4, std::int32_t(headerSize + own));
    putI32(m, 48, std::int32_t(m.size()));
    // A header of mostly zeros codes short, so the bytes of its own come early in the coding.
    std::fill(m.begin() + 8, m.begin() + 40, 0);
    std::fill(m.begin() + 88, m.begin() + std::ptrdiff_t(headerSize), 0);
    Bytes wanted = compress(Bytes(m.begin(), m.begin() + std::ptrdiff_t(headerSize)));
    EXPECT_LT(wanted.size(), at);
    wanted.resize(at, 0);
    for (std::uint8_t b : {'E', 'M', 'F', '\0'}) {
        wanted.push_back(b);
    }
    wanted.resize(wanted.size() + own * 2, 0);
    const Bytes decoded = expand(wanted, headerSize + own);
    std::copy(decoded.begin() + std::ptrdiff_t(headerSize), decoded.end(),
              m.begin() + std::ptrdiff_t(headerSize));
    return m;
}

TEST_F(PageStore, TheFormIsToldByItsRecordsNotByCodedBytesThatLookLikeASignature) {
    // The coder's bytes start 140 bytes into a file of the current form, 136 into an old one;
    // the signature of an uncompressed first page lies at 177 and 173.
    for (std::size_t at : {std::size_t(173 - 140), std::size_t(177 - 136)}) {
        const Bytes m = pageCodedWithEmfAt(at);
        ASSERT_NO_THROW(Metafile{m});
        const Bytes coded = compress(m);
        ASSERT_EQ(Bytes(coded.begin() + std::ptrdiff_t(at), coded.begin() + std::ptrdiff_t(at + 4)),
                  (Bytes{'E', 'M', 'F', 0}));
        for (const auto& [header, size] :
             {std::pair{handHeader(1, true), 128}, std::pair{oldHeader(1, true), 124}}) {
            writeFile(dir_ / "page.fpr", withRecords(header, {compressedData(m, coded)}));
            TRptPageList list;
            try {
                list.LoadFromFile(dir_ / "page.fpr");
            } catch (const std::exception& e) {
                ADD_FAILURE() << "coded EMF at " << at << ", header " << size << ": " << e.what();
                continue;
            }
            EXPECT_EQ(list.HeaderSize(), size);
            EXPECT_EQ(list.GetPage(1)->Bytes(), m);
        }
    }
}

TEST_F(PageStore, APageThatCannotBeReadLeavesTheOthersReadable) {
    // A metafile whose first record after the header has a size no record can have.
    Bytes broken = page(2).Bytes();
    putI32(broken, std::size_t(getI32(broken, 4)) + 4, 5);
    const Bytes coded = compress(page(2).Bytes());
    struct Case {
        const char* name;
        bool compressed;
        Bytes second;
    };
    const std::vector<Case> cases = {
        {"metafile records broken", false, broken},
        {"metafile records broken, compressed", true, compressedData(broken, compress(broken))},
        {"coder's bits end early", true,
         compressedData(page(2).Bytes(),
                        Bytes(coded.begin(), coded.begin() + std::ptrdiff_t(coded.size() / 2)))},
    };
    for (const auto& c : cases) {
        auto data = [&](int n) {
            const Bytes b = page(n).Bytes();
            return c.compressed ? compressedData(b, compress(b)) : b;
        };
        writeFile(dir_ / "three.fpr",
                  withRecords(handHeader(3, c.compressed), {data(1), c.second, data(3)}));
        TRptPageList list;
        list.LoadFromFile(dir_ / "three.fpr");
        for (int n : {1, 2, 3, 2, 1, 2, 2, 3}) {
            SCOPED_TRACE(std::string(c.name) + ", page " + std::to_string(n));
            if (n == 2) {
                try {
                    list.GetPage(n);
                    ADD_FAILURE() << "the broken page was read";
                } catch (const ERptError& e) {
                    EXPECT_STREQ(e.what(), RptText(rtxtInvalidReportFile));
                }
                continue;
            }
            try {
                const auto p = list.GetPage(n);
                ASSERT_TRUE(p);
                EXPECT_EQ(p->Bytes(), page(n).Bytes());
            } catch (const std::exception& e) {
                ADD_FAILURE() << e.what();
            }
        }
    }
}

TEST_F(PageStore, ACompressedPageDecodesFromItsOwnBytesWhereverItStands) {
    // Pages whose coder's bytes lack their last one: the bits still wanted must not come from
    // the link that follows, so every arrangement refuses them alike.
    for (int marker = 1; marker <= 24; ++marker) {
        const Bytes p = page(marker).Bytes();
        const Bytes coded = compress(p);
        const Bytes cut = compressedData(p, Bytes(coded.begin(), coded.end() - 1));
        const std::vector<std::pair<const char*, Bytes>> files = {
            {"alone", withRecords(handHeader(1, true), {cut})},
            {"alone behind the old header", withRecords(oldHeader(1, true), {cut})},
            {"twice", withRecords(handHeader(2, true), {cut, cut})},
            {"behind an intact page",
             withRecords(handHeader(2, true), {compressedData(p, coded), cut})},
        };
        for (const auto& [name, bytes] : files) {
            writeFile(dir_ / "cut.fpr", bytes);
            TRptPageList list;
            EXPECT_THROW(list.LoadFromFile(dir_ / "cut.fpr"), ERptError)
                << "page " << marker << " " << name;
        }
        // The intact page itself reads the same at every place.
        for (const Bytes& whole : {withRecords(handHeader(2, true), {compressedData(p, coded),
                                                                     compressedData(p, coded)}),
                                   withRecords(oldHeader(2, true), {compressedData(p, coded),
                                                                    compressedData(p, coded)})}) {
            writeFile(dir_ / "whole.fpr", whole);
            TRptPageList list;
            list.LoadFromFile(dir_ / "whole.fpr");
            EXPECT_EQ(list.GetPage(1)->Bytes(), p);
            EXPECT_EQ(list.GetPage(2)->Bytes(), p);
        }
    }
}

TEST_F(PageStore, RefusesFilesThatLieAndKeepsThePagesShown) {
    const Bytes good = fileBytes(writeRun(3, false, "good.fpr"));
    const Bytes goodCompressed = fileBytes(writeRun(3, true, "goodc.fpr"));
    const std::size_t r1 = 128;
    const std::size_t r2 = std::size_t(getI32(good, r1 + 4));
    struct Damage {
        const char* name;
        bool compressed;
        std::function<void(Bytes&)> apply;
    };
    const std::vector<Damage> damages = {
        {"truncated", false, [](Bytes& b) { b.erase(b.end() - 10, b.end()); }},
        {"header word", false, [](Bytes& b) { b[0] = 4; }},
        {"page number 0", false, [=](Bytes& b) { putI32(b, r1, 0); }},
        {"end before start", false, [=](Bytes& b) { putI32(b, r1 + 4, 100); }},
        {"end beyond the file", false, [=](Bytes& b) { putI32(b, r2 + 4, 1 << 30); }},
        {"back link elsewhere", false, [=](Bytes& b) { putI32(b, r2 - 4, 4); }},
        {"count 0 with records", false, [](Bytes& b) { putI32(b, 8, 0); }},
        {"count far too large", false, [](Bytes& b) { putI32(b, 8, 1000000000); }},
        {"count negative", false, [](Bytes& b) { putI32(b, 8, -1); }},
        {"count larger than the records", false, [](Bytes& b) { putI32(b, 8, 4); }},
        {"metafile length lies", false, [=](Bytes& b) { putI32(b, r1 + 8 + 48, 5000); }},
        {"compressed length huge", true, [=](Bytes& b) { putI32(b, r1 + 8, 0x7FFFFFFF); }},
        {"not a page file", false, [](Bytes& b) { b.assign(300, 'x'); }},
        {"header only half", false, [](Bytes& b) { b.resize(60); }},
    };
    TRptPageList list;
    list.LoadFromFile(dir_ / "good.fpr");
    for (const auto& d : damages) {
        Bytes bytes = d.compressed ? goodCompressed : good;
        d.apply(bytes);
        writeFile(dir_ / "bad.fpr", bytes);
        try {
            list.LoadFromFile(dir_ / "bad.fpr");
            ADD_FAILURE() << d.name << " was accepted";
        } catch (const ERptError& e) {
            EXPECT_STREQ(e.what(), RptText(rtxtInvalidReportFile)) << d.name;
        }
        EXPECT_EQ(list.PageCount, 3) << d.name;
        EXPECT_FALSE(list.Compression) << d.name;
        EXPECT_EQ(list.GetPage(2)->Bytes(), page(2).Bytes()) << d.name;
    }
    EXPECT_THROW(list.LoadFromFile(dir_ / "missing.fpr"), platform::text::IoError);
}

TEST_F(PageStore, SavingOntoTheLoadedFileKeepsItReadable) {
    const auto path = writeRun(3, true, "same.fpr");
    const Bytes before = fileBytes(path);
    TRptPageList list;
    list.LoadFromFile(path);
    list.SaveToFile(path);
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(list.GetPage(3)->Bytes(), page(3).Bytes());
}

class FakeTree : public TRptOutlineView {
public:
    void Clear() override { nodes.clear(); }
    int AddNode(int parent, const std::string& caption) override {
        nodes.emplace_back(parent, caption);
        return int(nodes.size()) - 1;
    }
    std::vector<std::pair<int, std::string>> nodes;
};

TEST(RptOutline, BuildsTheTreeByLevelsAndFindsEntries) {
    TRptOutline outline;
    outline.Add({"Report", 0, {0, 0, 10, 10}, 1, 7});
    outline.Add({"Chapter", 1, {}, 1, 8});
    outline.Add({"Detail", 2, {1, 2, 3, 4}, 2, 9});
    outline.Add({"Next", 1, {}, 3, 10});
    outline.Add({"Orphan", 5, {}, 3, 11});
    outline.Add({std::string(60, 'c'), 0, {}, 4, 12});
    FakeTree tree;
    outline.SetTreeView(&tree);
    const std::vector<std::pair<int, std::string>> expected = {
        {-1, "Report"}, {0, "Chapter"}, {1, "Detail"},
        {0, "Next"},    {-1, "Orphan"}, {-1, std::string(51, 'c')}};
    EXPECT_EQ(tree.nodes, expected);
    platform::gfx::TRect r;
    std::int32_t pageNo = -1;
    outline.Find(9, r, pageNo);
    EXPECT_EQ(r, (platform::gfx::TRect{1, 2, 3, 4}));
    EXPECT_EQ(pageNo, 2);
    outline.Find(99, r, pageNo);
    EXPECT_EQ(r, platform::gfx::TRect{});
    EXPECT_EQ(pageNo, 0);
}

} // namespace
