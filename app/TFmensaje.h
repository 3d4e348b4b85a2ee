#pragma once

#include <QWidget>

class QFrame;
class QLabel;

namespace qev {

// The small frameless window that shows one line while a statement is collected.
// Created hidden at start-up; shown and closed (hidden) again for every build.
class TFmensaje : public QWidget {
    Q_OBJECT
  public:
    explicit TFmensaje(QWidget* parent = nullptr);

    QLabel* Label1() const { return label1_; }

    // Sets the text, shows the window without waiting and lets pending events
    // (user input excepted) run so that it paints before the long work starts.
    void showMessage(const QString& text);

  private:
    QFrame* panel1_;
    QLabel* label1_;
};

}  // namespace qev
