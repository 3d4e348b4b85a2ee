#include "report/TfrxMemoView.h"

#include "report/TfrxDataSet.h"
#include "report/TfrxReport.h"
#include "report/TfrxVariables.h"
#include "report/frxBrackets.h"
#include "report/frxFormatData.h"

#include <algorithm>

namespace qev {

namespace {

bool isZeroNumber(const QVariant& value) {
    if (value.isNull() || value.typeId() == QMetaType::QString) return false;
    bool ok = false;
    const double d = value.toDouble(&ok);
    return ok && d == 0;
}

// The inline format after " #": its first letter chooses the kind.
TfrxFormat inlineFormat(const QString& text) {
    TfrxFormat format;
    if (text.isEmpty()) return format;
    const QChar letter = text[0].toLower();
    format.FormatStr = text.mid(1);
    if (letter == u'n') {
        format.Kind = frx::fkNumeric;
        for (QChar& c : format.FormatStr) {
            if (c == u',' || c == u'-' || c == u'.') {
                format.DecimalSeparator = c;
                c = u'.';
            }
        }
    } else if (letter == u'd' || letter == u't') {
        format.Kind = frx::fkDateTime;
    } else if (letter == u'b') {
        format.Kind = frx::fkBoolean;
    }
    return format;
}

}  // namespace

TfrxCustomMemoView::TfrxCustomMemoView(QObject* owner) : TfrxStretcheable(owner) {
    FComponentStyle &= ~frx::TfrxComponentStyles(frx::csDefaultDiff);
}

QString TfrxCustomMemoView::Text() const {
    QString text;
    for (const QString& line : FMemo) text += line + QStringLiteral("\r\n");
    return text;
}

void TfrxCustomMemoView::SetText(const QString& text) {
    // Most texts are one line: the list keeps its one entry.
    if (!text.contains(u'\n') && !text.contains(u'\r')) {
        if (text.isEmpty())
            FMemo.clear();
        else if (FMemo.size() == 1)
            FMemo.first() = text;
        else
            FMemo = QStringList{text};
        return;
    }
    QString normal = text;
    normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    if (normal.endsWith(u'\n')) normal.chop(1);
    FMemo = normal.isEmpty() && text.isEmpty() ? QStringList() : normal.split(u'\n');
}

void TfrxCustomMemoView::BeforePrint() {
    TfrxStretcheable::BeforePrint();
    FSavedText = IsDataField() ? std::optional<QStringList>() : std::optional<QStringList>(FMemo);
}

void TfrxCustomMemoView::AfterPrint() {
    if (FSavedText) FMemo = *FSavedText;
    FSavedText.reset();
    TfrxStretcheable::AfterPrint();
}

void TfrxCustomMemoView::GetData() {
    TfrxStretcheable::GetData();
    TfrxReport* report = Report();
    if (IsDataField()) {
        const bool formatted = DisplayFormat.Kind != frx::fkText;
        TfrxFieldReading field = DataSet()->ReadField(DataField(), !formatted);
        Value = std::move(field.value);
        SetText(formatted && !field.blob ? FormatData(Value, DisplayFormat) : field.text);
        if (HideZeros && isZeroNumber(Value)) SetText(QString());
    } else if (AllowExpressions) {
        const qsizetype comma = ExpressionDelimiters.indexOf(u',');
        const QStringView open =
            comma < 0 ? QStringView(ExpressionDelimiters) : QStringView(ExpressionDelimiters).left(comma);
        // A delimiter never spans two lines: most memos are plain labels.
        const bool hasExpression =
            !open.isEmpty() && std::any_of(FMemo.cbegin(), FMemo.cend(), [open](const QString& line) {
                return line.contains(open);
            });
        if (hasExpression) {
            const QString close = comma < 0 ? QString() : ExpressionDelimiters.mid(comma + 1);
            SetText(frxExpandBrackets(Text(), open.toString(), close,
                                      [this](const QString& e) { return CalcAndFormat(e); }));
        }
    }
    if (!report) return;
    report->CurrentValue = Value;
    Highlight.Active = false;
    if (!Highlight.Condition.isEmpty()) {
        const QVariant condition = report->Calc(Highlight.Condition);
        Highlight.Active =
            condition.typeId() == QMetaType::Bool ? condition.toBool() : condition.toDouble() != 0;
    }
    if (SuppressRepeated) {
        const QString text = Text();
        if (text == FLastValue)
            SetText(QString());
        else
            FLastValue = text;
    }
}

QString TfrxCustomMemoView::CalcAndFormat(const QString& expression) {
    QString e = expression;
    TfrxFormat format = DisplayFormat;
    const qsizetype hash = e.indexOf(QStringLiteral(" #"));
    if (hash >= 0 && !e.mid(hash + 2).contains(u')')) {
        format = inlineFormat(e.mid(hash + 2));
        e = e.left(hash);
    }
    if (e.compare(u"TotalPages#", Qt::CaseInsensitive) == 0) {
        Value = QStringLiteral("[TotalPages#]");
    } else if (e.compare(u"CopyName#", Qt::CaseInsensitive) == 0) {
        Value = QStringLiteral("[CopyName#]");
    } else {
        TfrxReport* report = Report();
        Value = report ? report->Calc(e) : QVariant();
    }
    if (HideZeros && isZeroNumber(Value)) return {};
    return FormatData(Value, format);
}

void TfrxCustomMemoView::ExtractMacros() {
    if (!AllowExpressions) return;
    // Every exported memo comes here; most hold no macro at all.
    const bool mayHoldMacro = std::any_of(FMemo.cbegin(), FMemo.cend(),
                                     [](const QString& line) { return line.contains(u'#'); });
    if (!mayHoldMacro) return;
    QString text = Text();
    const QString before = text;
    text.replace(QStringLiteral("[TOTALPAGES#]"), QString::number(FTotalPages),
                 Qt::CaseInsensitive);
    const QVariant copyName =
        frxGlobalVariables().Value(QStringLiteral("CopyName") + QString::number(FCopyNo));
    text.replace(QStringLiteral("[COPYNAME#]"), frxPlainText(copyName), Qt::CaseInsensitive);
    if (text != before) SetText(text);
}

}  // namespace qev
