#include "app/pages/FlashMarkupPage.h"

#include "app/MainFormUnit.h"
#include "app/Messages.h"
#include "app/Texts.h"
#include "app/pages/PageSupport.h"

#include "config/LocalStringsUnit.h"
#include "link/DOR4471IZOZudivarudaZira.h"
#include "platform/gfx/QtImage.h"
#include "platform/ui/MessageBox.h"
#include "surfaces/SurfaceTarget.h"
#include "surfaces/SurfaceViews.h"

#include <QPixmap>

namespace app {

namespace {

// The legend texts break their lines with a bare carriage return.
QString legendText(const std::string& cp1251) {
    QString text = toQt(cp1251);
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    return text;
}

} // namespace

TFlashMarkupPage::TFlashMarkupPage(TGarnetwickMainForm& form, QWidget* parent)
    : QWidget(parent), form_(form) {
    ui.setupUi(this);
    TSurfaceView* pie = ui.FlashMarkupSurfaceImage;
    pie->AutoInitialize = false;
    pie->setCursor(Qt::PointingHandCursor);
    pie->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int x, int y) {
        if (USBConnected != 1 || !form_.FlashMarkup) {
            return;
        }
        // Nothing new along the left or top edge, nor at the same place again.
        const bool sameX = x == lastX_ || x < 1;
        const bool sameY = y == lastY_ || y < 1;
        if (sameX && sameY) {
            return;
        }
        dragging_ = true;
        MouseAt(x, y);
    };
    pie->OnMouseMove = [this](TObject*, TShiftState, int x, int y) {
        if (dragging_ && USBConnected == 1 && form_.FlashMarkup) {
            MouseAt(x, y);
        }
    };
    pie->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) { dragging_ = false; };

    for (const char* name : {"ApplyNewFlashMarkupAction", "ClearAScansAction", "ClearBandsAction",
                             "ClearMapsAction", "UndoChangesAction"}) {
        ui.ToolBar1->addAction(form_.Action(name));
    }
    auto bind = [this](const char* name, auto handler) {
        connect(form_.Action(name), &QAction::triggered, this, [this, name, handler] {
            TPressedButton held(form_.Action(name));
            runCommand(handler);
        });
    };
    bind("ApplyNewFlashMarkupAction", [this] { ApplyNewFlashMarkupActionExecute(); });
    bind("UndoChangesAction", [this] { UndoChangesActionExecute(); });
    bind("ClearAScansAction", [this] { ClearRecordsActionExecute(1); });
    bind("ClearBandsAction", [this] { ClearRecordsActionExecute(2); });
    bind("ClearMapsAction", [this] { ClearRecordsActionExecute(4); });
}

void TFlashMarkupPage::ApplyTexts() {
    ui.SummaryGroupBox->setTitle(caption(289));
    SetSurfaceHint(ui.FlashMarkupSurfaceImage, caption(290));
    const std::pair<QWidget*, int> hints[] = {
        {ui.AScansLegendImage, 332},   {ui.AScansAreaLabel, 332},    {ui.BandsLegendImage, 333},
        {ui.BandsAreaLabel, 333},      {ui.MapsLegendImage, 334},    {ui.MapsAreaLabel, 334},
        {ui.AScansUsedAreaLabel, 335}, {ui.BandsUsedAreaLabel, 336}, {ui.MapsUsedAreaLabel, 337}};
    for (const auto& [w, n] : hints) {
        w->setToolTip(caption(n));
    }
}

void TFlashMarkupPage::MouseAt(int x, int y) {
    lastX_ = x;
    lastY_ = y;
    TSurfaceView* pie = ui.FlashMarkupSurfaceImage;
    form_.FlashMarkup->DragBoundary(pie->width(), pie->height(), x, y);
    form_.FlashMarkup->Modified = 1;
    form_.UpdateActionStates();
    DrawFlashMarkup();
}

