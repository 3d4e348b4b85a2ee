#pragma once

#include "report/TfrxFont.h"
#include "report/frxTypes.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

namespace qev {

class PreparedPageReader;
class PreparedPageWriter;
class TfrxCustomMemoView;
class TfrxPage;
class TfrxPictureView;
class TfrxReport;
class TfrxView;

// Every report component: the tree, the geometry and the font.
//
// Left and Top are relative to Parent (a view to its band, a band to its page),
// in report pixels. A component created with a report component as owner gets
// it as Parent and is appended to its Objects; children are freed with their
// parent. Every Q_PROPERTY declared with a WRITE is part of the stored form
// (see ReportStorage.h): storing keeps only what differs from a freshly
// constructed instance, so constructors set the declared defaults.
//
// Font rules: a component with ParentFont on copies its parent's font when the
// parent is set or the parent's font changes; assigning a font turns ParentFont
// off and passes the font on to every child whose ParentFont is on.
class TfrxComponent : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_PROPERTY(double Left READ Left WRITE SetLeft)
    Q_PROPERTY(double Top READ Top WRITE SetTop)
    Q_PROPERTY(double Width READ Width WRITE SetWidth)
    Q_PROPERTY(double Height READ Height WRITE SetHeight)
    Q_PROPERTY(qev::TfrxFont Font READ Font WRITE SetFont)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)

  public:
    // `owner` that is a report component becomes the Parent; any other QObject
    // only owns the component's lifetime (data sets owned by a window).
    explicit TfrxComponent(QObject* owner = nullptr);
    ~TfrxComponent() override;

    // Also the QObject's name; kept here too, as QObject's own is slow to read
    // and prepared pages compare the name of every band and view they record.
    const QString& Name() const { return FName; }
    virtual void SetName(const QString& name) {
        FName = name;
        setObjectName(name);
    }

    double Left() const { return FLeft; }
    double Top() const { return FTop; }
    double Width() const { return FWidth; }
    double Height() const { return FHeight; }
    virtual void SetLeft(double value) { FLeft = value; }
    virtual void SetTop(double value) { FTop = value; }
    virtual void SetWidth(double value) { FWidth = value; }
    virtual void SetHeight(double value) { FHeight = value; }
    // Calls SetLeft, SetTop, SetWidth, SetHeight in this order.
    void SetBounds(double left, double top, double width, double height);
    // Sum of Left (Top) along the parent chain, this component included.
    double AbsLeft() const;
    double AbsTop() const;

    const TfrxFont& Font() const { return FFont; }
    virtual void SetFont(const TfrxFont& font);
    bool ParentFont() const { return FParentFont; }
    virtual void SetParentFont(bool value);
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool value) { FVisible = value; }

    TfrxComponent* Parent() const { return FParent; }
    virtual void SetParent(TfrxComponent* parent);
    // Direct children in creation (= stored = output) order.
    const QList<TfrxComponent*>& Objects() const { return FObjects; }
    // All descendants, depth first, parent before its children.
    QList<TfrxComponent*> AllObjects() const;
    // The descendant of that name (ignoring case), or null.
    TfrxComponent* FindObject(const QString& name) const;
    // Nearest ancestor (or self) that is a page / the report; null when none.
    TfrxPage* Page() const;
    // The component as a view, a memo or a picture, else null: what is asked
    // of every band and view the engine records, the store rebuilds and the
    // export draws, cheaper than a cast through the meta-object.
    virtual TfrxView* asView() { return nullptr; }
    virtual TfrxCustomMemoView* asMemo() { return nullptr; }
    virtual TfrxPictureView* asPicture() { return nullptr; }
    TfrxReport* Report() const;

    // The class name without "Tfrx" and "View": "Memo", "Picture", "Page".
    virtual QString BaseName() const;
    // The class name without the namespace ("TfrxMemoView").
    QString ClassName() const;
    frx::TfrxComponentStyles frComponentStyle() const { return FComponentStyle; }

    // Frees every child.
    virtual void Clear();
    // Called on every component before a report run starts.
    virtual void BeforeStartReport() {}
    // Passes this component's font on to the children whose ParentFont is on.
    virtual void FontChanged();

    // Whether a property with a WRITE takes part in the stored form; derived
    // values (a report page's Width and Height) say no.
    virtual bool IsStoredProperty(const char* name) const;

    // The properties prepared pages keep, typed (PreparedProperties.h): every
    // band and view class lists its own in EachProperty. `source` is a
    // component of the same class.
    virtual void AssignPrepared(const TfrxComponent& source);
    virtual void WritePreparedDifferences(PreparedPageWriter& writer,
                                          const TfrxComponent& source) const;
    virtual void ReadPreparedDifferences(PreparedPageReader& reader);
    virtual QStringList PreparedPropertyNames() const;
    // Every stored property of `source` (same class), the data binding and
    // a picture included: typed for bands and views, through the
    // meta-object system for the rest.
    virtual void AssignStored(const TfrxComponent& source);

    template <class F, class... Self>
    static void EachProperty(F&& f, Self&... self) {
        f("Left", self.FLeft...);
        f("Top", self.FTop...);
        f("Width", self.FWidth...);
        f("Height", self.FHeight...);
        f("Font", self.FFont...);
        f("ParentFont", self.FParentFont...);
        f("Visible", self.FVisible...);
    }

  protected:
    frx::TfrxComponentStyles FComponentStyle = frx::csPreviewVisible;
    // What Report() asks each ancestor: cheaper than a cast, as every memo
    // of every row looks for its report.
    virtual TfrxReport* asReport() const { return nullptr; }

  private:
    void attachTo(TfrxComponent* parent);
    void appendAllObjects(QList<TfrxComponent*>& all) const;

    QString FName;
    double FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TfrxFont FFont;
    bool FParentFont = true;
    bool FVisible = true;
    TfrxComponent* FParent = nullptr;
    QList<TfrxComponent*> FObjects;
};

}  // namespace qev

// In the body of a class that adds properties of its own (EachProperty): its
// typed copy, comparison and record, defined in PreparedProperties.cpp.
#define QEV_PREPARED_PROPERTIES                                                           \
    void AssignPrepared(const TfrxComponent& source) override;                           \
    void WritePreparedDifferences(PreparedPageWriter& writer, const TfrxComponent& source) \
        const override;                                                                   \
    void ReadPreparedDifferences(PreparedPageReader& reader) override;                    \
    QStringList PreparedPropertyNames() const override;
