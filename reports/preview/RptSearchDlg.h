// The search dialog of the preview: the text to look for and whether its case must match. It
// yields them only when closed with Search; Cancel or the window's close yield nothing.
#pragma once

#include <QDialog>
#include <QString>

#include <memory>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
namespace Ui {
class TSearchDlg;
}

struct TRptSearchRequest {
    QString text;
    bool matchCase = false;
};

class TSearchDlg : public QDialog {
public:
    explicit TSearchDlg(QWidget* parent = nullptr);
    ~TSearchDlg() override;

    QLineEdit* Edit1;
    QCheckBox* CheckBox1;
    QPushButton* SpeedButton2; // Search
    QPushButton* SpeedButton1; // Cancel
    QLabel* Label1;
    bool Cancelled = true;

    void SpeedButton2Click();
    void SpeedButton1Click();
    // What the dialog yields once closed.
    std::optional<TRptSearchRequest> Result() const;

private:
    std::unique_ptr<Ui::TSearchDlg> ui_;
};

// Shows the dialog modally over `parent`.
std::optional<TRptSearchRequest> RunSearchDialog(QWidget* parent);
