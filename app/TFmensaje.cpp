#include "app/TFmensaje.h"

#include "app/WindowStyle.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QScreen>

namespace qev {

TFmensaje::TFmensaje(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      panel1_(new QFrame(this)),
      label1_(new QLabel(QStringLiteral("Mensaje!"), panel1_)) {
    setObjectName(QStringLiteral("Fmensaje"));
    setWindowTitle(QStringLiteral("Fmensaje"));
    setFont(windowFont());
    setFixedSize(341, 36);
    setAutoFillBackground(true);
    setPalette(QApplication::palette());
    // Left visible, it must not keep the program running once the main window closes.
    setAttribute(Qt::WA_QuitOnClose, false);

    panel1_->setObjectName(QStringLiteral("Panel1"));
    panel1_->setFrameShape(QFrame::Box);
    panel1_->setLineWidth(1);
    panel1_->setGeometry(0, 0, 341, 36);

    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setGeometry(8, 9, 321, 13);
    label1_->setAlignment(Qt::AlignCenter);
    // A longer text is cut at the label's edges rather than growing it.
    label1_->setWordWrap(false);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TFmensaje::showMessage(const QString& text) {
    label1_->setText(text);
    show();
    raise();
    // Paint now, but keep the user's clicks and keys for after the build: one of
    // them could otherwise start a second build inside this one.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace qev
