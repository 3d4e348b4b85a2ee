#pragma once

#include <QDate>
#include <QList>
#include <QObject>
#include <QTime>
#include <QVariant>

namespace qev {

class TfrxBand;
class TfrxPreviewPages;
class TfrxReport;

// The engine's public state and operations; TfrxEngine does the work.
class TfrxCustomEngine : public QObject {
    Q_OBJECT

  public:
    // `owner` frees the engine (the report).
    TfrxCustomEngine(TfrxReport* report, TfrxPreviewPages* previewPages, QObject* owner)
        : QObject(owner), Report(report), PreviewPages(previewPages) {}

    TfrxReport* Report;
    TfrxPreviewPages* PreviewPages;
    // Where the next band goes, relative to the top-left corner of the
    // printable area, report pixels.
    double CurX = 0, CurY = 0;
    // Printable width and height of the current page.
    double PageWidth = 0, PageHeight = 0;
    int CurColumn = 1, CurVColumn = 1;
    // Record number within the current data band's walk and running record
    // number, both from 1.
    int CurLine = 0, CurLineThrough = 0;
    bool DoublePass = false;
    // True during the pass whose pages are kept.
    bool FinalPass = true;
    // Page count of the first pass in a two-pass run; 0 otherwise.
    int TotalPages = 0;
    QDate StartDate;
    QTime StartTime;
    bool Running = false;
    QList<QObject*> NotifyList;
    bool SecondScriptCall = false;

    virtual double GetPageHeight() = 0;
    virtual void EndPage() = 0;
    virtual void BreakAllKeep() = 0;
    virtual void NewColumn() = 0;
    virtual void NewPage() = 0;
    virtual void ShowBand(TfrxBand* band) = 0;
    // Shows the current page's first band of that class.
    virtual void ShowBand(const QMetaObject& bandClass) = 0;
    virtual double HeaderHeight() = 0;
    virtual double FooterHeight() = 0;
    virtual double FreeSpace() = 0;
    virtual QVariant GetAggregateValue(const QString& name) = 0;
    // Prepares the pages; false when the run failed (Errors says why).
    virtual bool Run() = 0;
};

}  // namespace qev
