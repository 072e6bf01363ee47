#pragma once

namespace db {
class Field;
}
class PhotoBox;

// Shows the JPEG held in a blob field. A NULL (or zero-length) photograph leaves the
// box as it was; an undecodable one throws JpegError ("JPEG error #N") and the box
// keeps its previous picture.
void BuscaFoto(const db::Field& field, PhotoBox& image);
