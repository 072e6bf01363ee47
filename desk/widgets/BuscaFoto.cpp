#include "desk/widgets/BuscaFoto.h"

#include "data/Query.h"
#include "desk/widgets/PhotoBox.h"

void BuscaFoto(const db::Field& field, PhotoBox& image)
{
    // The data layer may hand an empty blob over as zero bytes rather than NULL; both
    // mean "no photograph".
    if (field.isNull())
        return;
    const QByteArray bytes = field.asBytes();
    if (bytes.isEmpty())
        return;
    image.setJpeg(bytes);
}
