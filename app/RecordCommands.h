// The commands of the A-scans, bands and maps pages that work on the shown record: save it alone,
// erase it, edit its comments, copy its views to the clipboard, and fill in its report. One
// implementation serves the three kinds; what differs between them is a table.
#pragma once

#include "app/RecordLists.h"

class QObject;

namespace app {

class TGarnetwickMainForm;

// Each answers nothing; failures reach the user as messages. The kind is AScans, Bands or Maps.
void SaveSelectedRecord(TGarnetwickMainForm& form, ListKind kind);
void EraseSelectedRecord(TGarnetwickMainForm& form, ListKind kind);
void EditRecordComments(TGarnetwickMainForm& form, ListKind kind);
void CopyRecordImage(TGarnetwickMainForm& form, ListKind kind);
void PrintRecordReport(TGarnetwickMainForm& form, ListKind kind, QObject* sender);

} // namespace app
