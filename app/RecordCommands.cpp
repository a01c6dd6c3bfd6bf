#include "app/RecordCommands.h"

#include "app/AppWindows.h"
#include "app/MainFormUnit.h"
#include "app/Messages.h"
#include "app/Texts.h"
#include "app/Transfers.h"
#include "app/pages/AScansPage.h"
#include "app/pages/BandsPage.h"
#include "app/pages/MapsPage.h"

#include "config/LocalStringsUnit.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/QtImage.h"
#include "platform/ui/MessageBox.h"
#include "records/AScanViews.h"
#include "records/BandViews.h"
#include "records/MapViews.h"
#include "records/MeasurementFiles.h"
#include "surfaces/SurfaceViews.h"

#include <QClipboard>
#include <QGuiApplication>

#include <filesystem>
#include <system_error>

namespace app {

namespace {

using platform::ui::MessageButtons;
using platform::ui::MessageIcon;
using platform::ui::MessageResult;

// What differs between the kinds.
struct RecordKindTable {
    const char* extension;
    const char* saveAllAction; // the button a single save holds down
    int saveFailed;            // error message under error message 15
    int eraseCaption;          // the question's opening caption
    ReportKind report;
};

const RecordKindTable& table(ListKind kind) {
    static const RecordKindTable ascans{".dtf", "SaveAScansToFileAction", 17, 363,
                                       ReportKind::AScan};
    static const RecordKindTable bands{".btf", "SaveBandsToFileAction", 18, 369, ReportKind::Band};
    // A failed single map save names maps, not bands.
    static const RecordKindTable maps{".mtf", "SaveMapsToFileAction", 19, 374, ReportKind::Map};
    switch (kind) {
    case ListKind::Bands: return bands;
    case ListKind::Maps: return maps;
    default: return ascans;
    }
}

// The one list of the kind as its records' common base, with the writer and eraser of the kind.
template <typename Fn>
void withList(TGarnetwickMainForm& form, ListKind kind, Fn fn) {
    switch (kind) {
    case ListKind::AScans: fn(form.AScans, SaveSelectedAScanToFile, EraseAScan); break;
    case ListKind::Bands: fn(form.Bands, SaveSelectedBandToFile, EraseBand); break;
    case ListKind::Maps: fn(form.Maps, SaveSelectedMapToFile, EraseMap); break;
    default: break;
    }
}

TBaseAScanCell* currentRecord(TGarnetwickMainForm& form, ListKind kind) {
    switch (kind) {
    case ListKind::AScans: return form.AScans.current();
    case ListKind::Bands: return form.Bands.current();
    case ListKind::Maps: return form.Maps.current();
    default: return nullptr;
    }
}

bool* unsavedFlag(TGarnetwickMainForm& form, ListKind kind) {
    switch (kind) {
    case ListKind::AScans: return &form.AScans.Unsaved;
    case ListKind::Bands: return &form.Bands.Unsaved;
    case ListKind::Maps: return &form.Maps.Unsaved;
    default: return nullptr;
    }
}

std::string eraseQuestion(ListKind kind, int index, const TBaseAScanCell& record) {
    const RecordKindTable& t = table(kind);
    QString subject;
    if (kind == ListKind::AScans) {
        // The selector's two first cells: the number and the configuration name.
        subject = txtVar(28) + " " + QString::number(index + 1) + ": " +
                  toQt(record.Config->ConfigName);
    } else {
        subject = SaveListItemText(kind, index, record);
    }
    return fromQt(caption(t.eraseCaption) + " " + subject + " ? " + caption(364));
}

QImage renderComposite(TGarnetwickMainForm& form, ListKind kind, TBaseAScanCell& record) {
    platform::gfx::TBitmap bitmap;
    switch (kind) {
    case ListKind::AScans: {
        const auto& a = form.AScansPage()->ui;
        CopyAScanImageToClipboard(record, bitmap, a.AScanSignalImage->width(),
                                  a.AScanSignalImage->height(),
                                  a.AScanDimensionSurfaceView->height(),
                                  a.AScanZoomSignalSurfaceView->height(),
                                  a.AScanZoomDimensionSurfaceView->height());
        break;
    }
    case ListKind::Bands: {
        const auto& b = form.BandsPage()->ui;
        TBandClipboardSizes sizes;
        sizes.PictureWidth = b.BandBScanSurfaceView->width();
        sizes.PictureHeight = b.BandBScanSurfaceView->height();
        sizes.UpperHeight = b.BandUpperMarkupSurfaceView->height();
        sizes.AScanWidth = b.BandCurrentAScanSurfaceView->width();
        sizes.RulerWidth = b.BandInDepthMarkupSurfaceView->width();
        CopyBandImageToClipboard(static_cast<TBaseBandCell&>(record), 0, bitmap, sizes);
        break;
    }
    case ListKind::Maps: {
        const auto& m = form.MapsPage()->ui;
        TMapClipboardSizes sizes;
        sizes.BScanHeight = m.MapsAScanSurfaceView->height();
        sizes.CScanHeight = m.MapsCScanSurfaceView->height();
        sizes.RulerHeight = m.MapsCBHorizMarkupSurfaceView->height();
        sizes.CScanWidth = m.MapsBScanSurfaceView->width();
        sizes.DScanWidth = m.MapsAScanSurfaceView->width();
        sizes.RulerWidth = m.MapsBAVerticMarkupSurfaceView->width();
        CopyMapImageToClipboard(static_cast<TBaseMapCell&>(record), 0, bitmap, sizes);
        break;
    }
    default: break;
    }
    return platform::gfx::imageFromBitmap(bitmap);
}

} // namespace

void SaveSelectedRecord(TGarnetwickMainForm& form, ListKind kind) {
    const RecordKindTable& t = table(kind);
    TPressedButton held(form.Action(t.saveAllAction));
    withList(form, kind, [&](auto& list, auto writer, auto) {
        auto* record = list.current();
        if (record == nullptr) {
            return;
        }
        // Only the current format is offered: it is the one a single record is written in.
        const auto choice = form.Windows.AskSaveFile(OpenFilter(kind), 1);
        if (!choice) {
            return;
        }
        const std::filesystem::path file = CompleteExtension(choice->file.string(), t.extension);
        std::error_code ec;
        if (std::filesystem::exists(file, ec) && !AskYesNo(GetErrMsgString(7))) {
            return;
        }
        if (writer(file, record) != 0) {
            ShowErrorMessage(t.saveFailed, 15);
        }
    });
}

void EraseSelectedRecord(TGarnetwickMainForm& form, ListKind kind) {
    withList(form, kind, [&](auto& list, auto, auto eraser) {
        const auto* record = list.current();
        if (record == nullptr || !record->Config) {
            return;
        }
        if (!AskYesNo(eraseQuestion(kind, list.Current, *record))) {
            return;
        }
        if (eraser(list.Records, list.Current, list.Count)) {
            platform::ui::messageBoxes().show("System error #106! Please contact developer, "
                                              "specifying sequence, that lead to this message!",
                                              "System error", MessageIcon::Error,
                                              MessageButtons::Ok);
            return;
        }
        // The file no longer holds what the list shows.
        list.Unsaved = true;
        list.Current = 0;
        form.UpdateActionStates();
        RefreshList(form, kind);
    });
}

void EditRecordComments(TGarnetwickMainForm& form, ListKind kind) {
    TBaseAScanCell* record = currentRecord(form, kind);
    if (record == nullptr) {
        return;
    }
    std::vector<std::string> lines = record->Comments;
    if (!form.Windows.EditComments(lines)) {
        return;
    }
    record->Comments = std::move(lines);
    record->CommentCount = static_cast<std::uint16_t>(record->Comments.size());
    *unsavedFlag(form, kind) = true;
}

void CopyRecordImage(TGarnetwickMainForm& form, ListKind kind) {
    TBaseAScanCell* record = currentRecord(form, kind);
    if (record == nullptr) {
        return;
    }
    const QImage image = renderComposite(form, kind, *record);
    if (QClipboard* clipboard = QGuiApplication::clipboard()) {
        clipboard->setImage(image);
    }
}

void PrintRecordReport(TGarnetwickMainForm& form, ListKind kind, QObject* sender) {
    TBaseAScanCell* record = currentRecord(form, kind);
    TReportFillPaperDialog* dialog = form.ReportDialog(table(kind).report);
    if (record == nullptr || dialog == nullptr) {
        return;
    }
    if (dialog->SetDataObject(sender, record)) {
        dialog->ShowModal();
    }
}

} // namespace app
