#include "platform/ui/FileDialogs.h"

#include "platform/driver/DriverLocation.h"
#include "platform/ui/QtMessageBoxes.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QRegularExpression>

#include <algorithm>

namespace platform::ui {

namespace {

class CancellingFileDialogs : public FileDialogService {
public:
    FileDialogAnswer run(const FileDialogRequest& request) override {
        return {false, {}, request.filterIndex};
    }
};

FileDialogService*& installed() {
    static FileDialogService* service = nullptr;
    return service;
}

QStringList splitPatterns(const QString& field) {
    static const QRegularExpression separators(QStringLiteral("[;\\s]+"));
    return field.split(separators, Qt::SkipEmptyParts);
}

} // namespace

FileDialogService& fileDialogs() {
    static CancellingFileDialogs fallback;
    FileDialogService* s = installed();
    return s ? *s : fallback;
}

void setFileDialogService(FileDialogService* service) {
    installed() = service;
}

FileDialogAnswer ScriptedFileDialogs::run(const FileDialogRequest& request) {
    requests.push_back(request);
    if (answers.empty()) {
        return {false, {}, request.filterIndex};
    }
    FileDialogAnswer a = answers.front();
    answers.pop_front();
    return a;
}

ScopedFileDialogService::ScopedFileDialogService(FileDialogService* service)
    : previous_(installed()) {
    installed() = service;
}

ScopedFileDialogService::~ScopedFileDialogService() {
    installed() = previous_;
}

std::vector<FileType> parseFileFilter(const std::string& cp1251) {
    const QStringList fields = displayText(cp1251).split(QLatin1Char('|'));
    std::vector<FileType> types;
    for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
        FileType t{fields[i], splitPatterns(fields[i + 1])};
        if (t.patterns.isEmpty()) {
            t.patterns << QStringLiteral("*");
        }
        types.push_back(std::move(t));
    }
    return types;
}

QStringList qtNameFilters(const std::vector<FileType>& types) {
    // A description already ending in its own pattern list, in whichever separators, keeps it in
    // the space-separated form Qt reads.
    static const QRegularExpression trailingList(QStringLiteral("^(.*)\\(([^()]*)\\)$"));
    QStringList result;
    for (const FileType& t : types) {
        const QString joined = t.patterns.join(QLatin1Char(' '));
        QString description = t.description.trimmed();
        const QRegularExpressionMatch m = trailingList.match(description);
        QString name;
        if (m.hasMatch() && splitPatterns(m.captured(2)) == t.patterns) {
            name = m.captured(1) + QLatin1Char('(') + joined + QLatin1Char(')');
        } else {
            name = (description.isEmpty() ? joined : description) + QStringLiteral(" (") + joined +
                   QLatin1Char(')');
        }
        // The dialog answers with the chosen filter's text; an invisible mark before the pattern
        // list keeps two equal-looking entries apart.
        while (result.contains(name)) {
            const qsizetype open = name.lastIndexOf(QLatin1Char('('));
            name.insert(open, QChar(0x200B));
        }
        result << name;
    }
    return result;
}

int nameFilterIndex(const QStringList& nameFilters, const QString& selected) {
    const qsizetype i = nameFilters.indexOf(selected);
    return i < 0 ? 0 : static_cast<int>(i) + 1;
}

FileDialogAnswer QtFileDialogs::run(const FileDialogRequest& request) {
    const QStringList filters = qtNameFilters(parseFileFilter(request.filter));
    int index = request.filterIndex;
    if (index < 1 || index > filters.size()) {
        index = 1;
    }

    QFileDialog dialog(QApplication::activeWindow(), displayText(request.title),
                       QFile::decodeName(request.initialDir.native().c_str()));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // An open dialog also answers a name that does not exist: the program tells the user so in
    // its own words and language.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setDefaultSuffix(QString());
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters[index - 1]);
    }

    FileDialogAnswer answer{false, {}, request.filterIndex};
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return answer;
    }
    answer.accepted = true;
    answer.file =
        std::filesystem::path(QFile::encodeName(dialog.selectedFiles().front()).toStdString());
    const int chosen = nameFilterIndex(filters, dialog.selectedNameFilter());
    answer.filterIndex = chosen > 0 ? chosen : index;
    return answer;
}

std::filesystem::path examplesFolder(const std::filesystem::path& programFolder) {
    if (programFolder.empty()) {
        return {};
    }
    return programFolder / "examples";
}

std::filesystem::path examplesFolder() {
    const auto folder = driver::programFolder();
    return folder ? examplesFolder(folder.value()) : std::filesystem::path{};
}

} // namespace platform::ui
