#pragma once

#include "report/TfrxComponent.h"
#include "report/TfrxFrame.h"

#include <QByteArray>
#include <QPointer>
#include <QStringList>

namespace qev {

class TfrxBand;
class TfrxDataSet;

// The base of pages.
class TfrxPage : public TfrxComponent {
    Q_OBJECT
  public:
    explicit TfrxPage(QObject* owner = nullptr) : TfrxComponent(owner) {}
};

// A printable page: paper, margins and bands. Paper sizes and margins are in
// millimetres; Width and Height are derived: Round(mm x fr01cm), whole report
// pixels, recomputed on every change of the paper.
//
// Setting PaperWidth or PaperHeight rounds it to 8 decimals and makes the
// paper custom (256); setting a known PaperSize takes the dimensions from the
// paper table (swapped in landscape). The stored form sets width, height and
// then the size, so a known code wins over stored dimensions.
class TfrxReportPage : public TfrxPage {
    Q_OBJECT
    Q_PROPERTY(qev::frx::TPrinterOrientation Orientation READ Orientation WRITE SetOrientation)
    Q_PROPERTY(double PaperWidth READ PaperWidth WRITE SetPaperWidth)
    Q_PROPERTY(double PaperHeight READ PaperHeight WRITE SetPaperHeight)
    Q_PROPERTY(int PaperSize READ PaperSize WRITE SetPaperSize)
    Q_PROPERTY(double LeftMargin MEMBER LeftMargin)
    Q_PROPERTY(double RightMargin MEMBER RightMargin)
    Q_PROPERTY(double TopMargin MEMBER TopMargin)
    Q_PROPERTY(double BottomMargin MEMBER BottomMargin)
    Q_PROPERTY(bool MirrorMargins MEMBER MirrorMargins)
    Q_PROPERTY(int Columns MEMBER Columns)
    Q_PROPERTY(double ColumnWidth MEMBER ColumnWidth)
    Q_PROPERTY(QStringList ColumnPositions MEMBER ColumnPositions)
    Q_PROPERTY(int Bin MEMBER Bin)
    Q_PROPERTY(int BinOtherPages MEMBER BinOtherPages)
    Q_PROPERTY(int PageCount MEMBER PageCount)
    Q_PROPERTY(bool PrintIfEmpty MEMBER PrintIfEmpty)
    Q_PROPERTY(bool TitleBeforeHeader MEMBER TitleBeforeHeader)
    Q_PROPERTY(bool PrintOnPreviousPage MEMBER PrintOnPreviousPage)
    Q_PROPERTY(bool ResetPageNumbers MEMBER ResetPageNumbers)
    Q_PROPERTY(bool EndlessHeight MEMBER EndlessHeight)
    Q_PROPERTY(bool EndlessWidth MEMBER EndlessWidth)
    Q_PROPERTY(bool LargeDesignHeight MEMBER LargeDesignHeight)
    Q_PROPERTY(qev::frx::TfrxDuplexMode Duplex MEMBER Duplex)
    Q_PROPERTY(int Color MEMBER Color)
    Q_PROPERTY(qev::TfrxFrame Frame MEMBER Frame)
    Q_PROPERTY(QByteArray BackPicture MEMBER BackPicture)
    Q_PROPERTY(bool BackPictureVisible MEMBER BackPictureVisible)
    Q_PROPERTY(bool BackPicturePrintable MEMBER BackPicturePrintable)
    Q_PROPERTY(QString DataSetName READ DataSetName WRITE SetDataSetName)
    Q_PROPERTY(QString OutlineText MEMBER OutlineText)
    Q_PROPERTY(QStringList HGuides MEMBER HGuides)
    Q_PROPERTY(QStringList VGuides MEMBER VGuides)

  public:
    explicit TfrxReportPage(QObject* owner = nullptr);

    frx::TPrinterOrientation Orientation() const { return FOrientation; }
    virtual void SetOrientation(frx::TPrinterOrientation value);
    double PaperWidth() const { return FPaperWidth; }
    double PaperHeight() const { return FPaperHeight; }
    int PaperSize() const { return FPaperSize; }
    virtual void SetPaperWidth(double mm);
    virtual void SetPaperHeight(double mm);
    virtual void SetPaperSize(int code);
    // Margins of 10 mm and A4: for a page made from scratch, never when read.
    virtual void SetDefaults();

    double LeftMargin = 0, RightMargin = 0, TopMargin = 0, BottomMargin = 0;
    bool MirrorMargins = false;
    int Columns = 0;
    double ColumnWidth = 0;
    QStringList ColumnPositions;
    int Bin = 7;
    int BinOtherPages = 7;
    int PageCount = 1;
    bool PrintIfEmpty = true;
    bool TitleBeforeHeader = true;
    bool PrintOnPreviousPage = false;
    bool ResetPageNumbers = false;
    bool EndlessHeight = false;
    bool EndlessWidth = false;
    bool LargeDesignHeight = false;
    frx::TfrxDuplexMode Duplex = frx::dmNone;
    int Color = clNone;  // page background
    TfrxFrame Frame;     // page frame
    QByteArray BackPicture;
    bool BackPictureVisible = true;
    bool BackPicturePrintable = true;
    QString OutlineText;
    QStringList HGuides, VGuides;

    // When set, the page is run once per record.
    TfrxDataSet* DataSet() const;
    void SetDataSet(TfrxDataSet* dataSet);
    QString DataSetName() const;
    void SetDataSetName(const QString& name);

    // The first object of Objects that is of the class or derived from it.
    TfrxBand* FindBand(const QMetaObject& bandClass) const;
    template <class Band>
    Band* FindBand() const {
        return static_cast<Band*>(FindBand(Band::staticMetaObject));
    }

    QString BaseName() const override { return QStringLiteral("Page"); }
    bool IsStoredProperty(const char* name) const override;

  private:
    void updateSize();

    frx::TPrinterOrientation FOrientation = frx::poPortrait;
    double FPaperWidth = 210;
    double FPaperHeight = 297;
    int FPaperSize = 9;
    QPointer<TfrxDataSet> FDataSet;
    QString FDataSetName;
};

// The holder of non-visual components (empty in this system).
class TfrxDataPage : public TfrxPage {
    Q_OBJECT
  public:
    explicit TfrxDataPage(QObject* owner = nullptr);
};

}  // namespace qev
