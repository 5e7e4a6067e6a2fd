#pragma once
// Our own list of image encoders. Each record has an identifier and a ";"-
// separated list of file name patterns ("*.BMP;*.DIB;*.RLE"); the file name's
// extension picks the first encoder whose list holds it, ignoring case.

#include <QString>
#include <QUuid>

#include <cstddef>
#include <span>

class QImage;
class QIODevice;

namespace quorrel::output {

class CRepeatedRows;

struct CImageEncoder {
    QUuid id;
    QString patterns;
    // Writes an opaque image whole to the device; false on any failure.
    bool (*encode)(const QImage& image, QIODevice& device) = nullptr;
    // Writes a filled image row by row, never holding it whole.
    bool (*encodeRepeated)(CRepeatedRows& rows, QIODevice& device) = nullptr;
};

// BMP, JPEG, GIF, TIFF and PNG, in this order.
std::span<const CImageEncoder> ImageEncoders();

// The extension of a path's last component: from its last "." (included) to
// the end; empty when the component has no ".".
QString FileExtension(const QString& path);

// The identifier of the first encoder whose pattern list holds `extension`
// (compared without regard to case), or the null identifier.
QUuid FindEncoderForExtension(const QString& extension, const CImageEncoder* encoders, std::size_t count);

// The encoder with that identifier in the list, or nullptr.
const CImageEncoder* EncoderById(const QUuid& id);

} // namespace quorrel::output
