#pragma once

#include "report/TfrxReportComponent.h"

#include <QPointer>

#include <memory>

namespace qev {

class TfrxDataSet;

// A horizontal strip that holds views. At output time the engine sets Left and
// Top; the run-time members below belong to the engine.
class TfrxBand : public TfrxReportComponent {
    Q_OBJECT
    Q_PROPERTY(bool AllowSplit MEMBER AllowSplit)
    Q_PROPERTY(QString Child MEMBER Child)
    Q_PROPERTY(bool KeepChild MEMBER KeepChild)
    Q_PROPERTY(QString OutlineText MEMBER OutlineText)
    Q_PROPERTY(bool PrintChildIfInvisible MEMBER PrintChildIfInvisible)
    Q_PROPERTY(qev::frx::TfrxRestrictions Restrictions MEMBER Restrictions)
    Q_PROPERTY(bool StartNewPage MEMBER StartNewPage)
    Q_PROPERTY(bool Stretched MEMBER Stretched)
    Q_PROPERTY(bool Vertical MEMBER Vertical)

  public:
    explicit TfrxBand(QObject* owner = nullptr);

    bool AllowSplit = false;
    // Name of the band shown right after this one ("" none).
    QString Child;
    bool KeepChild = false;
    QString OutlineText;
    bool PrintChildIfInvisible = false;
    frx::TfrxRestrictions Restrictions;
    bool StartNewPage = false;
    bool Stretched = false;
    bool Vertical = false;

    // The band named by Child, or null.
    TfrxBand* ChildBand() const;

    // Run-time state kept for the engine.
    QList<TfrxBand*> SubBands;
    QPointer<TfrxBand> Header, Footer, Group;
    int LineN = 0;
    int LineThrough = 0;
    double StretchedHeight = 0;
    bool Overflow = false;
    int OriginalObjectsCount = -1;

    void AssignStored(const TfrxComponent& source) override { AssignPrepared(source); }

    template <class F, class... Self>
    static void EachProperty(F&& f, Self&... self) {
        TfrxReportComponent::EachProperty(f, self...);
        f("AllowSplit", self.AllowSplit...);
        f("Child", self.Child...);
        f("KeepChild", self.KeepChild...);
        f("OutlineText", self.OutlineText...);
        f("PrintChildIfInvisible", self.PrintChildIfInvisible...);
        f("Restrictions", self.Restrictions...);
        f("StartNewPage", self.StartNewPage...);
        f("Stretched", self.Stretched...);
        f("Vertical", self.Vertical...);
    }
    QEV_PREPARED_PROPERTIES
};

// A band repeated once per record of its data set.
class TfrxDataBand : public TfrxBand {
    Q_OBJECT
    Q_PROPERTY(int ColumnGap MEMBER ColumnGap)
    Q_PROPERTY(int Columns MEMBER Columns)
    Q_PROPERTY(double ColumnWidth MEMBER ColumnWidth)
    Q_PROPERTY(QString DataSetName READ DataSetName WRITE SetDataSetName)
    Q_PROPERTY(bool FooterAfterEach MEMBER FooterAfterEach)
    Q_PROPERTY(bool KeepFooter MEMBER KeepFooter)
    Q_PROPERTY(bool KeepHeader MEMBER KeepHeader)
    Q_PROPERTY(bool KeepTogether MEMBER KeepTogether)
    Q_PROPERTY(bool PrintIfDetailEmpty MEMBER PrintIfDetailEmpty)
    Q_PROPERTY(int RowCount READ RowCount WRITE SetRowCount)

  public:
    explicit TfrxDataBand(QObject* owner = nullptr);
    ~TfrxDataBand() override;

    int ColumnGap = 0;
    int Columns = 0;
    double ColumnWidth = 0;
    bool FooterAfterEach = false;
    bool KeepFooter = false;
    bool KeepHeader = false;
    bool KeepTogether = false;
    bool PrintIfDetailEmpty = false;
    int CurColumn = 1;

    // Setting the data set sets the name to its UserName; setting the name
    // looks the data set up (an unknown name keeps the previous one).
    TfrxDataSet* DataSet() const;
    void SetDataSet(TfrxDataSet* dataSet);
    QString DataSetName() const;
    void SetDataSetName(const QString& name);

    int RowCount() const { return FRowCount; }
    void SetRowCount(int value);
    // A counter data set of RowCount records, for a band without data set.
    TfrxDataSet* VirtualDataSet() const { return FVirtualDataSet.get(); }

    void AssignStored(const TfrxComponent& source) override;

    // The data set is left out: prepared pages are not bound, nor run.
    template <class F, class... Self>
    static void EachProperty(F&& f, Self&... self) {
        TfrxBand::EachProperty(f, self...);
        f("ColumnGap", self.ColumnGap...);
        f("Columns", self.Columns...);
        f("ColumnWidth", self.ColumnWidth...);
        f("FooterAfterEach", self.FooterAfterEach...);
        f("KeepFooter", self.KeepFooter...);
        f("KeepHeader", self.KeepHeader...);
        f("KeepTogether", self.KeepTogether...);
        f("PrintIfDetailEmpty", self.PrintIfDetailEmpty...);
        f("RowCount", self.FRowCount...);
    }
    QEV_PREPARED_PROPERTIES

