// On any bytes the CSV reader returns movies or an error naming what went wrong, without crashing,
// hanging or growing without bound; the same bytes handed over a few at a time give the same result;
// and movies it reads are written back as CSV that reads as the same movies.
#include "listfile/csv.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

namespace {

// Hands out at most a few bytes per read, so that records, line ends and the byte order mark
// fall across the pieces the reader gets.
class Trickle : public QIODevice
{
public:
    Trickle(QByteArrayView data, qint64 piece) : m_data(data), m_piece(piece) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *to, qint64 max) override
    {
        const qint64 n = std::min({max, m_piece, qint64(m_data.size())});
        memcpy(to, m_data.data(), size_t(n));
        m_data = m_data.sliced(n);
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArrayView m_data;
    qint64 m_piece;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    if (size == 0)
        return 0;
    const qint64 piece = bytes[0] % 7 + 1; // the first byte chooses the size of the pieces
    QByteArray data(reinterpret_cast<const char *>(bytes + 1), qsizetype(size - 1));

    QBuffer whole(&data);
    whole.open(QIODevice::ReadOnly);
    const cinemork::CsvParse r = cinemork::moviesFromCsv(&whole);
    if (r.ok == !r.error.isEmpty())
        __builtin_trap(); // movies or an error
    if (!r.ok && !r.movies.isEmpty())
        __builtin_trap();

    Trickle trickle(data, piece);
    const cinemork::CsvParse pieces = cinemork::moviesFromCsv(&trickle);
    if (pieces.ok != r.ok || pieces.error != r.error || pieces.movies != r.movies)
        __builtin_trap();

    if (r.ok) {
        const cinemork::CsvParse back = cinemork::moviesFromCsv(cinemork::moviesToCsv(r.movies));
        if (!back.ok || back.movies != r.movies)
            __builtin_trap();
    }
    return 0;
}