void TFlashMarkupPage::DrawFlashMarkup() {
    if (!form_.FlashMarkup) {
        return;
    }
    const TCorvantaAbsConfigCell& markup = *form_.FlashMarkup;
    TSurfaceViewTarget target(*ui.FlashMarkupSurfaceImage);
    markup.DrawPieSurface(target);
    QLabel* swatchLabels[3] = {ui.AScansLegendImage, ui.BandsLegendImage, ui.MapsLegendImage};
    platform::gfx::TBitmap swatches[3];
    for (int i = 0; i < 3; ++i) {
        swatches[i] = platform::gfx::TBitmap(swatchLabels[i]->width(), swatchLabels[i]->height());
    }
    TCorvantaLegendTexts texts;
    markup.DrawPie(swatches[0], swatches[1], swatches[2], texts);
    QLabel* areaLabels[3] = {ui.AScansAreaLabel, ui.BandsAreaLabel, ui.MapsAreaLabel};
    QLabel* usedLabels[3] = {ui.AScansUsedAreaLabel, ui.BandsUsedAreaLabel, ui.MapsUsedAreaLabel};
    for (int i = 0; i < 3; ++i) {
        swatchLabels[i]->setPixmap(QPixmap::fromImage(platform::gfx::imageFromBitmap(swatches[i])));
        areaLabels[i]->setText(legendText(texts.Capacity[static_cast<std::size_t>(i)]));
        usedLabels[i]->setText(legendText(texts.Occupancy[static_cast<std::size_t>(i)]));
    }
}

void TFlashMarkupPage::UpdateFlashMarkupPage() {
    if (USBConnected == 1) {
        ui.FlashMUpPageCaptionLabel->setText(caption(108));
        DrawFlashMarkup();
    } else {
        ui.FlashMUpPageCaptionLabel->setText(caption(35));
    }
    form_.SetStatusPanel1({});
}

void TFlashMarkupPage::PageShown() {
    if (USBConnected == 1) {
        ReceiveFlashMarkup(form_.FlashMarkup, form_.DeviceDescription);
        form_.UpdateActionStates();
    }
    UpdateFlashMarkupPage();
}

void TFlashMarkupPage::PageHidden() {
    dragging_ = false;
}

void TFlashMarkupPage::Settle() {
    form_.FlashMarkup->Modified = 0;
    form_.UpdateActionStates();
    form_.ShowConnectionStatus();
    DrawFlashMarkup();
}

void TFlashMarkupPage::SendAndSettle() {
    const std::uint8_t result = SendFlashMarkup(form_.FlashMarkup.get());
    if (result != LinkResult::Done) {
        // The division on screen is not the instrument's: say so and show the instrument's.
        ShowErrorMessage(6, 6);
        ReceiveFlashMarkup(form_.FlashMarkup, form_.DeviceDescription);
    }
    Settle();
}

void TFlashMarkupPage::ApplyNewFlashMarkupActionExecute() {
    if (USBConnected != 1 || !form_.FlashMarkup) {
        return;
    }
    if (!AskYesNo(GetCaptionString(306))) {
        UndoChangesActionExecute();
        return;
    }
    form_.FlashMarkup->ClearAll(false);
    SendAndSettle();
}

void TFlashMarkupPage::UndoChangesActionExecute() {
    if (USBConnected != 1 || !form_.FlashMarkup) {
        return;
    }
    const std::uint8_t result = ReceiveFlashMarkup(form_.FlashMarkup, form_.DeviceDescription);
    if (result != LinkResult::Done && result != LinkResult::InvalidMarkup) {
        ShowErrorMessage(6, 6);
    }
    if (form_.FlashMarkup->MemorySizeIndex != 0) {
        ExtendedDeviceHook(*form_.FlashMarkup);
    }
    Settle();
}

void TFlashMarkupPage::ClearRecordsActionExecute(std::uint8_t mask) {
    if (USBConnected != 1 || !form_.FlashMarkup) {
        return;
    }
    const int question = mask == 1 ? 307 : mask == 2 ? 308 : 309;
    if (!AskYesNo(GetCaptionString(question))) {
        return;
    }
    form_.FlashMarkup->ClearAreas(mask);
    SendAndSettle();
}

void TFlashMarkupPage::ClearAllFlashMarkup() {
    if (USBConnected != 1 || !form_.FlashMarkup) {
        return;
    }
    form_.FlashMarkup->ClearAll(true);
    SendAndSettle();
}

} // namespace app
