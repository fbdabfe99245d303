#pragma once

#include "movie.h"
#include "sizes.h"

#include <QByteArrayList>
#include <QChar>
#include <QIODevice>
#include <functional>
#include <optional>

namespace cinemork {

// The page settings of one write, as the store holds them.
struct PageSettings
{
    QString columns = QStringLiteral("11111110");       // BrowserColumns
    QString widths = QStringLiteral("0|0|0|0|0|0|0|0"); // BrowserColumnsFixedWidth
    bool createIndex = false;                           // CreateIndex
    std::optional<QByteArrayList> cssLines;             // the user's style sheet lines; none: the default lines
};

// Chooses the index anchor of each row; one per write.
class IndexAnchors
{
public:
    QString GetIndexAnchor(const QString &title);
    QChar next() const { return m_next; }

private:
    QChar m_next = u'#';
};

struct PageTotals
{
    qsizetype movies = 0;
    qsizetype watched = 0;
    MegabyteTotal megabytes = 0;
    quint64 cds = 0; // not on the page; the statistics show it
};

// One movie counted, and totals added up: the page's summary line and the statistics count alike.
PageTotals totalsOf(const Movie &m);
PageTotals &operator+=(PageTotals &t, const PageTotals &more);
PageTotals totalsOf(const QList<Movie> &movies);

// The rows of a style sheet file: lines end at CR LF, CR or LF; an empty file has none.
QByteArrayList splitLines(const QByteArray &data);
// The user's style sheet: its lines, or nothing when the file is missing or cannot be read.
std::optional<QByteArrayList> readStyleSheet(const QString &path);
struct StyleSheetFile
{
    std::optional<QByteArrayList> lines;
    QString problem; // why there are no lines: the system's reason, "is a folder", "is not a regular file"
};
// The same, saying why. Only a regular file is read: a pipe or a device could keep the read waiting.
StyleSheetFile readStyleSheetFile(const QString &path);

// The fewest bytes the movie's row can take on a page, whatever the settings: its markup and a byte for
// every character of its texts.
qint64 pageRowBytesAtLeast(const Movie &m);

class PageWriter
{
public:
    // Called after row i when i is a multiple of the step (10, 50 or 100 by the list's size),
    // with the percentage done.
    using Progress = std::function<void(int percent)>;

    // Writes the whole page; false when the device refused a write.
    static bool write(QIODevice *out, const QString &title, const QList<Movie> &movies, const PageSettings &settings,
                      const QString &decimalPoint, const Progress &progress = {});
    static QByteArray page(const QString &title, const QList<Movie> &movies, const PageSettings &settings,
                           const QString &decimalPoint = QStringLiteral("."));
    static int progressStep(qsizetype count) { return count < 100 ? 10 : count < 1000 ? 50 : 100; }
};

} // namespace cinemork
