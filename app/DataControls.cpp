#include "app/DataControls.h"

#include "app/WindowStyle.h"
#include "data/RecordSet.h"

namespace qev {

QString currentFieldText(const RecordSet& recordSet, const QString& field) {
    if (!recordSet.isOpen() || recordSet.recordCount() == 0) return {};
    const int position = recordSet.position();
    if (position < 0 || position >= recordSet.recordCount()) return {};
    return recordSet.displayText(field);
}

DBText::DBText(const QString& field, QWidget* parent) : QLabel(parent), field_(field) {
    setFont(windowFont(true));
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void DBText::showFrom(const RecordSet& recordSet) {
    setText(currentFieldText(recordSet, field_));
}

DBMemo::DBMemo(const QString& field, QWidget* parent) : QPlainTextEdit(parent), field_(field) {
    setFont(windowFont(true));
    setFrameShape(QFrame::NoFrame);
    setReadOnly(true);
    setEnabled(false);
    // Disabled only to keep the focus out: it reads like the data texts around it.
    QPalette colours = palette();
    colours.setColor(QPalette::Disabled, QPalette::Text,
                     colours.color(QPalette::Active, QPalette::WindowText));
    colours.setColor(QPalette::Disabled, QPalette::Base, Qt::transparent);
    setPalette(colours);
    viewport()->setAutoFillBackground(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    document()->setDocumentMargin(0);
}

void DBMemo::showFrom(const RecordSet& recordSet) {
    setPlainText(currentFieldText(recordSet, field_));
}

}  // namespace qev
