#pragma once

#include "data/MovementsFile.h"
#include "data/TablaMovtos.h"
#include "format/Error.h"

#include <QTemporaryDir>
#include <QVariant>

#include <gtest/gtest.h>

namespace qev::testing {

// A fresh data folder with its movements file, and a way to add rows.
class MovementsFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        file = MovementsFile::open(dir.path());
        movtos = std::make_unique<TablaMovtos>(file);
    }

    struct Row {
        QString serie;
        int folio;
        QString fecha;
        double total;
    };
    void add(const Row& r) {
        movtos->append();
        movtos->setField(QStringLiteral("movto"), movtos->rowCount() + 1);
        movtos->setField(QStringLiteral("serie"), r.serie);
        movtos->setField(QStringLiteral("folio"), r.folio);
        movtos->setField(QStringLiteral("fecha"), r.fecha);
        movtos->setField(QStringLiteral("total"), r.total);
        movtos->post();
    }

    QTemporaryDir dir;
    std::shared_ptr<MovementsFile> file;
    std::unique_ptr<TablaMovtos> movtos;
};

}  // namespace qev::testing
