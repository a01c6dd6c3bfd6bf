// The data loop of a report: a controller prints its header band, then its detail band once per
// record of its data set (or once with no data when PrintIfEmpty), with sub-details before and
// after each detail and group bands that break when their expression changes, then its footer.
// Groups keep their last value and header state across the records and pages of one run.
#pragma once

#include "reports/engine/RptBands.h"
#include "reports/engine/RptDataSet.h"
#include "reports/engine/RptEval.h"

#include <functional>
#include <vector>

class TRptGroup;

class TRptCustomController : public TRptComponent {
public:
    explicit TRptCustomController(TCustomFolioReport* report = nullptr);
    ~TRptCustomController() override;

    bool PrintIfEmpty = true;
    bool PrintBefore = false;
    TCustomFolioReport* ParentReport = nullptr;
    // The report, controller band or controller whose bands this controller serves.
    TRptComponent* Serving = nullptr;

    // The report, another controller or a controller band; other kinds are refused.
    TRptComponent* Master() const { return master_; }
    bool SetMaster(TRptComponent* master);

    virtual void Execute();
    virtual void Prepare();
    virtual void Unprepare();
    virtual void PrintEmpty();
    // Header, groups, before-controllers, detail, after-controllers, group footers from last to
    // first, footer: the report's band list order.
    virtual void AddBandsToList(std::vector<TRptCustomBand*>& list) { (void)list; }
    // Finds the controllers and groups that serve this controller's component.
    void RegisterBands();

    void PrintBeforeControllers();
    void PrintAfterControllers();
    const std::vector<TRptGroup*>& Groups() const { return groups_; }

    // Clients told of data steps (operation 0: the master moved to the next record).
    std::vector<std::function<void(TRptCustomController&, int operation)>> Clients;
    void NotifyClients(int operation);

    // A new page began: groups that reprint their header on a new page are marked.
    void CheckReprint();

protected:
    void printBand(TRptCustomBand* band);
    // Tests the groups in order; true when one changed (the later ones are forced to).
    bool checkGroups();
    void printGroupHeaders();
    void printGroupFooters();

    std::vector<TRptCustomController*> before_;
    std::vector<TRptCustomController*> after_;
    std::vector<TRptGroup*> groups_;

private:
    TRptComponent* master_ = nullptr;
};

class TRptController : public TRptCustomController {
public:
    using TRptCustomController::TRptCustomController;

    TRptDataSet* DataSet = nullptr;
    TRptCustomBand* DetailBand = nullptr;
    TRptCustomBand* FooterBand = nullptr;
    TRptCustomBand* HeaderBand = nullptr;
    std::function<void(TRptComponent& sender, bool& moreData)> OnNeedData;
    int RecordNumber = 0;

    void Execute() override;
    void PrintEmpty() override;
    void AddBandsToList(std::vector<TRptCustomBand*>& list) override;
};

// A group band: its header prints when the value of its expression changes from one record to
// the next, its footer band before the change.
class TRptGroup : public TRptCustomBand {
public:
    TRptGroup();
    TRptBandType BandType() const override { return TRptBandType::rbGroupHeader; }

    std::string Expression;
    bool ReprintOnNewPage = false;
    TRptBand* FooterBand() const { return footer_; }
    // The footer's band type becomes rbGroupFooter.
    void SetFooterBand(TRptBand* band);
    // A controller band or the report; other kinds are refused.
    TRptComponent* Master() const { return master_; }
    bool SetMaster(TRptComponent* master);

    // Gives the evaluator the report's data sets and environment and prepares the expression.
    void Prepare();
    void Unprepare();
    void ClearValue() { hasValue_ = false; }
    // Evaluates and compares with the last value; keeps the new one when it changed.
    bool CheckChange();
    // Takes the current value without comparing (a group forced to break by an outer one).
    void ForceChange();
    bool Changed = false;
    void PrintHeader();
    void PrintFooter();
    // On a new page: marks the group changed when it reprints its header there.
    bool CheckReprint();
    bool HeaderPrinted() const { return headerPrinted_; }

private:
    TRptEvResult evaluate();

    TRptEvaluator evaluator_;
    TRptBand* footer_ = nullptr;
    TRptComponent* master_ = nullptr;
    TRptEvResult last_;
    bool hasValue_ = false;
    bool headerPrinted_ = false;
    int page_ = 1;
};
