#pragma once

#include <QList>
#include <QPointer>
#include <QVariant>

#include <memory>
#include <vector>

namespace qev {

class TfrxComponent;
class TfrxReport;

// A report as a preparation finds it, put back afterwards (DestroyForms):
// every stored property of the report and of every component under it, and
// the tree itself. It holds copies of the components, not their stored form:
// a preparation runs for every statement printed, and writing and reading
// the whole template each time cost more than a short statement's pages.
class TfrxReportSnapshot {
  public:
    explicit TfrxReportSnapshot(TfrxReport& report);
    ~TfrxReportSnapshot();
    TfrxReportSnapshot(const TfrxReportSnapshot&) = delete;
    TfrxReportSnapshot& operator=(const TfrxReportSnapshot&) = delete;

    // Every property back as it was. A tree changed meanwhile (components
    // added or freed) is made again from the copies, as reading the stored
    // form would. The report's errors are left alone.
    void restore();

  private:
    struct Entry {
        QPointer<TfrxComponent> original;
        int parent;  // index of the parent's entry; -1: the report
        std::unique_ptr<TfrxComponent> copy;
    };
    bool treeUnchanged() const;

    TfrxReport& FReport;
    QList<QVariant> FReportValues;
    std::vector<Entry> FEntries;  // depth first, parents before their children
};

}  // namespace qev
