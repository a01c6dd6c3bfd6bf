#include "reports/engine/RptController.h"

#include "platform/ui/Messages.h"
#include "reports/engine/FolioReport.h"

#include <algorithm>

// ---- custom controller -------------------------------------------------------------------------

TRptCustomController::TRptCustomController(TCustomFolioReport* report) : ParentReport(report) {
    Serving = this;
}

TRptCustomController::~TRptCustomController() = default;

bool TRptCustomController::SetMaster(TRptComponent* master) {
    if (master != nullptr && dynamic_cast<TCustomFolioReport*>(master) == nullptr &&
        dynamic_cast<TRptCustomController*>(master) == nullptr &&
        dynamic_cast<TRptControllerBand*>(master) == nullptr) {
        return false;
    }
    master_ = master;
    return true;
}

void TRptCustomController::Execute() {
    if (PrintIfEmpty) {
        PrintEmpty();
    }
}

void TRptCustomController::PrintEmpty() {
    PrintBeforeControllers();
    PrintAfterControllers();
}

void TRptCustomController::RegisterBands() {
    before_.clear();
    after_.clear();
    groups_.clear();
    if (ParentReport == nullptr) {
        return;
    }
    for (const auto& b : ParentReport->AllBands()) {
        if (auto* cb = dynamic_cast<TRptControllerBand*>(b.get());
            cb != nullptr && cb->Master() == Serving) {
            TRptController& c = cb->Controller();
            c.ParentReport = ParentReport;
            (c.PrintBefore ? before_ : after_).push_back(&c);
            c.RegisterBands();
        } else if (auto* g = dynamic_cast<TRptGroup*>(b.get());
                   g != nullptr && g->Master() == Serving) {
            groups_.push_back(g);
        }
    }
}

void TRptCustomController::Prepare() {
    Clients.clear();
    RegisterBands();
    for (auto* c : before_) {
        c->Prepare();
    }
    for (auto* c : after_) {
        c->Prepare();
    }
    for (auto* g : groups_) {
        g->Prepare();
    }
}

void TRptCustomController::Unprepare() {
    for (auto* c : before_) {
        c->Unprepare();
    }
    for (auto* c : after_) {
        c->Unprepare();
    }
    for (auto* g : groups_) {
        g->Unprepare();
    }
}

void TRptCustomController::PrintBeforeControllers() {
    for (auto* c : before_) {
        c->Execute();
    }
}

void TRptCustomController::PrintAfterControllers() {
    for (auto* c : after_) {
        c->Execute();
    }
}

void TRptCustomController::NotifyClients(int operation) {
    for (const auto& client : Clients) {
        if (client) {
            client(*this, operation);
        }
    }
}

void TRptCustomController::printBand(TRptCustomBand* band) {
    if (band != nullptr && ParentReport != nullptr) {
        ParentReport->PrintBand(band);
    }
}

bool TRptCustomController::checkGroups() {
    bool changed = false;
    for (auto* g : groups_) {
        if (changed) {
            g->ForceChange(); // an outer break forces the inner groups
        } else {
            changed = g->CheckChange();
        }
    }
    return changed;
}

void TRptCustomController::printGroupHeaders() {
    for (auto* g : groups_) {
        if (g->Changed) {
            g->PrintHeader();
        }
    }
}

void TRptCustomController::printGroupFooters() {
    for (auto it = groups_.rbegin(); it != groups_.rend(); ++it) {
        if ((*it)->Changed) {
            (*it)->PrintFooter();
        }
    }
}

void TRptCustomController::CheckReprint() {
    bool marked = false;
    for (auto* g : groups_) {
        if (marked) {
            g->ForceChange();
        } else {
            marked = g->CheckReprint();
        }
    }
    if (marked) {
        printGroupHeaders();
        for (auto* g : groups_) {
            g->Changed = false;
        }
    }
    for (auto* c : before_) {
        c->CheckReprint();
    }
    for (auto* c : after_) {
        c->CheckReprint();
    }
}

// ---- data controller ---------------------------------------------------------------------------

void TRptController::PrintEmpty() {
    printBand(HeaderBand);
    PrintBeforeControllers();
    printBand(DetailBand);
    PrintAfterControllers();
    printBand(FooterBand);
}

void TRptController::AddBandsToList(std::vector<TRptCustomBand*>& list) {
    const auto add = [&](TRptCustomBand* b) {
        if (b != nullptr && std::find(list.begin(), list.end(), b) == list.end()) {
            list.push_back(b);
        }
    };
    add(HeaderBand);
    for (auto* g : groups_) {
        add(g);
    }
    for (auto* c : before_) {
        c->AddBandsToList(list);
    }
    add(DetailBand);
    for (auto* c : after_) {
        c->AddBandsToList(list);
    }
    for (auto it = groups_.rbegin(); it != groups_.rend(); ++it) {
        add((*it)->FooterBand());
    }
    add(FooterBand);
}

