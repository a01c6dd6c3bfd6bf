// The commands that fill and empty the record lists: receiving from the instrument, sending the
// marked configurations, saving to and loading from files. One implementation serves the four
// kinds; what differs between them is a table of texts, extensions, writers and readers.
#pragma once

#include "app/RecordLists.h"

#include <QString>

#include <string>

namespace app {

class TGarnetwickMainForm;

// The extension a save appends when the name does not end in it exactly (case matters).
std::string CompleteExtension(const std::string& fileName, const std::string& extension);

// The save and open dialog filters of a kind, as the dialogs take them.
std::string SaveFilter(ListKind kind);
std::string OpenFilter(ListKind kind);

// Receives the kind's records into a fresh list that replaces the shown one only when the whole
// batch arrived; the previous records stay after a failure.
void ReceiveRecords(TGarnetwickMainForm& form, ListKind kind);
// Saves the records ticked in the choose-records dialog; true when the file was written.
bool SaveRecordsToFile(TGarnetwickMainForm& form, ListKind kind);
void LoadRecordsFromFile(TGarnetwickMainForm& form, ListKind kind);

// Shows the kind's list on its page again (record 0) and its origin.
void RefreshList(TGarnetwickMainForm& form, ListKind kind);

// The choose-records item of record i.
QString SaveListItemText(ListKind kind, int index, const TBaseAScanCell& record);

} // namespace app
