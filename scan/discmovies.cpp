#include "discmovies.h"

#include "moviefiles/moviefiles.h"
#include "listfile/sizes.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace cinemork {

namespace {

const QString Separators = QStringLiteral(" ._-");

QString endingOf(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1).toLower();
}

QString trimSeparators(QString text)
{
    while (!text.isEmpty() && Separators.contains(text.back()))
        text.chop(1);
    return text;
}

int partNumber(const QString &digitOrLetter)
{
    const QChar c = digitOrLetter.at(0).toLower();
    return c.isDigit() ? c.digitValue() : c.unicode() - u'a' + 1;
}

// Names that say nothing of the movie: the folder names it.
bool isGenericTitle(const QString &title)
{
    static const QRegularExpression generic(
        QStringLiteral(R"(^(movie|video|film|video_ts|vts_\d\d_\d|(cd|dvd|disc|disk|part|pt)[ ._-]?\d*)?$)"),
        QRegularExpression::CaseInsensitiveOption);
    return generic.match(title.trimmed()).hasMatch();
}

FoundMovie single(const ScanFile &file, const QString &location)
{
    FoundMovie m;
    m.title = titleFromName(file.name);
    m.files = {file};
    m.location = location;
    if (const auto marker = partMarker(file.name))
        m.firstPart = marker->number;
    return m;
}

// What joins a folder's files into one movie: the name with its part marker taken out, a name that
// may be one of an "a"/"b" pair, or nothing (a file on its own, numbered so two never meet).
struct GroupKey
{
    enum Kind { Marked, LetterPair, Lone } kind;
    QString text;
    bool operator==(const GroupKey &) const = default;
};
size_t qHash(const GroupKey &key, size_t seed = 0)
{
    return qHashMulti(seed, int(key.kind), key.text);
}

// The movies of one folder, in the order of their first file's name.
QList<FoundMovie> folderMovies(const ScanFolder &folder, bool folderIsRoot, const QString &folderTitle,
                               const QString &location)
{
    struct Part
    {
        int number;
        const ScanFile *file;
        QString title;
    };
    QList<GroupKey> order; // by first name
    QHash<GroupKey, QList<Part>> groups; // "Movie a.avi" with "Movie b.avi" too
    for (const ScanFile &file : folder.files) {
        if (const auto marker = partMarker(file.name)) {
            const GroupKey key{GroupKey::Marked, marker->key};
            if (!groups.contains(key))
                order << key;
            groups[key] << Part{marker->number, &file, marker->title};
            continue;
        }
        const QString base = titleFromName(file.name);
        const QChar last = base.isEmpty() ? QChar() : base.back().toLower();
        const GroupKey key{GroupKey::LetterPair, base.chopped(base.isEmpty() ? 0 : 1) + u'\x1f' + endingOf(file.name)};
        // "Rocky a", "Rocky_b": the letter after a separator, not the last letter of a word ("Boa", "Bob")
        if (base.size() > 2 && (last == u'a' || last == u'b') && Separators.contains(base.at(base.size() - 2))) {
            if (!groups.contains(key))
                order << key;
            groups[key] << Part{last == u'a' ? 1 : 2, &file, trimSeparators(base.chopped(1))};
        } else {
            order << GroupKey{GroupKey::Lone, QString::number(order.size())}; // apart even where names read alike
            groups[order.back()] << Part{0, &file, base};
        }
    }
    QList<FoundMovie> movies;
    for (const GroupKey &key : order) {
        QList<Part> parts = groups.value(key);
        std::sort(parts.begin(), parts.end(), [](const Part &a, const Part &b) { return a.number < b.number; });
        bool distinct = true;
        for (qsizetype i = 1; i < parts.size(); ++i)
            distinct = distinct && parts[i].number != parts[i - 1].number;
        const bool lonePair = key.kind == GroupKey::LetterPair && parts.size() < 2; // "a" or "b" alone is no part
        if (!distinct || lonePair) {
            for (const Part &p : parts)
                movies << single(*p.file, location);
            continue;
        }
        FoundMovie m;
        m.title = parts.first().title;
        m.location = location;
        m.firstPart = parts.first().number;
        m.parts = int(parts.size());
        for (const Part &p : parts)
            m.files << *p.file;
        movies << m;
    }
    // A folder of its own for one movie's parts names it; the disc's top says nothing of the movie.
    const bool partsOnly = !folderIsRoot && movies.size() == 1 && movies.first().files.size() > 1;
    for (FoundMovie &m : movies) {
        if (isGenericTitle(m.title) || partsOnly)
            m.title = folderTitle;
    }
    return movies;
}

} // namespace

