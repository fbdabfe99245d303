// On any bytes the reader returns a list or its error, without crashing, hanging or growing without bound.
#include "listfile/pagereader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const cinemork::PageReadResult r =
        cinemork::readPage(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (r.ok == (r.errorNumber != 0))
        __builtin_trap(); // a result is either a list or an error
    if (!r.ok && !r.movies.isEmpty())
        __builtin_trap();
    return 0;
}
