#include "app/TfrxProgress.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

namespace qev {

TfrxProgress::TfrxProgress(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint),
      LMessage(nullptr),
      Bar(nullptr),
      CancelB(nullptr) {
    setObjectName(QStringLiteral("TfrxProgress"));
    setFixedSize(271, 101);

    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setGeometry(0, 0, 271, 101);

    LMessage = new QLabel(panel);
    LMessage->setObjectName(QStringLiteral("LMessage"));
    LMessage->setAlignment(Qt::AlignCenter);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    LMessage->setFont(font);
    LMessage->setGeometry(17, 35, 237, 16);

    Bar = new QProgressBar(panel);
    Bar->setObjectName(QStringLiteral("Bar"));
    Bar->setGeometry(17, 40, 237, 16);
    Bar->hide();

    CancelB = new QPushButton(QStringLiteral("Cancel"), panel);
    CancelB->setObjectName(QStringLiteral("CancelB"));
    CancelB->setGeometry(98, 66, 75, 25);
    connect(CancelB, &QPushButton::clicked, this, &TfrxProgress::cancel);
}

void TfrxProgress::Start() {
    cancelled_ = false;
    LMessage->clear();
    if (QWidget* active = QApplication::activeWindow(); active && active != this) {
        disabled_ = active;
        active->setEnabled(false);
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    show();
}

void TfrxProgress::SetMessage(const QString& message) {
    LMessage->setText(message);
}

void TfrxProgress::Stop() {
    hide();
    enableDisabledWindow();
}

void TfrxProgress::cancel() {
    cancelled_ = true;
    Stop();
}

void TfrxProgress::enableDisabledWindow() {
    if (disabled_) disabled_->setEnabled(true);
    disabled_.clear();
}

void TfrxProgress::mousePressEvent(QMouseEvent* event) {
    dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void TfrxProgress::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) move(event->globalPosition().toPoint() - dragOffset_);
}

}  // namespace qev