  private:
    QPointer<TfrxDataSet> FDataSet;
    QString FDataSetName;
    int FRowCount = 0;
    std::unique_ptr<TfrxDataSet> FVirtualDataSet;
};

class TfrxMasterData : public TfrxDataBand {
    Q_OBJECT
  public:
    explicit TfrxMasterData(QObject* owner = nullptr) : TfrxDataBand(owner) {}
};

class TfrxDetailData : public TfrxDataBand {
    Q_OBJECT
  public:
    explicit TfrxDetailData(QObject* owner = nullptr) : TfrxDataBand(owner) {}
};

class TfrxSubdetailData : public TfrxDataBand {
    Q_OBJECT
  public:
    explicit TfrxSubdetailData(QObject* owner = nullptr) : TfrxDataBand(owner) {}
};

class TfrxPageHeader : public TfrxBand {
    Q_OBJECT
    Q_PROPERTY(bool PrintOnFirstPage MEMBER PrintOnFirstPage)
  public:
    explicit TfrxPageHeader(QObject* owner = nullptr) : TfrxBand(owner) {}
    bool PrintOnFirstPage = true;

    template <class F, class... Self>
    static void EachProperty(F&& f, Self&... self) {
        TfrxBand::EachProperty(f, self...);
        f("PrintOnFirstPage", self.PrintOnFirstPage...);
    }
    QEV_PREPARED_PROPERTIES
};

class TfrxPageFooter : public TfrxBand {
    Q_OBJECT
    Q_PROPERTY(bool PrintOnFirstPage MEMBER PrintOnFirstPage)
    Q_PROPERTY(bool PrintOnLastPage MEMBER PrintOnLastPage)
  public:
    explicit TfrxPageFooter(QObject* owner = nullptr) : TfrxBand(owner) {}
    bool PrintOnFirstPage = true;
    bool PrintOnLastPage = true;

    template <class F, class... Self>
    static void EachProperty(F&& f, Self&... self) {
        TfrxBand::EachProperty(f, self...);
        f("PrintOnFirstPage", self.PrintOnFirstPage...);
        f("PrintOnLastPage", self.PrintOnLastPage...);
    }
    QEV_PREPARED_PROPERTIES
};

class TfrxGroupHeader : public TfrxBand {
    Q_OBJECT
    Q_PROPERTY(QString Condition MEMBER Condition)
  public:
    explicit TfrxGroupHeader(QObject* owner = nullptr) : TfrxBand(owner) {}
    QString Condition;

    template <class F, class... Self>
    static void EachProperty(F&& f, Self&... self) {
        TfrxBand::EachProperty(f, self...);
        f("Condition", self.Condition...);
    }
    QEV_PREPARED_PROPERTIES
};

// The other band kinds: distinct classes the engine may look for.
class TfrxReportTitle : public TfrxBand {
    Q_OBJECT
  public:
    explicit TfrxReportTitle(QObject* owner = nullptr) : TfrxBand(owner) {}
};

class TfrxReportSummary : public TfrxBand {
    Q_OBJECT
  public:
    explicit TfrxReportSummary(QObject* owner = nullptr) : TfrxBand(owner) {}
};

class TfrxColumnHeader : public TfrxBand {
    Q_OBJECT
  public:
    explicit TfrxColumnHeader(QObject* owner = nullptr) : TfrxBand(owner) {}
};

class TfrxColumnFooter : public TfrxBand {
    Q_OBJECT
  public:
    explicit TfrxColumnFooter(QObject* owner = nullptr) : TfrxBand(owner) {}
};

class TfrxHeader : public TfrxBand {
    Q_OBJECT
  public:
    explicit TfrxHeader(QObject* owner = nullptr) : TfrxBand(owner) {}
};

class TfrxFooter : public TfrxBand {
    Q_OBJECT
  public:
    explicit TfrxFooter(QObject* owner = nullptr) : TfrxBand(owner) {}
};

class TfrxGroupFooter : public TfrxBand {
    Q_OBJECT
  public:
    explicit TfrxGroupFooter(QObject* owner = nullptr) : TfrxBand(owner) {}
};

class TfrxChild : public TfrxBand {
    Q_OBJECT
  public:
    explicit TfrxChild(QObject* owner = nullptr) : TfrxBand(owner) {}
};

class TfrxOverlay : public TfrxBand {
    Q_OBJECT
  public:
    explicit TfrxOverlay(QObject* owner = nullptr) : TfrxBand(owner) {}
};

class TfrxNullBand : public TfrxBand {
    Q_OBJECT
  public:
    explicit TfrxNullBand(QObject* owner = nullptr) : TfrxBand(owner) {}
};

}  // namespace qev