std::optional<PartMarker> partMarker(const QString &fileName)
{
    static const QRegularExpression keyword(
        QStringLiteral(
            R"(^(?:(.*?)([ ._-]+))?(cd|dvd|part|pt|disc|disk)([ ._-]?)([1-9]|[a-d])(?:([ ._-]?of[ ._-]?)([1-9]))?$)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression numberOf(QStringLiteral(R"(^(.*?)([ ._-]+)([1-9])([ ._-]?of[ ._-]?)([1-9])$)"),
                                             QRegularExpression::CaseInsensitiveOption);
    const QString base = titleFromName(fileName);
    const QString ending = u'.' + endingOf(fileName);
    PartMarker marker;
    if (const auto m = keyword.match(base); m.hasMatch()) {
        marker.title = m.captured(1);
        marker.number = partNumber(m.captured(5));
        marker.of = m.captured(7).isEmpty() ? 0 : m.captured(7).toInt();
        const QString kind = m.captured(5).at(0).isDigit() ? QStringLiteral("#") : QStringLiteral("@");
        marker.key = m.captured(1) + m.captured(2) + m.captured(3).toLower() + m.captured(4) + kind
            + m.captured(6).toLower() + m.captured(7) + ending;
    } else if (const auto n = numberOf.match(base); n.hasMatch()) {
        marker.title = n.captured(1);
        marker.number = n.captured(3).toInt();
        marker.of = n.captured(5).toInt();
        marker.key = n.captured(1) + n.captured(2) + u'#' + n.captured(4).toLower() + n.captured(5) + ending;
    } else {
        return std::nullopt;
    }
    if (marker.of && marker.number > marker.of)
        return std::nullopt;
    return marker;
}

QList<FoundMovie> groupMovies(const WalkResult &walk, const QString &location)
{
    QList<FoundMovie> movies;
    for (const ScanFolder &folder : walk.folders) {
        const bool atRoot = folder.path == walk.root;
        if (folder.name.compare(QLatin1String("VIDEO_TS"), Qt::CaseInsensitive) == 0) {
            // A DVD's files are one movie, titled by the folder that holds them; the titles' files
            // come before the menu's, so the picture is read from the movie itself.
            const QString parent = QFileInfo(folder.path).path();
            FoundMovie dvd;
            dvd.title = parent == walk.root || atRoot ? location : QFileInfo(parent).fileName();
            dvd.location = location;
            dvd.files = folder.files;
            std::stable_sort(dvd.files.begin(), dvd.files.end(), [](const ScanFile &a, const ScanFile &b) {
                return a.name.startsWith(QLatin1String("VTS_"), Qt::CaseInsensitive)
                    && !b.name.startsWith(QLatin1String("VTS_"), Qt::CaseInsensitive);
            });
            movies << dvd;
            continue;
        }
        movies << folderMovies(folder, atRoot, atRoot ? location : folder.name, location);
    }
    return movies;
}

Movie movieOf(const FoundMovie &found)
{
    QStringList paths;
    quint64 bytes = 0;
    for (const ScanFile &f : found.files) {
        paths << f.path;
        bytes += f.bytes;
    }
    const FileChoice choice = splitChoice(paths);
    const Guess guess = guessFromName(choice.firstName);
    const int codec = std::max(guess.codec, 0);
    const int type = std::max(guess.type, 0);
    Movie m;
    m[FTitle] = found.title;
    m[FSize] = addMegabytes(QString(), bytes / 1048576) + u'\\' + QString::number(found.parts);
    m[FRes] = found.files.isEmpty() ? QString() : found.files.first().resolution;
    m[FCodec] = CodecPresets[codec];
    m[FType] = TypePresets[type];
    m[FSeenit] = QStringLiteral("no");
    m[FLocation] = found.location;
    m[FFiles] = choice.names;
    m.icon = iconForTypeIndex(type);
    return m;
}

FoundMovie mergedMovies(const QList<FoundMovie> &movies)
{
    if (movies.isEmpty())
        return {};
    FoundMovie merged = movies.first();
    merged.files.clear();
    merged.parts = 0;
    for (const FoundMovie &m : movies) {
        merged.files << m.files;
        merged.parts += m.parts;
    }
    return merged;
}

QList<FoundMovie> splitMovie(const FoundMovie &movie)
{
    QList<FoundMovie> parts;
    for (const ScanFile &file : movie.files)
        parts << single(file, movie.location);
    return parts;
}

namespace {

QString filesKey(const Movie &m)
{
    return m[FFiles].toCaseFolded() + u'\x1f' + QString::number(megabytesOf(m[FSize]));
}

QString titleKey(const QString &title)
{
    return title.trimmed().toCaseFolded();
}

} // namespace

CatalogueMatch::CatalogueMatch(const QList<Movie> &list)
    : m_list(list)
{
    for (qsizetype row = 0; row < list.size(); ++row) {
        if (!list[row][FFiles].isEmpty())
            m_files.insert(filesKey(list[row]));
        m_titles[titleKey(list[row][FTitle])] << int(row);
    }
}

bool CatalogueMatch::catalogued(const FoundMovie &found, const Movie &movie) const
{
    if (m_files.contains(filesKey(movie)))
        return true;
    // A disc scanned again after its part went into a listed movie: the movie of that title holds
    // every one of these files among its own, and at least their size.
    const quint64 megabytes = megabytesOf(movie[FSize]);
    for (int row : m_titles.value(titleKey(found.title))) {
        if (megabytesOf(m_list[row][FSize]) < megabytes)
            continue;
        const QString listed = QStringLiteral(", ") + m_list[row][FFiles].toCaseFolded() + QStringLiteral(", ");
        if (!found.files.isEmpty() && std::all_of(found.files.begin(), found.files.end(), [&](const ScanFile &f) {
                return listed.contains(QStringLiteral(", ") + f.name.toCaseFolded() + QStringLiteral(", "));
            }))
            return true;
    }
    return false;
}

int CatalogueMatch::laterPartOf(const FoundMovie &found) const
{
    if (found.firstPart < 2)
        return -1;
    for (int row : m_titles.value(titleKey(found.title))) {
        if (cdsOf(m_list[row][FSize]) < quint64(found.firstPart))
            return row;
    }
    return -1;
}

Movie withLaterPart(const Movie &listed, const Movie &part)
{
    Movie m = listed;
    m[FSize] = addMegabytes(listed[FSize].section(u'\\', 0, 0), megabytesOf(part[FSize])) + u'\\'
        + QString::number(cdsOf(listed[FSize]) + cdsOf(part[FSize]));
    const auto joined = [](const QString &a, const QString &b) {
        return a.isEmpty() ? b : b.isEmpty() ? a : a + QStringLiteral(", ") + b;
    };
    m[FFiles] = joined(listed[FFiles], part[FFiles]);
    m[FLocation] =
        listed[FLocation] == part[FLocation] ? listed[FLocation] : joined(listed[FLocation], part[FLocation]);
    if (m[FRes].isEmpty())
        m[FRes] = part[FRes];
    return m;
}

} // namespace cinemork
