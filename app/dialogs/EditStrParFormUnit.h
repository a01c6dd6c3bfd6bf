// The small modal editor for one text parameter (a configuration's name). A key filter keeps what
// is typed inside a character set, turning characters it does not hold into their partners
// (lower case into upper case); the field shows everything in upper case.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>

#include <memory>
#include <string>

namespace Ui {
class EditStrParForm;
}

class QLineEdit;

namespace app {

// The key filter for one typed character (Windows-1251): unchanged when `allowed` is empty or
// holds it; else its partner in `mapTo` at its first position in `mapFrom`; else '\0' (dropped).
char FilterKeyChar(char c, const std::string& allowed, const std::string& mapFrom,
                   const std::string& mapTo);

// The upper-case form of a Windows-1251 character; characters whose upper case the code page
// does not hold stay as they are.
char UpperCaseCp1251(char c);

struct TEditStrParResult {
    bool accepted = false;
    // Accepted with a text that differs from the one given; a confirmation without an edit is
    // no change.
    bool changed = false;
    // The edited text (Windows-1251); the text given when nothing was edited.
    std::string text;
};

class TEditStrParForm : public QDialog {
public:
    explicit TEditStrParForm(QWidget* parent = nullptr);
    ~TEditStrParForm() override;

    void ClearAllowedChars();
    void AddAllowedChars(const std::string& chars);
    void ClearCharMappings();
    void AddCharMapping(char from, char to);
    // The key filter with this dialog's characters; a dropped key becomes '\0'.
    void FormKeyPress(char& key) const;

    const std::string& AllowedChars() const { return allowedChars_; }
    const std::string& MapFromChars() const { return mapFromChars_; }
    const std::string& MapToChars() const { return mapToChars_; }

    void SetCaption(const std::string& cp1251);
    void SetLabelText(const std::string& cp1251);
    void SetMaxLength(int length);
    void SetEditText(const std::string& cp1251);
    std::string EditText() const;

    QLineEdit* Edit() const;
    // Where the edit field lies in the dialog, so a caller can place the field at a point.
    QRect EditFieldRect() const;

    // Shows the dialog modally with its top-left corner at `position` (kept on the screen), the
    // label, the text and the field's maximum length, and answers what the user confirmed.
    static TEditStrParResult Run(TEditStrParForm& form, const std::string& label,
                                 const std::string& text, int maxLength, QPoint position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class KeyFilter;

    QString FilterText(const QString& text, int* pos) const;

    std::unique_ptr<Ui::EditStrParForm> ui_;
    std::string allowedChars_;
    std::string mapFromChars_;
    std::string mapToChars_;
    bool edited_ = false;
};

} // namespace app
