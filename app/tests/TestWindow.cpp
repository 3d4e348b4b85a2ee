#include "TestWindow.h"

#include "app/StatementPrinter.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace qev;

void WindowOverTestCompany::SetUp() {
    ASSERT_TRUE(dir.isValid());
    database = dir.filePath(QStringLiteral("company.sqlite"));
    dataDir = dir.filePath(QStringLiteral("data"));
    testcompany::create(database);
    const auto collect = [this](QWidget*, const QString& title, const QString& text) {
        boxes << title + u'|' + text;
    };
    previousError = setErrorBoxFunction(collect);
    previousInformation = setInformationBoxFunction(collect);
    form = std::make_unique<TForm1>(testcompany::settings(database, dataDir));
    fmensaje = std::make_unique<TFmensaje>();
    form->setWaitWindow(fmensaje.get());
    form->statementPrinter().openFile = [this](const QString& path) { opened << path; };
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
}

void WindowOverTestCompany::TearDown() {
    form.reset();
    fmensaje.reset();
    setErrorBoxFunction(previousError);
    setInformationBoxFunction(previousInformation);
}

void WindowOverTestCompany::consultar(const QString& code) {
    form->Edit1->setText(code);
    QTest::mouseClick(form->Consultar, Qt::LeftButton);
}