void TRptController::Execute() {
    TCustomFolioReport* report = ParentReport;
    for (auto* g : groups_) {
        g->ClearValue();
    }
    const bool open = DataSet != nullptr && DataSet->Active();
    if ((!open && !OnNeedData) || report == nullptr) {
        if (PrintIfEmpty) {
            PrintEmpty();
        }
        return;
    }
    bool more = true;
    int recordCount = 0;
    if (open) {
        DataSet->First();
        more = !DataSet->Eof();
        if (dynamic_cast<TFolioReport*>(report) != nullptr) {
            recordCount = DataSet->RecordCount();
        }
        if (!more && PrintIfEmpty) {
            PrintEmpty();
        }
    } else {
        OnNeedData(*Serving, more);
    }
    RecordNumber = 0;
    if (!more) {
        return;
    }
    platform::ui::ProcessMessages();
    if (report->RunCancelled()) {
        return;
    }
    printBand(HeaderBand);
    const bool servesReport = Serving == report;
    if (servesReport) {
        report->PageUsed = true;
        if (report->PageCount < 2) {
            TRptCustomBand* columnHeader = report->FindBand(TRptBandType::rbColumnHeader);
            if (columnHeader != nullptr && columnHeader->Enabled) {
                printBand(columnHeader);
            }
        }
    }
    checkGroups();
    while (more) {
        platform::ui::ProcessMessages();
        if (report->RunCancelled()) {
            break;
        }
        ++RecordNumber;
        // The record in hand is taken in by the aggregates before anything prints it.
        NotifyClients(0);
        printGroupHeaders();
        for (auto* g : groups_) {
            g->Changed = false;
        }
        PrintBeforeControllers();
        printBand(DetailBand);
        PrintAfterControllers();
        if (open) {
            DataSet->Next();
            more = !DataSet->Eof();
        } else {
            more = false;
            OnNeedData(*Serving, more);
        }
        if (more && checkGroups()) {
            // The footers belong to the record before the change.
            if (open) {
                DataSet->Prior();
            }
            printGroupFooters();
            if (open) {
                DataSet->Next();
            }
        }
        if (servesReport && open && recordCount != 0 && report->RptPrinter() != nullptr) {
            report->RptPrinter()->SetProgress(RecordNumber * 100 / recordCount);
        }
    }
    // Every group whose footer the last check did not print closes now.
    for (auto* g : groups_) {
        g->Changed = true;
    }
    printGroupFooters();
    if (FooterBand != nullptr) {
        if (report->PageCount == 0) {
            report->EndColumn();
        }
        printBand(FooterBand);
    }
}

// ---- groups ------------------------------------------------------------------------------------

TRptGroup::TRptGroup() = default;

void TRptGroup::SetFooterBand(TRptBand* band) {
    footer_ = band;
    if (band != nullptr) {
        band->SetBandType(TRptBandType::rbGroupFooter);
    }
}

bool TRptGroup::SetMaster(TRptComponent* master) {
    if (master != nullptr && dynamic_cast<TCustomFolioReport*>(master) == nullptr &&
        dynamic_cast<TRptControllerBand*>(master) == nullptr) {
        return false;
    }
    master_ = master;
    if (ParentReport != nullptr) {
        ParentReport->RebuildBandList();
    }
    return true;
}

void TRptGroup::Prepare() {
    evaluator_.DataSets.clear();
    if (ParentReport != nullptr) {
        for (TRptDataSet* ds : ParentReport->OwnerDataSets) {
            evaluator_.DataSets.push_back(ds);
        }
        if (auto* folio = dynamic_cast<TFolioReport*>(ParentReport);
            folio != nullptr && folio->DataSet != nullptr &&
            std::find(evaluator_.DataSets.begin(), evaluator_.DataSets.end(), folio->DataSet) ==
                evaluator_.DataSets.end()) {
            evaluator_.DataSets.push_back(folio->DataSet);
        }
        evaluator_.SetEnvironment(&ParentReport->Functions);
    }
    evaluator_.Prepare(Expression);
    hasValue_ = false;
    headerPrinted_ = false;
    Changed = false;
    page_ = 1;
}

void TRptGroup::Unprepare() {
    evaluator_.Unprepare();
}

TRptEvResult TRptGroup::evaluate() {
    return evaluator_.Prepared() ? evaluator_.Value() : TRptEvResult::Error("not prepared");
}

bool TRptGroup::CheckChange() {
    const TRptEvResult v = evaluate();
    if (!hasValue_) {
        last_ = v;
        hasValue_ = true;
        Changed = true;
        return true;
    }
    bool changed = false;
    if (v.Kind() != last_.Kind()) {
        changed = true;
    } else {
        switch (v.Kind()) {
        case rtInteger:
            changed = v.AsInteger() != last_.AsInteger();
            break;
        case rtFloat:
            changed = v.AsFloat() != last_.AsFloat();
            break;
        case rtString:
            changed = v.AsString() != last_.AsString();
            break;
        case rtBoolean:
            changed = v.AsBoolean() != last_.AsBoolean();
            break;
        case rtError:
            break; // two errors in a row are no change
        }
    }
    if (changed) {
        last_ = v;
    }
    Changed = changed;
    return changed;
}

void TRptGroup::ForceChange() {
    last_ = evaluate();
    hasValue_ = true;
    Changed = true;
}

void TRptGroup::PrintHeader() {
    if (ParentReport == nullptr) {
        return;
    }
    ParentReport->PrintBand(this);
    headerPrinted_ = true;
    page_ = ParentReport->PageCount;
}

void TRptGroup::PrintFooter() {
    if (ParentReport != nullptr && footer_ != nullptr) {
        ParentReport->PrintBand(footer_);
    }
    headerPrinted_ = false;
}

bool TRptGroup::CheckReprint() {
    if (ParentReport == nullptr || !ReprintOnNewPage || !headerPrinted_ ||
        page_ == ParentReport->PageCount) {
        return false;
    }
    Changed = true;
    page_ = ParentReport->PageCount;
    return true;
}
