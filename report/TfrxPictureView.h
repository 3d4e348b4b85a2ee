#pragma once

#include "report/TfrxView.h"

#include <QByteArray>
#include <QImage>

namespace qev {

// A bitmap. Picture is the stored picture value: the picture class name as a
// length-prefixed text ("TBitmap"), a 32-bit little-endian length and then a
// complete bitmap file. Image() is the decoded picture.
//
// With AutoSize on, setting AutoSize or a new picture resizes the view to the
// picture's pixel width and height.
class TfrxPictureView : public TfrxView {
    Q_OBJECT
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(bool Center MEMBER Center)
    Q_PROPERTY(QString FileLink MEMBER FileLink)
    Q_PROPERTY(bool HightQuality MEMBER HightQuality)
    Q_PROPERTY(int ImageIndex MEMBER ImageIndex)
    Q_PROPERTY(bool KeepAspectRatio MEMBER KeepAspectRatio)
    Q_PROPERTY(QByteArray Picture READ Picture WRITE SetPicture)
    Q_PROPERTY(bool Stretched MEMBER Stretched)
    Q_PROPERTY(bool Transparent MEMBER Transparent)
    Q_PROPERTY(int TransparentColor MEMBER TransparentColor)

  public:
    explicit TfrxPictureView(QObject* owner = nullptr);

    TfrxPictureView* asPicture() override { return this; }

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    bool Center = false;
    QString FileLink;
    bool HightQuality = false;  // spelled so
    int ImageIndex = 0;
    bool KeepAspectRatio = true;
    bool Stretched = true;
    bool Transparent = false;
    int TransparentColor = clWhite;

    const QByteArray& Picture() const { return FPicture; }
    // Takes a stored picture value; an unreadable one leaves the picture empty.
    void SetPicture(const QByteArray& stored);
    // Stores the image as a 24-bit bitmap ("TBitmap").
    void SetImage(const QImage& image);
    const QImage& Image() const { return FImage; }

    // The stored picture value of a bitmap file.
    static QByteArray BitmapHolder(const QByteArray& bitmapFile);
    // The bitmap file inside a stored picture value (empty when not a bitmap).
    static QByteArray BitmapFileOf(const QByteArray& stored);
    // A 24-bit uncompressed bitmap file, bottom row first, 3780 pixels per metre.
    static QByteArray Bitmap24(const QImage& image);

    void Draw(QPainter* canvas, double scaleX, double scaleY, double offsetX,
              double offsetY) override;

    void AssignStored(const TfrxComponent& source) override;

    // The picture itself is left out: the store keeps each distinct one once
    // and gives it back by ImageIndex.
    template <class F, class... Self>
    static void EachProperty(F&& f, Self&... self) {
        TfrxView::EachProperty(f, self...);
        f("AutoSize", self.FAutoSize...);
        f("Center", self.Center...);
        f("FileLink", self.FileLink...);
        f("HightQuality", self.HightQuality...);
        f("ImageIndex", self.ImageIndex...);
        f("KeepAspectRatio", self.KeepAspectRatio...);
        f("Stretched", self.Stretched...);
        f("Transparent", self.Transparent...);
        f("TransparentColor", self.TransparentColor...);
    }
    QEV_PREPARED_PROPERTIES

  private:
    void sizeToPicture();

    bool FAutoSize = false;
    QByteArray FPicture;
    QImage FImage;
};

}  // namespace qev
