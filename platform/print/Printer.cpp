#include "platform/print/Printer.h"

#include "platform/emf/MetafileCanvas.h"
#include "platform/print/QtPrinting.h"

#include <algorithm>
#include <cmath>

namespace platform::print {

namespace {

PrintSystem*& installed() {
    static PrintSystem* system = nullptr;
    return system;
}

int toPixels(double mm, int dpi) {
    return int(std::nearbyint(mm / 25.4 * dpi));
}

} // namespace

PrintSystem& printSystem() {
    static QtPrintSystem qtSystem;
    PrintSystem* current = installed();
    return current != nullptr ? *current : qtSystem;
}

void setPrintSystem(PrintSystem* system) {
    installed() = system;
}

ScopedPrintSystem::ScopedPrintSystem(PrintSystem* system) : previous_(installed()) {
    setPrintSystem(system);
}

ScopedPrintSystem::~ScopedPrintSystem() {
    setPrintSystem(previous_);
}

RecordingPrinter::RecordingPrinter(std::string name) : name_(std::move(name)) {}

RecordingPrinter::~RecordingPrinter() = default;

PrinterCapabilities RecordingPrinter::Capabilities() const {
    PrinterCapabilities c = caps;
    if (mode_.paper.width > 0 && mode_.paper.length > 0) {
        const bool landscape = mode_.orientation == DMORIENT_LANDSCAPE;
        const double w = landscape ? mode_.paper.length : mode_.paper.width;
        const double l = landscape ? mode_.paper.width : mode_.paper.length;
        c.physicalWidth = toPixels(w, c.dpiX);
        c.physicalHeight = toPixels(l, c.dpiY);
    }
    return c;
}

void RecordingPrinter::SetDeviceMode(const DeviceMode& mode) {
    modesSet.push_back(mode);
    if (mode.fields & (DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH)) {
        mode_.paperCode = mode.paperCode;
        mode_.paper = mode.paper;
    }
    if (mode.fields & DM_ORIENTATION) {
        mode_.orientation = mode.orientation;
    }
    if (mode.fields & DM_COPIES) {
        mode_.copies = mode.copies;
    }
    if (mode.fields & DM_DUPLEX) {
        mode_.duplex = mode.duplex;
    }
    if (mode.fields & DM_DEFAULTSOURCE) {
        mode_.defaultSource = mode.defaultSource;
    }
    if (mode.fields & DM_PRINTQUALITY) {
        mode_.printQuality = mode.printQuality;
    }
    if (mode.fields & DM_COLOR) {
        mode_.color = mode.color;
    }
    if (mode.fields & DM_COLLATE) {
        mode_.collate = mode.collate;
    }
    mode_.fields |= mode.fields;
}

void RecordingPrinter::BeginDoc(const std::string& title) {
    RecordedJob job;
    job.title = title;
    job.mode = mode_;
    jobs.push_back(std::move(job));
    const PrinterCapabilities c = Capabilities();
    canvas_ = std::make_unique<emf::MetafileCanvas>(c.physicalWidth - c.offsetX,
                                                    c.physicalHeight - c.offsetY);
}

void RecordingPrinter::closePage() {
    auto* mc = static_cast<emf::MetafileCanvas*>(canvas_.get());
    jobs.back().pages.push_back(mc->Close());
    canvas_.reset();
}

void RecordingPrinter::NewPage() {
    if (!canvas_) {
        return;
    }
    closePage();
    const PrinterCapabilities c = Capabilities();
    canvas_ = std::make_unique<emf::MetafileCanvas>(c.physicalWidth - c.offsetX,
                                                    c.physicalHeight - c.offsetY);
}

void RecordingPrinter::EndDoc() {
    if (!canvas_) {
        return;
    }
    closePage();
    jobs.back().ended = true;
}

void RecordingPrinter::AbortDoc() {
    if (!canvas_) {
        return;
    }
    canvas_.reset();
    jobs.back().aborted = true;
}

gfx::TCanvas& RecordingPrinter::Canvas() {
    if (!canvas_) {
        throw std::logic_error("the printer has no page in hand");
    }
    return *canvas_;
}

// A recording printer that hands its jobs to its system when it goes.
class TrackedRecordingPrinter : public RecordingPrinter {
public:
    TrackedRecordingPrinter(std::string name, RecordingPrintSystem& system)
        : RecordingPrinter(std::move(name)), system_(system) {
        system_.made.push_back(this);
    }
    ~TrackedRecordingPrinter() override {
        auto& made = system_.made;
        made.erase(std::remove(made.begin(), made.end(), this), made.end());
        for (auto& job : jobs) {
            system_.finishedJobs.push_back(std::move(job));
        }
    }

private:
    RecordingPrintSystem& system_;
};

std::unique_ptr<Printer> RecordingPrintSystem::CreatePrinter(const std::string& name) {
    if (names.empty()) {
        return nullptr;
    }
    std::string chosen = name;
    if (chosen.empty()) {
        chosen = names[std::size_t(std::clamp(defaultIndex, 0, int(names.size()) - 1))];
    } else if (std::find(names.begin(), names.end(), name) == names.end()) {
        return nullptr;
    }
    auto p = std::make_unique<TrackedRecordingPrinter>(chosen, *this);
    p->caps = caps;
    return p;
}

std::vector<RecordedJob> RecordingPrintSystem::allJobs() const {
    std::vector<RecordedJob> all = finishedJobs;
    for (const RecordingPrinter* p : made) {
        all.insert(all.end(), p->jobs.begin(), p->jobs.end());
    }
    return all;
}

} // namespace platform::print
