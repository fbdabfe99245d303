#pragma once

#include <QString>
#include <QStringList>

// What a movie's file names and sizes say: the title, codec and type guessed from a name, the
// megabytes of the files. The editor and a scan fill movies with the same rules.

namespace cinemork {

inline const QStringList CodecPresets{QStringLiteral("DivX"), QStringLiteral("MPEG"), QStringLiteral("ASF"),
                                      QStringLiteral("RealMedia")};
inline const QStringList TypePresets{
    QStringLiteral("DVD Rip"), QStringLiteral("DVD Screener Rip"), QStringLiteral("SVCD"),   QStringLiteral("VCD"),
    QStringLiteral("Cam"),     QStringLiteral("VHS Rip"),          QStringLiteral("TV Grab")};

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

// The film database's address of a title from its id ("tt0113277", digits) or any address naming it;
// other addresses are kept as they are.
QString imdbLink(const QString &idOrAddress);

} // namespace cinemork
