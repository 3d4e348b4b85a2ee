#pragma once

#include "pdf/TfrxExportRun.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace qev {

// The progress window of an export: a small borderless window with the page
// being written and a cancel button. While it is shown the window that was
// active is disabled, so that no second export can start; dragging anywhere
// moves it.
class TfrxProgress : public QWidget, public TfrxExportProgress {
    Q_OBJECT
  public:
    explicit TfrxProgress(QWidget* parent = nullptr);

    void Start() override;
    void SetMessage(const QString& message) override;
    bool Cancelled() const override { return cancelled_; }
    void Stop() override;

    QLabel* LMessage;
    QProgressBar* Bar;
    QPushButton* CancelB;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void cancel();
    void enableDisabledWindow();

    bool cancelled_ = false;
    QPointer<QWidget> disabled_;
    QPoint dragOffset_;
};

}  // namespace qev
