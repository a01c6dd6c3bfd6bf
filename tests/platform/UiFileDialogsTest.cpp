#include "UiTestSupport.h"
#include "platform/driver/DriverLocation.h"
#include "platform/ui/FileDialogs.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

using namespace platform::ui;

TEST(FileFilter, ConvertsBarSeparatedFiltersToDistinctQtNameFilters) {
    struct Case {
        const char* name;
        std::string filter;
        QStringList expected;
    };
    const QString zw(QChar(0x200B));
    const std::vector<Case> cases = {
        {"save pair, same pattern",
         "A-scan files(*.dtf) |*.dtf|A-scan files Ksn2(*.dtf) |*.dtf",
         {"A-scan files(*.dtf)", "A-scan files Ksn2(*.dtf)"}},
        {"open single", "Configuration files(*.ctf) |*.ctf", {"Configuration files(*.ctf)"}},
        {"description without patterns", "All|*.*", {"All (*.*)"}},
        {"semicolon list", "Pictures(*.bmp;*.jpg)|*.bmp;*.jpg", {"Pictures(*.bmp *.jpg)"}},
        {"description names other patterns", "Files (*.a)|*.b", {"Files (*.a) (*.b)"}},
        {"empty description", "|*.x", {"*.x (*.x)"}},
        {"empty pattern field", "Anything|", {"Anything (*)"}},
        {"identical entries", "Same(*.x)|*.x|Same(*.x)|*.x", {"Same(*.x)", "Same" + zw + "(*.x)"}},
        {"Windows-1251 description",
         "\xd4\xe0\xe9\xeb\xfb(*.dtf) |*.dtf",
         {QString::fromUtf8("Файлы(*.dtf)")}},
        {"empty", "", {}},
        {"description left without pattern field", "A(*.a)|*.a|Orphan", {"A(*.a)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList filters = qtNameFilters(parseFileFilter(c.filter));
        EXPECT_EQ(filters, c.expected);
        for (qsizetype i = 0; i < filters.size(); ++i) {
            EXPECT_EQ(nameFilterIndex(filters, filters[i]), i + 1) << "every entry maps back";
        }
        EXPECT_EQ(nameFilterIndex(filters, QStringLiteral("Other (*.o)")), 0);
    }
}

TEST(ScriptedFileDialogs, RecordsRequestsAndAnswersFromTheQueueThenCancels) {
    EXPECT_FALSE(fileDialogs().run({true, "t", "A|*.a", 2, "/tmp"}).accepted)
        << "nothing installed: cancelled";
    ScriptedFileDialogs scripted;
    scripted.answers.push_back({true, "/data/one.dtf", 2});
    {
        ScopedFileDialogService guard(&scripted);
        const FileDialogAnswer first = fileDialogs().run({true, "Save", "A|*.a|B|*.a", 1, "/x"});
        EXPECT_TRUE(first.accepted);
        EXPECT_EQ(first.file, std::filesystem::path("/data/one.dtf"));
        EXPECT_EQ(first.filterIndex, 2);
        const FileDialogAnswer second = fileDialogs().run({false, "Open", "A|*.a", 1, "/y"});
        EXPECT_FALSE(second.accepted);
        EXPECT_TRUE(second.file.empty());
    }
    ASSERT_EQ(scripted.requests.size(), 2u);
    EXPECT_TRUE(scripted.requests[0].save);
    EXPECT_EQ(scripted.requests[0].filter, "A|*.a|B|*.a");
    EXPECT_FALSE(scripted.requests[1].save);
    EXPECT_EQ(scripted.requests[1].initialDir, std::filesystem::path("/y"));
    EXPECT_FALSE(fileDialogs().run({}).accepted) << "the guard put the default back";
    EXPECT_EQ(scripted.requests.size(), 2u);
}

TEST(ExamplesFolder, IsBesideTheProgram) {
    EXPECT_EQ(examplesFolder("/opt/tb"), std::filesystem::path("/opt/tb/examples"));
    EXPECT_TRUE(examplesFolder(std::filesystem::path{}).empty());
    const auto folder = platform::driver::programFolder();
    ASSERT_TRUE(folder.ok());
    EXPECT_EQ(examplesFolder(), folder.value() / "examples");
}

// The real dialog on the offscreen platform: it starts in the asked folder with the asked type,
// saves over an existing file without asking, appends no suffix and reports the chosen type.
TEST(QtFileDialogs, SaveStartsInTheFolderAndAnswersTheTypedNameAndChosenType) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("tb_filedlg_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "old.dtf") << "x";

    struct Seen {
        QString directory;
        QStringList filters;
        QString selectedFilter;
        bool confirmOverwrite = true;
        QString suffix = "unset";
        QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    };
    QtFileDialogs dialogs;
    // A new name comes back as typed; an existing file is taken without an overwrite question.
    for (const char* typed : {"new", "old.dtf"}) {
        SCOPED_TRACE(typed);
        Seen seen;
        tbtest::DialogScript<QFileDialog> script([&](QFileDialog& d) {
            seen.directory = d.directory().absolutePath();
            seen.filters = d.nameFilters();
            seen.selectedFilter = d.selectedNameFilter();
            seen.confirmOverwrite = !d.testOption(QFileDialog::DontConfirmOverwrite);
            seen.suffix = d.defaultSuffix();
            seen.mode = d.acceptMode();
            d.selectNameFilter(d.nameFilters().at(0));
            auto* edit = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(edit, nullptr);
            edit->setText(QString::fromLatin1(typed));
            static_cast<QDialog&>(d).accept(); // the file dialog's own check of the name runs
        });
        const FileDialogAnswer a = dialogs.run({true, "Save A-scans",
                                                "A-scan files(*.dtf) |*.dtf|A-scan files "
                                                "Ksn2(*.dtf) |*.dtf",
                                                2, dir});
        ASSERT_TRUE(script.found());
        EXPECT_FALSE(script.timedOut()) << "an overwrite question would have kept it open";
        EXPECT_EQ(seen.directory, QString::fromStdString(dir.string()));
        EXPECT_EQ(seen.filters, (QStringList{"A-scan files(*.dtf)", "A-scan files Ksn2(*.dtf)"}));
        EXPECT_EQ(seen.selectedFilter, QStringLiteral("A-scan files Ksn2(*.dtf)"));
        EXPECT_FALSE(seen.confirmOverwrite);
        EXPECT_TRUE(seen.suffix.isEmpty());
        EXPECT_EQ(seen.mode, QFileDialog::AcceptSave);
        EXPECT_TRUE(a.accepted);
        EXPECT_EQ(a.file, dir / typed) << "the program appends the extension itself";
        EXPECT_EQ(a.filterIndex, 1);
    }

    // Opening answers a name that does not exist (the program reports it); cancelling answers
    // nothing and keeps the asked type.
    tbtest::DialogScript<QFileDialog> open([](QFileDialog& d) {
        d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText("missing.btf");
        static_cast<QDialog&>(d).accept();
    });
    const FileDialogAnswer o = dialogs.run({false, "Open", "B(*.btf) |*.btf", 1, dir});
    EXPECT_TRUE(o.accepted);
    EXPECT_EQ(o.file, dir / "missing.btf");
    tbtest::DialogScript<QFileDialog> cancel([](QFileDialog& d) { d.reject(); });
    const FileDialogAnswer c = dialogs.run({false, "Open", "B(*.btf) |*.btf", 1, dir});
    ASSERT_TRUE(open.found() && cancel.found());
    EXPECT_FALSE(c.accepted);
    EXPECT_EQ(c.filterIndex, 1);
    std::filesystem::remove_all(dir);
}
