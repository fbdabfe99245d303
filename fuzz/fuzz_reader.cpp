// On any bytes the reader returns a list or its error, without crashing, hanging or growing without
// bound; and the same bytes read a few at a time, as a file is read, give the same result.
#include "listfile/pagereader.h"

#include <QBuffer>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const cinemork::PageReadResult r = cinemork::readPage(QByteArrayView(bytes));
    if (r.ok == (r.errorNumber != 0))
        __builtin_trap(); // a result is either a list or an error
    if (!r.ok && !r.movies.isEmpty())
        __builtin_trap();
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    const qsizetype piece = size ? 1 + data[size - 1] % 13 : 1;
    const cinemork::PageReadResult s = cinemork::readPage(&device, piece);
    if (s.ok != r.ok || s.errorNumber != r.errorNumber || s.title != r.title || s.movies != r.movies)
        __builtin_trap();
    // handed over one by one, the same movies (a failed read may have handed over the first ones)
    device.seek(0);
    QList<cinemork::Movie> sunk;
    const cinemork::PageReadResult t =
        cinemork::readPage(&device, piece, 0, [&](cinemork::Movie &&m) { sunk.append(std::move(m)); });
    if (t.ok != r.ok || t.errorNumber != r.errorNumber || !t.movies.isEmpty() || (r.ok && sunk != r.movies))
        __builtin_trap();
    return 0;
}
