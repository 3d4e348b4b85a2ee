#pragma once

#include <QFrame>
#include <QStringList>

#include <array>

class QLabel;

namespace qev {

struct AgeingSummary;

// The ageing of a statement of open items, under the movements grid: the day
// it is worked out on, then the five buckets and the total, each caption over
// its amount.
class AgeingPanel : public QFrame {
    Q_OBJECT
  public:
    explicit AgeingPanel(QWidget* parent = nullptr);

    void showAgeing(const AgeingSummary& ageing);
    // The captions and the amount texts shown, buckets first, the total last.
    QStringList captions() const;
    QStringList amountTexts() const;
    QString title() const;

  private:
    QLabel* title_;
    std::array<QLabel*, 6> captions_{};
    std::array<QLabel*, 6> amounts_{};
};

}  // namespace qev
