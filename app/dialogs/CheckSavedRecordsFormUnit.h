// The modal list in which the user ticks the records a save writes. The caller fills it before
// each use and reads the ticks back after OK.
#pragma once

#include <QDialog>

#include <memory>
#include <string>

namespace Ui {
class CheckSavedRecordsForm;
}

class QListWidget;

namespace app {

class TCheckSavedRecordsForm : public QDialog {
public:
    explicit TCheckSavedRecordsForm(QWidget* parent = nullptr);
    ~TCheckSavedRecordsForm() override;

    // Texts are Windows-1251.
    void SetCaption(const std::string& cp1251);
    void SetListHint(const std::string& cp1251);
    void ClearItems();
    void AddItem(const std::string& cp1251, bool ticked);
    int ItemCount() const;
    // False for an index outside the list.
    bool IsTicked(int index) const;
    void SetTicked(int index, bool ticked);

    QListWidget* List() const;

private:
    std::unique_ptr<Ui::CheckSavedRecordsForm> ui_;
};

} // namespace app
