#include "app/Transfers.h"

#include "app/AppWindows.h"
#include "app/MainFormUnit.h"
#include "app/Messages.h"
#include "app/Texts.h"
#include "app/pages/ConfigurationsPage.h"
#include "app/pages/AScansPage.h"
#include "app/pages/BandsPage.h"
#include "app/pages/MapsPage.h"

#include "config/ConfigSetUnit.h"
#include "config/LocalStringsUnit.h"
#include "link/BatchTransfers.h"
#include "platform/ui/MessageBox.h"
#include "records/MeasurementFiles.h"


#include <filesystem>
#include <system_error>

namespace app {

namespace {

using platform::ui::MessageButtons;
using platform::ui::MessageIcon;
using platform::ui::MessageResult;

// What differs between the kinds.
struct KindTable {
    int mode;            // progress dialog transfer mode
    int noneRecorded;    // error message under error message 87
    int receiveFailed;   // error message under error message 6
    const char* extension;
    int nameText;        // the file type's name, a txtvarvalues entry
    int saveFailed;      // error message under error message 15
    int loadFailed;      // error message under error message 15
    int chooseCaption;   // caption of the choose-records dialog
    int chooseHint;      // hint of its list
};

const KindTable& table(ListKind kind) {
    static const KindTable configs{2, 0, 2, ".ctf", 17, 16, 11, 0, 0};
    static const KindTable ascans{3, 84, 3, ".dtf", 16, 17, 12, 353, 356};
    static const KindTable bands{4, 85, 4, ".btf", 18, 18, 13, 354, 357};
    static const KindTable maps{5, 86, 5, ".mtf", 30, 19, 14, 355, 358};
    switch (kind) {
    case ListKind::AScans: return ascans;
    case ListKind::Bands: return bands;
    case ListKind::Maps: return maps;
    default: return configs;
    }
}

QString fileNameOnly(const std::filesystem::path& file) {
    return QString::fromStdString(file.filename().string());
}

// ---- generic pieces over the record lists ----

template <typename Cell>
void markAll(TRecordList<Cell>& list) {
    for (std::uint16_t i = 0; i < list.Count; ++i) {
        list.Records[i]->Marked = 1;
    }
}

template <typename Cell>
std::vector<const Cell*> recordPointers(const TRecordList<Cell>& list) {
    std::vector<const Cell*> out;
    for (const auto& r : list.Records) {
        out.push_back(r.get());
    }
    return out;
}

// After a load, successful or not: a list the reader replaced names the file it came from.
template <typename Cell>
void settleAfterLoad(TRecordList<Cell>& list, bool replaced, bool ok,
                     const std::filesystem::path& file) {
    if (list.Records.size() != list.Count) {
        list.Records.resize(list.Count);
    }
    if (list.Current >= list.Count) {
        list.Current = 0;
    }
    if (ok) {
        list.Unsaved = false;
    }
    if (ok || replaced) {
        list.Origin = OriginKind::File;
        list.OriginLabel = fileNameOnly(file);
        list.Current = 0;
    }
    if (list.Count == 0 && (ok || replaced)) {
        list.OriginLabel = caption(37);
        list.Origin = OriginKind::None;
    }
}

template <typename Cell, typename Reader>
int loadInto(TRecordList<Cell>& list, const std::filesystem::path& file, Reader reader,
             bool& replaced) {
    const auto before = recordPointers(list);
    int result = 1;
    try {
        result = reader(file, list.Records, list.Count);
    } catch (...) {
        replaced = recordPointers(list) != before;
        throw;
    }
    replaced = recordPointers(list) != before;
    return result;
}

template <typename Cell, typename Batch>
void receiveInto(TGarnetwickMainForm& form, TRecordList<Cell>& list, ListKind kind,
                 Batch batch) {
    const KindTable& t = table(kind);
    if (list.Unsaved && !form.CheckUnsavedData(kind)) {
        return;
    }
    std::vector<std::unique_ptr<Cell>> fresh;
    std::uint16_t count = 0;
    std::string origin;
    std::uint8_t result = 1;
    {
        TGarnetwickMainForm::TTransferScope transfer(form);
        result = form.Windows.RunTransfer(t.mode, [&](platform::ui::Gauge* gauge) {
            return batch(form.FlashMarkup.get(), fresh, count, gauge, origin);
        });
    }
    if (result == 0) {
        list.replaceRecords(std::move(fresh), count);
        list.Origin = OriginKind::Instrument;
        list.OriginLabel = toQt(origin);
        list.Unsaved = true;
        if (list.Count == 0) {
            list.OriginLabel = caption(37);
            list.Origin = OriginKind::None;
        }
    } else {
        // The records shown before stay; the failed batch's partial list goes.
        ShowErrorMessage(t.receiveFailed, 6);
    }
    RefreshList(form, kind);
    form.UpdateActionStates();
}

template <typename Cell, typename Writer>
bool saveMarked(TGarnetwickMainForm& form, TRecordList<Cell>& list, ListKind kind,
                Writer currentWriter, Writer oldWriter) {
    const KindTable& t = table(kind);
    if (list.empty()) {
        return false;
    }
    markAll(list);
    std::vector<TAppWindows::RecordItem> items;
    for (std::uint16_t i = 0; i < list.Count; ++i) {
        items.push_back({SaveListItemText(kind, i, *list.Records[i]), list.Records[i]->Marked == 1});
    }
    if (!form.Windows.ChooseRecords(caption(t.chooseCaption), caption(t.chooseHint), items)) {
        return false;
    }
    bool anyMarked = false;
    for (std::uint16_t i = 0; i < list.Count && i < items.size(); ++i) {
        list.Records[i]->Marked = items[i].ticked ? 1 : 0;
        anyMarked = anyMarked || items[i].ticked;
    }
    if (!anyMarked) {
        return false;
    }
    const auto choice = form.Windows.AskSaveFile(SaveFilter(kind), 1);
    if (!choice) {
        return false;
    }
    const std::filesystem::path file = CompleteExtension(choice->file.string(), t.extension);
    std::error_code ec;
    if (std::filesystem::exists(file, ec) && !AskYesNo(GetErrMsgString(7))) {
        return false;
    }
    const int result = choice->filterIndex > 1 ? oldWriter(file, list.Records, list.Count)
                                               : currentWriter(file, list.Records, list.Count);
    if (result != 0) {
        ShowErrorMessage(t.saveFailed, 15);
        return false;
    }
    list.Unsaved = false;
    return true;
}

template <typename Cell, typename Reader>
void loadList(TGarnetwickMainForm& form, TRecordList<Cell>& list, ListKind kind, Reader reader,
              bool askOnlyWhenFilled) {
    const KindTable& t = table(kind);
    if ((!askOnlyWhenFilled || !list.empty()) && !form.CheckUnsavedData(kind)) {
        return;
    }
    const auto choice = form.Windows.AskOpenFile(OpenFilter(kind));
    if (!choice) {
        return;
    }
    std::error_code ec;
    if (!std::filesystem::exists(choice->file, ec)) {
        ShowErrorMessage(81, 15);
        return;
    }
    bool replaced = false;
    int result = 1;
    try {
        result = loadInto(list, choice->file, reader, replaced);
    } catch (...) {
        settleAfterLoad(list, replaced, false, choice->file);
        RefreshList(form, kind);
        form.UpdateActionStates();
        throw;
    }
    if (result != 0) {
        ShowErrorMessage(t.loadFailed, 15);
    }
    settleAfterLoad(list, replaced, result == 0, choice->file);
    RefreshList(form, kind);
    form.UpdateActionStates();
}

} // namespace

std::string CompleteExtension(const std::string& fileName, const std::string& extension) {
    const bool endsWith = fileName.size() >= extension.size() &&
                          fileName.compare(fileName.size() - extension.size(), extension.size(),
                                           extension) == 0;
    return endsWith ? fileName : fileName + extension;
}

std::string SaveFilter(ListKind kind) {
    const KindTable& t = table(kind);
    const std::string name = GetTxtVarValueString(t.nameText);
    const std::string pattern = std::string("*") + t.extension;
    return name + "(" + pattern + ") |" + pattern + "|" + name + " Ksn2" + "(" + pattern + ") |" +
           pattern;
}

std::string OpenFilter(ListKind kind) {
    const KindTable& t = table(kind);
    const std::string pattern = std::string("*") + t.extension;
    return GetTxtVarValueString(t.nameText) + "(" + pattern + ") |" + pattern;
}

QString SaveListItemText(ListKind kind, int index, const TBaseAScanCell& record) {
    const QString name = toQt(record.Config->ConfigName);
    switch (kind) {
    case ListKind::Bands:
        return txtVar(28) + QString::number(index + 1) + " " + caption(53) + "  " + name;
    case ListKind::Maps:
        return txtVar(28) + QString::number(index + 1) + " " + caption(55) + "  " + name;
    default: return txtVar(28) + " " + QString::number(index + 1) + ": " + name;
    }
}

void ReceiveRecords(TGarnetwickMainForm& form, ListKind kind) {
    const TCorvantaAbsConfigCell* markup = form.FlashMarkup.get();
    const std::uint32_t announced = markup == nullptr              ? 0
                                    : kind == ListKind::AScans     ? markup->AScanArea.Count
                                    : kind == ListKind::Bands      ? markup->BandArea.Count
                                                                   : markup->MapArea.Count;
    if (announced == 0) {
        ShowErrorMessage(table(kind).noneRecorded, 87);
        return;
    }
    switch (kind) {
    case ListKind::AScans: receiveInto(form, form.AScans, kind, ReceiveAScans); break;
    case ListKind::Bands: receiveInto(form, form.Bands, kind, ReceiveBands); break;
    case ListKind::Maps: receiveInto(form, form.Maps, kind, ReceiveMaps); break;
    default: break;
    }
}

bool SaveRecordsToFile(TGarnetwickMainForm& form, ListKind kind) {
    switch (kind) {
    case ListKind::AScans:
        return saveMarked(form, form.AScans, kind, SaveAScansToFile, SaveAScansToOldFile);
    case ListKind::Bands:
        return saveMarked(form, form.Bands, kind, SaveBandsToFile, SaveBandsToOldFile);
    case ListKind::Maps:
        return saveMarked(form, form.Maps, kind, SaveMapsToFile, SaveMapsToOldFile);
    default: return false;
    }
}

void LoadRecordsFromFile(TGarnetwickMainForm& form, ListKind kind) {
    switch (kind) {
    case ListKind::AScans: loadList(form, form.AScans, kind, LoadAScansFromFile, false); break;
    case ListKind::Bands: loadList(form, form.Bands, kind, LoadBandsFromFile, true); break;
    case ListKind::Maps: loadList(form, form.Maps, kind, LoadMapsFromFile, true); break;
    default: break;
    }
}

void RefreshList(TGarnetwickMainForm& form, ListKind kind) {
    switch (kind) {
    case ListKind::Configs: form.ConfigurationsPage()->RefreshConfigList(); break;
    case ListKind::AScans: form.AScansPage()->RefreshAScanList(); break;
    case ListKind::Bands: form.BandsPage()->RefreshBandList(); break;
    case ListKind::Maps: form.MapsPage()->RefreshMapList(); break;
    case ListKind::All: break;
    }
}

// ---- the configuration list's commands -----------------------------------------------------

void TGarnetwickMainForm::ReceiveConfigsActionExecute() {
    if (Configs.Unsaved && !CheckUnsavedData(ListKind::Configs)) {
        return;
    }
    PConfigsSet fresh;
    std::uint16_t count = 0;
    std::string origin;
    std::uint8_t result = 1;
    {
        TTransferScope transfer(*this);
        result = ReceiveConfigs(FlashMarkup.get(), fresh, count, origin);
    }
    if (result == 0) {
        Configs.replaceRecords(std::move(fresh), count);
        Configs.Origin = OriginKind::Instrument;
        Configs.OriginLabel = toQt(origin);
        Configs.Unsaved = true;
    } else {
        ShowErrorMessage(2, 6);
    }
    configPage_->RefreshConfigList();
    UpdateActionStates();
}

void TGarnetwickMainForm::SendConfigsActionExecute() {
    if (!AskYesNo(GetErrMsgString(88))) {
        return;
    }
    std::string origin = fromQt(Configs.OriginLabel);
    std::uint8_t result = 1;
    {
        TTransferScope transfer(*this);
        result = Windows.RunTransfer(2, [&](platform::ui::Gauge* gauge) {
            return SendConfigs(FlashMarkup.get(), Configs.Records, Configs.Count, gauge, origin);
        });
    }
    // The batch clears the marks of every configuration it tried, sent or not.
    configPage_->FillConfigSelector(false);
    if (result == BatchResult::Failed) {
        ShowErrorMessage(9, 6);
    }
}

bool TGarnetwickMainForm::SaveConfigsActionExecute() {
    if (Configs.empty()) {
        return false;
    }
    const auto choice = Windows.AskSaveFile(SaveFilter(ListKind::Configs), 1);
    if (!choice) {
        return false;
    }
    const std::filesystem::path file = CompleteExtension(choice->file.string(), ".ctf");
    std::error_code ec;
    if (std::filesystem::exists(file, ec) && !AskYesNo(GetErrMsgString(7))) {
        return false;
    }
    const int result = choice->filterIndex > 1
                           ? SaveLegacyConfigSet(file, Configs.Records, Configs.Count)
                           : SaveConfigSet(file, Configs.Records, Configs.Count);
    if (result != 0) {
        ShowErrorMessage(16, 15);
        return false;
    }
    Configs.Unsaved = false;
    return true;
}

void TGarnetwickMainForm::OpenConfigsActionExecute() {
    loadList(*this, Configs, ListKind::Configs, LoadConfigSet, false);
}

} // namespace app
