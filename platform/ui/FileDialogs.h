// The open and save file dialogs behind a small interface: the program installs the Qt dialogs,
// tests install a scripted version that records every request and answers from a script. Filters
// keep the program's own form, description and pattern pairs joined by vertical bars
// ("A-scan files(*.dtf) |*.dtf|A-scan files Ksn2(*.dtf) |*.dtf"), with 1-based filter indexes.
#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

namespace platform::ui {

struct FileDialogRequest {
    bool save = false;
    std::string title;  // Windows-1251
    std::string filter; // Windows-1251, "description|pattern|description|pattern..."
    int filterIndex = 1;
    std::filesystem::path initialDir;
};

struct FileDialogAnswer {
    bool accepted = false;
    std::filesystem::path file;
    int filterIndex = 1; // the file type the user chose, 1-based
};

class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    virtual FileDialogAnswer run(const FileDialogRequest& request) = 0;
};

// The installed service; without one, every dialog is cancelled.
FileDialogService& fileDialogs();

// Installs a service (not owned); nullptr restores the default.
void setFileDialogService(FileDialogService* service);

// Records every request; answers come from the queue, then a cancelled dialog.
class ScriptedFileDialogs : public FileDialogService {
public:
    FileDialogAnswer run(const FileDialogRequest& request) override;

    std::vector<FileDialogRequest> requests;
    std::deque<FileDialogAnswer> answers;
};

// Installs a service for the lifetime of the guard and restores the previous one afterwards.
class ScopedFileDialogService {
public:
    explicit ScopedFileDialogService(FileDialogService* service);
    ~ScopedFileDialogService();
    ScopedFileDialogService(const ScopedFileDialogService&) = delete;
    ScopedFileDialogService& operator=(const ScopedFileDialogService&) = delete;

private:
    FileDialogService* previous_;
};

// One file type of a bar-separated filter.
struct FileType {
    QString description; // as given, blanks included
    QStringList patterns;
};

// The file types of a bar-separated filter (Windows-1251). Patterns of one type are separated by
// semicolons; a description without its pattern field is dropped.
std::vector<FileType> parseFileFilter(const std::string& cp1251);

// Qt's name filters for the types, one per type and in order. Qt takes the patterns from the
// parenthesised list at the end of a name filter, so the description is trimmed and given the
// type's real patterns there unless it already ends with exactly them. Types that would read the
// same are told apart by their position, so every name filter is distinct.
QStringList qtNameFilters(const std::vector<FileType>& types);

// The 1-based index of a name filter in the list, 0 when it is not one of them.
int nameFilterIndex(const QStringList& nameFilters, const QString& selected);

// The real thing: Qt's file dialog, modal, starting in the request's folder, with no overwrite
// question, no suffix appended and no check that an opened file exists (the program checks names
// and extensions itself).
class QtFileDialogs : public FileDialogService {
public:
    FileDialogAnswer run(const FileDialogRequest& request) override;
};

// The folder the file dialogs start in: `examples` beside the program. Empty when the program's
// own folder cannot be found.
std::filesystem::path examplesFolder();
std::filesystem::path examplesFolder(const std::filesystem::path& programFolder);

} // namespace platform::ui
