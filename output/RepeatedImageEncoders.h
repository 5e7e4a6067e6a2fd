#pragma once
// Encoders that take a filled image one row at a time (CRepeatedRows) and
// write each row as it comes, so a screen-sized image never has to be held
// whole: BMP, PNG, JPEG and TIFF. (GIF's lives with the GIF encoder.) They
// write what the whole-image encoders write for the same picture: 24-bit
// RGB, JPEG at quality 95, uncompressed TIFF.

class QIODevice;

namespace quorrel::output {

class CRepeatedRows;

bool WriteRepeatedBmp(CRepeatedRows& rows, QIODevice& device);
bool WriteRepeatedPng(CRepeatedRows& rows, QIODevice& device);
bool WriteRepeatedJpeg(CRepeatedRows& rows, QIODevice& device);
bool WriteRepeatedTiff(CRepeatedRows& rows, QIODevice& device);

} // namespace quorrel::output
