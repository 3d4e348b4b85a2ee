#pragma once

#include "TestCompany.h"
#include "app/ErrorBox.h"
#include "app/TFmensaje.h"
#include "app/TForm1.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// The statement window over a fresh test company (TestCompany.h), shown. The
// error and information boxes it would show are collected as "title|text",
// and the PDFs it would open as their paths.
class WindowOverTestCompany : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // Finds the supplier by its code and presses Consultar.
    void consultar(const QString& code);

    QTemporaryDir dir;
    QString database, dataDir;
    std::unique_ptr<qev::TForm1> form;
    std::unique_ptr<qev::TFmensaje> fmensaje;
    QStringList boxes, opened;

  private:
    qev::ErrorBoxFunction previousError, previousInformation;
};
