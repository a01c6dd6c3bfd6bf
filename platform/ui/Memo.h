// The few operations the text-fitting routine needs of a multi-line edit control. The Qt adapter
// lives with the dialogs; tests use a plain in-memory memo.
#pragma once

#include <string>
#include <vector>

namespace platform::ui {

class Memo {
public:
    virtual ~Memo() = default;

    // The whole text, Windows-1251, lines separated by CR LF.
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;

    // The control's user tag; the fitting routine uses it as a re-entry marker.
    virtual long tag() const = 0;
    virtual void setTag(long tag) = 0;

    // The memo's line list (lines separated by CR LF; a text ending in CR LF has no empty last
    // line).
    virtual int lineCount() const = 0;
    virtual void deleteLine(int index) = 0;

    virtual void moveCaretToEnd() = 0;
    virtual void setSelectionLength(int length) = 0;
};

// A memo held in memory.
class TextMemo : public Memo {
public:
    std::string text() const override { return text_; }
    void setText(const std::string& text) override;
    long tag() const override { return tag_; }
    void setTag(long tag) override { tag_ = tag; }
    int lineCount() const override;
    void deleteLine(int index) override;
    void moveCaretToEnd() override { caret_ = static_cast<int>(text_.size()); }
    void setSelectionLength(int length) override { selectionLength_ = length; }

    int caret() const { return caret_; }
    int selectionLength() const { return selectionLength_; }
    int setTextCalls() const { return setTextCalls_; }

    // The text split into its lines as the control shows them.
    static std::vector<std::string> splitLines(const std::string& text);
    static std::string joinLines(const std::vector<std::string>& lines);

private:
    std::string text_;
    long tag_ = 0;
    int caret_ = 0;
    int selectionLength_ = 0;
    int setTextCalls_ = 0;
};

} // namespace platform::ui
