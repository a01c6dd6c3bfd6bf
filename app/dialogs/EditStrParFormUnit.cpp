#include "app/dialogs/EditStrParFormUnit.h"

#include "app/Texts.h"
#include "platform/text/Cp1251.h"
#include "ui_EditStrParForm.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QValidator>

#include <algorithm>

namespace app {

char FilterKeyChar(char c, const std::string& allowed, const std::string& mapFrom,
                   const std::string& mapTo) {
    if (allowed.empty() || allowed.find(c) != std::string::npos) {
        return c;
    }
    const size_t at = mapFrom.find(c);
    if (at != std::string::npos && at < mapTo.size()) {
        return mapTo[at];
    }
    return '\0';
}

char UpperCaseCp1251(char c) {
    const char32_t cp = platform::text::cp1251ToCodePoint(static_cast<unsigned char>(c));
    const char32_t upper = QChar::toUpper(cp);
    unsigned char byte = 0;
    if (upper != cp && platform::text::codePointToCp1251(upper, byte)) {
        return static_cast<char>(byte);
    }
    return c;
}

// The key filter for text entering the field, shown upper case; a character the code page cannot
// hold is dropped like one the filter drops. `pos` (when given) is moved with the characters
// before it.
QString TEditStrParForm::FilterText(const QString& text, int* pos) const {
    QString out;
    int outPos = 0;
    int index = 0;
    for (const char32_t cp : text.toUcs4()) {
        unsigned char byte = 0;
        char key = '\0';
        if (platform::text::codePointToCp1251(cp, byte)) {
            key = static_cast<char>(byte);
            FormKeyPress(key);
        }
        if (key != '\0') {
            const QString shown = toQt(std::string(1, UpperCaseCp1251(key)));
            out += shown;
            if (pos && index < *pos) {
                outPos += static_cast<int>(shown.size());
            }
        }
        index += QChar::requiresSurrogates(cp) ? 2 : 1;
    }
    if (pos) {
        *pos = outPos;
    }
    return out;
}

// Pasted and composed text reaches the field through its validator, so the filter sits there
// too. Editing keys change no character and so always reach the field.
class TEditStrParForm::KeyFilter : public QValidator {
public:
    KeyFilter(const TEditStrParForm* form, QObject* parent) : QValidator(parent), form_(form) {}

    State validate(QString& input, int& pos) const override {
        input = form_->FilterText(input, &pos);
        return Acceptable;
    }

private:
    const TEditStrParForm* form_;
};

TEditStrParForm::TEditStrParForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui_(std::make_unique<Ui::EditStrParForm>()) {
    ui_->setupUi(this);
    setFixedSize(286, 113);
    ui_->ParamAdjStrEdit->setValidator(new KeyFilter(this, ui_->ParamAdjStrEdit));
    ui_->ParamAdjStrEdit->installEventFilter(this);
    connect(ui_->ParamAdjStrEdit, &QLineEdit::textEdited, this, [this] { edited_ = true; });
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    ClearAllowedChars();
}

TEditStrParForm::~TEditStrParForm() = default;

void TEditStrParForm::ClearAllowedChars() {
    allowedChars_.clear();
}

void TEditStrParForm::AddAllowedChars(const std::string& chars) {
    allowedChars_ += chars;
}

void TEditStrParForm::ClearCharMappings() {
    mapFromChars_.clear();
    mapToChars_.clear();
}

void TEditStrParForm::AddCharMapping(char from, char to) {
    mapFromChars_ += from;
    mapToChars_ += to;
}

void TEditStrParForm::FormKeyPress(char& key) const {
    key = FilterKeyChar(key, allowedChars_, mapFromChars_, mapToChars_);
}

void TEditStrParForm::SetCaption(const std::string& cp1251) {
    setWindowTitle(toQt(cp1251));
}

void TEditStrParForm::SetLabelText(const std::string& cp1251) {
    ui_->ParamNameLabel->setText(toQt(cp1251));
}

void TEditStrParForm::SetMaxLength(int length) {
    ui_->ParamAdjStrEdit->setMaxLength(length);
}

void TEditStrParForm::SetEditText(const std::string& cp1251) {
    ui_->ParamAdjStrEdit->setText(toQt(cp1251));
    edited_ = false;
}

bool TEditStrParForm::eventFilter(QObject* watched, QEvent* event) {
    // A typed character is filtered before the field sees it, so the field inserts the result as
    // its own edit (the validator would find nothing to change and the edit stays undoable).
    if (watched == ui_->ParamAdjStrEdit && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString typed = key->text();
        const bool printable = !typed.isEmpty() && typed.front().isPrint() &&
                               !(key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
        if (printable) {
            const QString kept = FilterText(typed, nullptr);
            if (kept != typed) {
                if (!kept.isEmpty()) {
                    ui_->ParamAdjStrEdit->insert(kept);
                }
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

std::string TEditStrParForm::EditText() const {
    return fromQt(ui_->ParamAdjStrEdit->text());
}

QLineEdit* TEditStrParForm::Edit() const {
    return ui_->ParamAdjStrEdit;
}

QRect TEditStrParForm::EditFieldRect() const {
    const QRect field = ui_->ParamAdjStrEdit->geometry();
    return field.translated(ui_->Panel1->pos());
}

TEditStrParResult TEditStrParForm::Run(TEditStrParForm& form, const std::string& label,
                                       const std::string& text, int maxLength, QPoint position) {
    form.SetLabelText(label);
    form.SetMaxLength(maxLength);
    form.SetEditText(text);
    form.Edit()->selectAll();
    form.Edit()->setFocus();

    // A dialog placed at the mouse near a screen edge would open partly off the screen.
    const QScreen* screen = QGuiApplication::screenAt(position);
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen) {
        const QRect area = screen->availableGeometry();
        position.setX(std::clamp(position.x(), area.left(),
                                 std::max(area.left(), area.right() + 1 - form.width())));
        position.setY(std::clamp(position.y(), area.top(),
                                 std::max(area.top(), area.bottom() + 1 - form.height())));
    }
    form.move(position);

    TEditStrParResult result;
    result.accepted = form.exec() == QDialog::Accepted;
    result.text = text;
    if (result.accepted && form.edited_) {
        result.text = form.EditText();
        result.changed = result.text != text;
    }
    return result;
}

} // namespace app
