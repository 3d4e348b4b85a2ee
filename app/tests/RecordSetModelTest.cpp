// The grid model reads rows by moving the record set's cursor; the current row
// and its state must look untouched afterwards, with no notification fired.
#include "app/ButtonArt.h"
#include "app/RecordSetModel.h"

#include "testing/QtPrinters.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace qev;

namespace {

// Rows of one text field "NAME", cursor semantics as the data layer has them.
class ListRecordSet : public RecordSet {
  public:
    explicit ListRecordSet(QStringList rows) : rows_(std::move(rows)) {}
    void open() override {
        open_ = true;
        first();
        notifyAfterOpen();
    }
    void close() override {
        notifyBeforeClose();
        open_ = false;
    }
    bool isOpen() const override { return open_; }
    void first() override { moveTo(0); }
    void next() override {
        if (current_ + 1 < rows_.size())
            moveTo(current_ + 1);
        else
            eof_ = true;
    }
    void prior() override {
        if (current_ > 0)
            moveTo(current_ - 1);
        else
            bof_ = true;
    }
    void last() override { moveTo(int(rows_.size()) - 1); }
    bool eof() const override { return eof_; }
    bool bof() const override { return bof_; }
    int recordCount() const override { return int(rows_.size()); }
    QStringList fieldNames() const override { return {QStringLiteral("NAME")}; }
    FieldType fieldType(const QString&) const override { return FieldType::String; }
    QVariant value(const QString&) const override { return rows_.at(current_); }
    int position() const override { return current_; }
    void goTo(int position) override { moveTo(position); }

    QStringList rows_;

  private:
    void moveTo(int row) {
        current_ = row;
        eof_ = bof_ = false;
        notifyAfterScroll();
    }
    bool open_ = false;
    int current_ = -1;
    bool eof_ = true;
    bool bof_ = true;
};

}  // namespace

TEST(RecordSetModel, ReadingRowsLeavesTheCursorAndItsStateAlone) {
    ListRecordSet set({"uno", "dos", "tres"});
    set.open();
    RecordSetModel model(set, {{QStringLiteral("NAME"), QStringLiteral("Nombre")}});
    int scrolls = 0;
    set.afterScroll = [&] { ++scrolls; };

    set.goTo(1);
    scrolls = 0;
    EXPECT_EQ(model.index(2, 0).data(), QVariant(QStringLiteral("tres")));
    EXPECT_EQ(set.position(), 1);

    // Walked past the end, as a report leaves it: still at the end after a paint.
    set.last();
    set.next();
    ASSERT_TRUE(set.eof());
    EXPECT_EQ(model.index(0, 0).data(), QVariant(QStringLiteral("uno")));
    EXPECT_TRUE(set.eof());
    EXPECT_EQ(set.position(), 2);
    EXPECT_EQ(scrolls, 1);  // only the move to the last row, none from the model
}

TEST(RecordSetModel, ReopeningShowsTheNewRows) {
    ListRecordSet set({"uno"});
    set.open();
    RecordSetModel model(set, {{QStringLiteral("NAME"), QStringLiteral("Nombre")}});
    ASSERT_EQ(model.index(0, 0).data(), QVariant(QStringLiteral("uno")));
    set.close();
    EXPECT_EQ(model.rowCount(), 0);
    set.rows_ = {"cinco", "seis"};
    set.open();
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.index(0, 0).data(), QVariant(QStringLiteral("cinco")));
}

TEST(ButtonArt, PicturesAreDrawnAtTheRequestedResolution) {
    QList<QImage> pictures;
    for (ButtonPicture picture :
         {ButtonPicture::First, ButtonPicture::Previous, ButtonPicture::Next, ButtonPicture::Last,
          ButtonPicture::SupplierList, ButtonPicture::Print, ButtonPicture::Exit}) {
        const QIcon icon = buttonIcon(picture);
        // At three times the size the pixels are really there, not enlarged.
        const QPixmap sharp = icon.pixmap(QSize(48, 48), 3.0);
        EXPECT_EQ(sharp.size(), QSize(144, 144));
        const QImage image = sharp.toImage();
        int painted = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) painted += qAlpha(image.pixel(x, y)) > 0;
        EXPECT_GT(painted, 144 * 144 / 10);
        EXPECT_FALSE(pictures.contains(image));
        pictures << image;
    }
}
