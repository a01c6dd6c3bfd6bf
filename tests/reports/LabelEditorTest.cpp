// The settings forms of the label and expression controls: filled from the settings and read
// back, every field taken on OK, nothing on Cancel, and nothing at all when a size is not a
// number; the expression form's builder button.
#include "platform/text/Numbers.h"
#include "reports/preview/RptExpressionBuilder.h"
#include "reports/preview/RptLabelEditor.h"
#include "ui_RptExprEditorForm.h"
#include "ui_RptExpressionBuilder.h"
#include "ui_RptLabelEditorForm.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const TRptLabelSettings kLabel{"Gain", 120, 25.4, true, false, true, "0.0"};

bool operator==(const TRptLabelSettings& a, const TRptLabelSettings& b) {
    return a.Text == b.Text && a.Width == b.Width && a.Height == b.Height &&
           a.AutoSize == b.AutoSize && a.AutoStretch == b.AutoStretch &&
           a.Transparent == b.Transparent && a.Mask == b.Mask;
}

TEST(LabelEditor, FillsAndTakesEveryField) {
    TRptLabelEditorForm form;
    Ui::TRptLabelEditorForm& f = form.Form();
    EXPECT_EQ(form.windowTitle(), "Text Settings");
    form.Fill(kLabel);
    EXPECT_EQ(f.Value->text(), "Gain");
    EXPECT_EQ(f.Width->text(), "120");
    EXPECT_EQ(f.Height->text(), "25.4");
    EXPECT_TRUE(f.AutoSize->isChecked());
    EXPECT_FALSE(f.Stretch->isChecked());
    EXPECT_TRUE(f.Transparent->isChecked());
    TRptLabelSettings s = kLabel;
    form.Apply(s);
    EXPECT_TRUE(s == kLabel); // an unchanged form gives back what it was given
    f.Value->setText("Range");
    f.Width->setText("200");
    f.Height->setText("30.5");
    f.AutoSize->setChecked(false);
    f.Stretch->setChecked(true);
    form.Apply(s);
    EXPECT_TRUE(s == (TRptLabelSettings{"Range", 200, 30.5, false, true, true, "0.0"}));
    // The size fields take digits and one decimal separator only.
    f.Width->clear();
    QTest::keyClicks(f.Width, "12a3.5x");
    EXPECT_EQ(f.Width->text(), "123.5");
}

TEST(LabelEditor, ASizeThatIsNoNumberAppliesNothing) {
    struct Case {
        const char* width;
        const char* height;
    };
    for (const Case& c : {Case{"", "30"}, Case{"200", ""}, Case{".", "30"}, Case{"", ""}}) {
        TRptExprEditorForm form(nullptr);
        form.Fill(kLabel);
        form.Form().Value->setText("New text");
        form.Form().Mask->setText("#");
        form.Form().Width->setText(c.width);
        form.Form().Height->setText(c.height);
        TRptLabelSettings s = kLabel;
        EXPECT_THROW(form.Apply(s), platform::text::ConversionError) << c.width << "/" << c.height;
        EXPECT_TRUE(s == kLabel) << c.width << "/" << c.height;
    }
}

TEST(LabelEditor, EditShowsTheFormAndTakesOnlyOk) {
    for (const bool ok : {true, false}) {
        TRptLabelSettings s = kLabel;
        QTimer::singleShot(0, [ok] {
            auto* form = dynamic_cast<TRptExprEditorForm*>(QApplication::activeModalWidget());
            ASSERT_NE(form, nullptr);
            EXPECT_EQ(form->windowTitle(), "Expression settings");
            EXPECT_EQ(form->Form().Mask->text(), "0.0");
            form->Form().Mask->setText("0.00");
            (ok ? form->Form().OkButton : form->Form().CancelButton)->click();
        });
        EXPECT_EQ(EditExprSettings(s, nullptr), ok);
        EXPECT_EQ(s.Mask, ok ? "0.00" : "0.0");
    }
}

TEST(LabelEditor, BuilderButtonReplacesTheExpressionWhenAccepted) {
    TRptExprEditorForm form(nullptr);
    form.Fill(kLabel);
    form.Form().Value->setText("1+");
    for (const bool ok : {false, true}) {
        QTimer::singleShot(0, [ok] {
            auto* b = dynamic_cast<TRptExpressionBuilder*>(QApplication::activeModalWidget());
            ASSERT_NE(b, nullptr);
            EXPECT_EQ(b->EditText(), "1+");
            b->InsertAtCursor("2");
            (ok ? b->Form().OkButton : b->Form().CancelButton)->click();
        });
        form.Form().ShowExprBuilder->click();
        EXPECT_EQ(form.Form().Value->text(), ok ? "1+2" : "1+");
    }
}

} // namespace

// The editors over real controls: the generic access and the settings form applied to the
// control, the expression editor working on the expression and its mask.
#include "reports/engine/RptControls.h"
#include "reports/preview/RptEditors.h"

namespace {

TEST(LabelEditor, EditorsReachTheirControls) {
    TRptExpr expr;
    expr.SetExpression("1+2");
    expr.SetMask("0.0");
    TRptExprEditor editor(&expr);
    EXPECT_EQ(editor.GetText(), "1+2");
    EXPECT_EQ(editor.NamePrefix(), "RptEXPR");
    EXPECT_EQ(editor.Description(), "Expression Control");
    EXPECT_EQ(editor.ControlClass(), "TRptExpr");
    editor.SetAlignment(TAlignment::taRightJustify);
    EXPECT_EQ(expr.Alignment(), TAlignment::taRightJustify);
    editor.SetColor(platform::gfx::clRed);
    EXPECT_EQ(expr.Color, platform::gfx::clRed);

    QTimer::singleShot(0, [] {
        auto* form = dynamic_cast<TRptExprEditorForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->Form().Value->text(), "1+2");
        form->Form().Value->setText("2*3");
        form->Form().Mask->setText("0.00");
        form->Form().Stretch->setChecked(true);
        form->accept();
    });
    ASSERT_TRUE(editor.Edit(nullptr));
    EXPECT_EQ(expr.Expression(), "2*3");
    EXPECT_EQ(expr.Mask(), "0.00");
    EXPECT_TRUE(expr.AutoStretch);

    TRptLabel label;
    label.SetCaption("Gain");
    TRptLabelEditor labelEditor(&label);
    EXPECT_EQ(labelEditor.GetText(), "Gain");
    EXPECT_EQ(labelEditor.NamePrefix(), "RptLABEL");
    QTimer::singleShot(0, [] {
        auto* form = dynamic_cast<TRptLabelEditorForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        form->Form().Value->setText("Range");
        form->reject();
    });
    EXPECT_FALSE(labelEditor.Edit(nullptr));
    EXPECT_EQ(label.Caption(), "Gain");
    TRptPrintableEditor plain(&label);
    EXPECT_TRUE(plain.GetText().empty());
    EXPECT_FALSE(plain.Edit(nullptr));
}

} // namespace
