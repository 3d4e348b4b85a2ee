#pragma once

// The report's side of preparing: the engine and the store of prepared pages
// that a report owns, and PrepareReport around a run of the engine.

#include <QString>
#include <QStringList>

namespace qev {

class TfrxEngine;
class TfrxPreviewPages;
class TfrxReport;

// Made on first use, freed with the report.
TfrxEngine* frxEngineOf(TfrxReport& report);
TfrxPreviewPages* frxPreviewPagesOf(TfrxReport& report);

// Prepares the report's pages: empties the store (when asked), checks the
// data sets, snapshots the template, runs the engine, restores the template
// and, when errors were collected, reports them once as ErrorsMessage in a
// box captioned "Error" (or silently, or thrown, as NewSilentMode says).
// True when the run ended without errors; the pages made stay in the store
// either way.
bool frxPrepareReport(TfrxReport& report, bool ClearLastReport = true);

// "The following error(s) have occured:" and the texts, each line ended by CR LF.
QString frxErrorsMessage(const QStringList& errors);

}  // namespace qev
