#pragma once

#include "report/TfrxFrame.h"
#include "report/TfrxReportComponent.h"

#include <QColor>
#include <QPointer>

namespace qev {

class TfrxDataSet;

// An object on a band: fill, frame and data binding.
class TfrxView : public TfrxReportComponent {
    Q_OBJECT
    Q_PROPERTY(qev::frx::TfrxAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(bool Printable READ Printable WRITE SetPrintable)
    Q_PROPERTY(qev::frx::TfrxShiftMode ShiftMode READ ShiftMode WRITE SetShiftMode)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(qev::frx::TBrushStyle BrushStyle READ BrushStyle WRITE SetBrushStyle)
    Q_PROPERTY(qev::TfrxFrame Frame READ Frame WRITE SetFrame)
    Q_PROPERTY(QString DataSetName READ DataSetName WRITE SetDataSetName)
    Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)
    Q_PROPERTY(int GroupIndex MEMBER GroupIndex)
    Q_PROPERTY(qev::frx::TfrxRestrictions Restrictions MEMBER Restrictions)
    Q_PROPERTY(QString Hint MEMBER Hint)
    Q_PROPERTY(bool ShowHint MEMBER ShowHint)
    Q_PROPERTY(QString TagStr MEMBER TagStr)
    Q_PROPERTY(QString URL MEMBER URL)
    Q_PROPERTY(int Cursor MEMBER Cursor)
    Q_PROPERTY(bool PlainText MEMBER PlainText)

  public:
    explicit TfrxView(QObject* owner = nullptr);

    TfrxView* asView() override { return this; }

    frx::TfrxAlign Align() const { return FAlign; }
    void SetAlign(frx::TfrxAlign value) { FAlign = value; }
    bool Printable() const { return FPrintable; }
    void SetPrintable(bool value) { FPrintable = value; }
    frx::TfrxShiftMode ShiftMode() const { return FShiftMode; }
    void SetShiftMode(frx::TfrxShiftMode value) { FShiftMode = value; }
    // Fill colour, 0x00BBGGRR; clNone: no fill.
    int Color() const { return FColor; }
    virtual void SetColor(int value) { FColor = value; }
    frx::TBrushStyle BrushStyle() const { return FBrushStyle; }
    void SetBrushStyle(frx::TBrushStyle value) { FBrushStyle = value; }
    const TfrxFrame& Frame() const { return FFrame; }
    TfrxFrame& Frame() { return FFrame; }
    void SetFrame(const TfrxFrame& frame) { FFrame = frame; }

    // Data binding. Setting the data set sets the name to its UserName; setting
    // the name looks the data set up (an unknown name keeps the previous one).
    TfrxDataSet* DataSet() const;
    void SetDataSet(TfrxDataSet* dataSet);
    QString DataSetName() const;
    void SetDataSetName(const QString& name);
    QString DataField() const { return FDataField; }
    void SetDataField(const QString& value) { FDataField = value; }
    // Bound: a data set and a non-empty field.
    bool IsDataField() const;

    int GroupIndex = 0;
    frx::TfrxRestrictions Restrictions;
    QString Hint;
    bool ShowHint = false;
    QString TagStr;
    QString URL;
    int Cursor = 0;
    bool PlainText = false;

    // Saves TagStr and URL, expands brackets in them, restores them.
    void BeforePrint() override;
    void GetData() override;
    void AfterPrint() override;
    void Draw(QPainter* canvas, double scaleX, double scaleY, double offsetX,
              double offsetY) override;

    void AssignStored(const TfrxComponent& source) override;

    // The data binding is left out: prepared pages are not bound.
    template <class F, class... Self>
    static void EachProperty(F&& f, Self&... self) {
        TfrxReportComponent::EachProperty(f, self...);
        f("Align", self.FAlign...);
        f("Printable", self.FPrintable...);
        f("ShiftMode", self.FShiftMode...);
        f("Color", self.FColor...);
        f("BrushStyle", self.FBrushStyle...);
        f("Frame", self.FFrame...);
        f("GroupIndex", self.GroupIndex...);
        f("Restrictions", self.Restrictions...);
        f("Hint", self.Hint...);
        f("ShowHint", self.ShowHint...);
        f("TagStr", self.TagStr...);
        f("URL", self.URL...);
        f("Cursor", self.Cursor...);
        f("PlainText", self.PlainText...);
    }
    QEV_PREPARED_PROPERTIES

  protected:
    // The scaled rectangle of the last BeginDraw, in canvas pixels.
    virtual void BeginDraw(QPainter* canvas, double scaleX, double scaleY, double offsetX,
                           double offsetY);
    virtual void DrawBackground();
    virtual void DrawFrame();

    QPainter* FCanvas = nullptr;
    double FScaleX = 1, FScaleY = 1, FOffsetX = 0, FOffsetY = 0;
    double FX = 0, FY = 0, FX1 = 0, FY1 = 0, FDX = 0, FDY = 0;

  private:
    frx::TfrxAlign FAlign = frx::baNone;
    bool FPrintable = true;
    frx::TfrxShiftMode FShiftMode = frx::smAlways;
    int FColor = clNone;
    frx::TBrushStyle FBrushStyle = frx::bsSolid;
    TfrxFrame FFrame;
    QPointer<TfrxDataSet> FDataSet;
    QString FDataSetName;
    QString FDataField;
    QString FSavedTagStr, FSavedURL;
};

// QColor of a 0x00BBGGRR value (clNone gives a transparent colour).
QColor frxColor(int bgr);

}  // namespace qev
