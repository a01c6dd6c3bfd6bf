// What the report engine's tests share: a machine with a recording printer, a message queue the
// test drives, scripted message boxes, a preview stand-in that looks at the pages and closes, and
// readers for the records of a recorded page.
#pragma once

#include "platform/emf/EmfFormat.h"
#include "platform/emf/Metafile.h"
#include "platform/print/Printer.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Messages.h"
#include "reports/engine/FolioReport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace rpttest {

// A queue whose wait is the moment the preview window would be looked at: the test's action
// runs, then what was posted is delivered.
class PreviewQueue : public platform::ui::ManualMessageQueue {
public:
    void WaitMessages() override {
        ++waits;
        if (onWait) {
            auto action = std::move(onWait);
            onWait = nullptr;
            action();
        }
        ProcessMessages();
    }
    std::function<void()> onWait;
    int waits = 0;
};

class ReportMachine : public ::testing::Test {
protected:
    platform::print::RecordingPrintSystem system_;
    platform::print::ScopedPrintSystem scopedSystem_{&system_};
    PreviewQueue queue_;
    platform::ui::ScopedMessageQueue scopedQueue_{&queue_};
    platform::ui::ScriptedMessageBoxes boxes_;
    platform::ui::ScopedMessageBoxService scopedBoxes_{&boxes_};

    // The pages of the report's preview, taken when the preview waits; the preview then closes.
    std::vector<platform::emf::Metafile> previewPages(TCustomFolioReport& report) {
        std::vector<platform::emf::Metafile> pages;
        report.OnPreview = [](TRptPrinter& p) { p.ShowingPreview = true; };
        queue_.onWait = [&] {
            TRptPrinter* p = report.RptPrinter();
            ASSERT_NE(p, nullptr);
            for (int n = 1; n <= p->PageCount; ++n) {
                pages.push_back(*p->GetPage(n));
            }
            p->ClosePreview();
        };
        report.Preview();
        return pages;
    }
};

// A report laid out as the measurement reports are: A4 portrait, millimetres, 10 mm margins,
// one column.
inline void measurementPage(TCustomFolioReport& r) {
    r.Page.SetUnits(TRptUnit::MM);
    r.Page.SetOrientation(TRptOrientation::poPortrait);
    r.Page.SetPaperSize(TRptPaperSize::A4);
    r.Page.SetTopMargin(10);
    r.Page.SetBottomMargin(10);
    r.Page.SetLeftMargin(10);
    r.Page.SetRightMargin(10);
    r.Page.SetColumns(1);
}

inline std::int32_t i32At(const platform::emf::EmfRecord& r, std::size_t offset) {
    std::int32_t v = 0;
    std::memcpy(&v, r.bytes.data() + offset, 4);
    return v;
}

inline std::uint16_t u16At(const platform::emf::EmfRecord& r, std::size_t offset) {
    std::uint16_t v = 0;
    std::memcpy(&v, r.bytes.data() + offset, 2);
    return v;
}

// The records of a page in order, as (type, copy of the bytes).
struct Rec {
    std::uint32_t type;
    std::vector<std::uint8_t> bytes;
    std::int32_t at(std::size_t offset) const {
        std::int32_t v = 0;
        std::memcpy(&v, bytes.data() + offset, 4);
        return v;
    }
};

inline std::vector<Rec> records(const platform::emf::Metafile& mf) {
    std::vector<Rec> out;
    mf.ForEachRecord([&](const platform::emf::EmfRecord& r) {
        out.push_back({r.type, {r.bytes.begin(), r.bytes.end()}});
        return true;
    });
    return out;
}

} // namespace rpttest
