#include "app/AgeingPanel.h"

#include "format/AmountText.h"
#include "statement/AgeingSummary.h"
#include "statement/StatementOptions.h"

#include <QGridLayout>
#include <QLabel>

namespace qev {

AgeingPanel::AgeingPanel(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 2, 6, 2);
    grid->setVerticalSpacing(1);
    title_ = new QLabel(this);
    title_->setObjectName(QStringLiteral("LabelAntiguedad"));
    grid->addWidget(title_, 0, 0, 2, 1);
    QFont bold = font();
    bold.setBold(true);
    for (std::size_t i = 0; i < captions_.size(); ++i) {
        captions_[i] = new QLabel(this);
        captions_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        amounts_[i] = new QLabel(this);
        amounts_[i]->setObjectName(QStringLiteral("LabelSaldo%1").arg(i));
        amounts_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        amounts_[i]->setFont(bold);
        amounts_[i]->setTextFormat(Qt::PlainText);
        grid->addWidget(captions_[i], 0, int(i) + 1);
        grid->addWidget(amounts_[i], 1, int(i) + 1);
        grid->setColumnStretch(int(i) + 1, 1);
    }
    captions_.back()->setText(QStringLiteral("Total"));
}

void AgeingPanel::showAgeing(const AgeingSummary& ageing) {
    title_->setText(QStringLiteral("Antigüedad de saldos\nal %1").arg(statementDateText(ageing.asOf)));
    for (std::size_t i = 0; i < ageing.buckets.size(); ++i) {
        captions_[i]->setText(ageing.buckets[i].label);
        amounts_[i]->setText(pesos(ageing.buckets[i].amount));
    }
    amounts_.back()->setText(pesos(ageing.total));
}

QStringList AgeingPanel::captions() const {
    QStringList texts;
    for (const QLabel* label : captions_) texts << label->text();
    return texts;
}

QStringList AgeingPanel::amountTexts() const {
    QStringList texts;
    for (const QLabel* label : amounts_) texts << label->text();
    return texts;
}

QString AgeingPanel::title() const {
    return title_->text();
}

}  // namespace qev
