#pragma once

#include <QString>
#include <QStringList>

namespace cinemork {

inline const QStringList CodecPresets{QStringLiteral("DivX"), QStringLiteral("MPEG"), QStringLiteral("ASF"),
                                      QStringLiteral("RealMedia")};
inline const QStringList TypePresets{
    QStringLiteral("DVD Rip"), QStringLiteral("DVD Screener Rip"), QStringLiteral("SVCD"),   QStringLiteral("VCD"),
    QStringLiteral("Cam"),     QStringLiteral("VHS Rip"),          QStringLiteral("TV Grab")};

// The film database's main host; links are kept on it.
inline const QString FilmDbHost = QStringLiteral("www.imdb.com");
inline const QString FilmDbMirrorHost = QStringLiteral("www.imdb.com");

// The small icon of a new or edited row, by the type list's index.
int iconForTypeIndex(int index);

// A file choice: the full paths of the chosen files, as the dialog gave them.
struct FileChoice
{
    QString probePath; // full path of the first chosen file
    QString names;     // the chosen names joined by ", "
    QString firstName; // the first chosen name, whole
};
FileChoice splitChoice(const QStringList &files);

// Total bytes of the chosen files.
quint64 choiceBytes(const QStringList &files);
// The megabytes field after adding mb: its leading number rounded half to even, plus mb.
QString addMegabytes(const QString &field, quint64 megabytes);

// Codec and type list indices guessed from a file name's extension; -1 leaves a list as it is.
struct Guess
{
    int codec = -1;
    int type = -1;
};
Guess guessFromName(const QString &name);
QString titleFromName(const QString &name);

// The film database's title search.
QString escapeTitle(const QString &title);
QString searchAddress(const QString &title);
// A link gets "http://" unless it already has a web scheme; the main host is kept.
QString normaliseLink(const QString &link);

} // namespace cinemork
