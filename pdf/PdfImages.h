#pragma once

#include <QByteArray>
#include <QImage>
#include <QVector>

namespace qev {

class PdfOutput;

// Baseline JPEG of an image, three components, at an IJG quality (0 to 100).
QByteArray encodeJpeg(const QImage& image, int quality);

// Image objects of the export. Equal JPEG bytes are written once per page;
// the records outlive runs (with their digests zeroed), so image numbers
// continue from run to run.
class PdfImages {
  public:
    struct TfrxPDFXObject {
        int ObjId = 0;
        QByteArray Hash;
    };

    // Writes the image object unless the page already has these bytes, notes
    // the placement and returns the image's index (its "/Im" number).
    int addImage(PdfOutput& out, const QByteArray& jpeg, int width, int height);
    // encodeJpeg of the image; the same pixels as the last time (the logo of
    // every page) give the same bytes without compressing them again.
    QByteArray jpegOf(const QImage& image, int quality);

    int FindXObject(const QByteArray& hash) const;
    int AddXObject(int objId, const QByteArray& hash);
    void ClearXObject();

    const QVector<TfrxPDFXObject>& FXObjects() const { return FObjects; }
    QVector<int> FUsedXObjects;

  private:
    QVector<TfrxPDFXObject> FObjects;
    QImage FLastImage;
    int FLastQuality = -1;
    QByteArray FLastJpeg;
    QByteArray FLastHashed, FLastHash;  // held, so that equal data means equal bytes
};

}  // namespace qev
