#include "discmovies.h"

#include "listfile/sizes.h"
#include "moviefiles/moviefiles.h"
#include "moviefiles/releasename.h"
#include "nfo.h"
#include "partmarker.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>

namespace cinemork {

namespace {

const QString Separators = QStringLiteral(" ._-");

QString trimSeparators(QString text)
{
    while (!text.isEmpty() && Separators.contains(text.back()))
        text.chop(1);
    return text;
}

// The title a person would write for a release's name.
QString cleanTitle(const QString &name)
{
    return parseReleaseName(name).title;
}

// A file as a movie of its own: titled without its part marker, or by fallback when its name says nothing.
FoundMovie single(const ScanFile &file, const QString &location, const QString &fallback = {})
{
    FoundMovie m;
    m.files = {file};
    m.location = location;
    const auto marker = partMarker(file.name);
    if (marker)
        m.firstPart = marker->number;
    if (!fallback.isEmpty() && isGenericFileName(file.name))
        m.title = fallback;
    else
        m.title = cleanTitle(marker && !marker->title.isEmpty() ? marker->title : titleFromName(file.name));
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
QList<FoundMovie> folderMovies(const ScanFolder &folder, bool folderIsRoot, const QString &location)
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
        m.title = cleanTitle(parts.first().title);
        m.location = location;
        m.firstPart = parts.first().number;
        m.parts = int(parts.size());
        for (const Part &p : parts)
            m.files << *p.file;
        movies << m;
    }
    // A folder of its own for one movie's parts names it; the disc's top says nothing of the movie.
    // So does a release's folder for the one file in it that has a plain name ("grp-heat.avi").
    const bool partsOnly = !folderIsRoot && movies.size() == 1 && movies.first().files.size() > 1;
    const bool releaseFolder = !folderIsRoot && movies.size() == 1 && parseReleaseName(folder.name).released
        && !parseReleaseName(titleFromName(movies.first().files.first().name)).released;
    for (FoundMovie &m : movies) {
        if (isGenericFileName(m.files.first().name) || isGenericTitle(m.title) || partsOnly || releaseFolder) {
            m.namedBy = folderIsRoot ? location : folder.name;
            m.title = cleanTitle(m.namedBy);
        }
    }
    return movies;
}

} // namespace


namespace {

QString parentOf(const QString &path)
{
    return QFileInfo(path).path();
}


// The title a folder gives the movie in it; the disc's top says nothing of the movie, its location does.
QString folderName(const QString &path, const WalkResult &walk, const QString &location)
{
    return path.size() <= walk.root.size() ? location : QFileInfo(path).fileName();
}

// A movie's .nfo among a folder's: named as its first file (with or without the part marker),
// "movie.nfo", or the only one of a folder that holds one movie.
const ScanFile *nfoOf(const QList<ScanFile> &nfos, const FoundMovie &m, bool oneMovie)
{
    if (nfos.isEmpty() || m.files.isEmpty())
        return nullptr;
    const QString first = titleFromName(m.files.first().name);
    const auto marker = partMarker(m.files.first().name);
    for (const ScanFile &nfo : nfos) {
        const QString base = titleFromName(nfo.name);
        if (base.compare(first, Qt::CaseInsensitive) == 0
            || (marker && !marker->title.isEmpty() && base.compare(marker->title, Qt::CaseInsensitive) == 0)
            || (marker && !marker->unmarked.isEmpty() && base.compare(marker->unmarked, Qt::CaseInsensitive) == 0))
            return &nfo;
    }
    for (const ScanFile &nfo : nfos) {
        if (nfo.name.compare(QLatin1String("movie.nfo"), Qt::CaseInsensitive) == 0)
            return &nfo;
    }
    return oneMovie && nfos.size() == 1 ? &nfos.first() : nullptr;
}

// What the movie's .nfo says: as the walk read it, or read now.
void applyNfo(FoundMovie &m, const ScanFile *nfo, const WalkResult &walk)
{
    if (!nfo)
        return;
    const auto read = walk.nfoInfo.constFind(nfo->nativePath);
    const NfoInfo info = read != walk.nfoInfo.cend() ? *read : readNfo(nfo->nativePath);
    m.imdb = info.imdbId;
    if (info.twoIds)
        m.twoIdsNfo = nfo->name;
    if (!info.title.isEmpty())
        m.title = info.title;
}

} // namespace

QList<FoundMovie> groupMovies(const WalkResult &walk, const QString &location)
{
    QHash<QString, const ScanFolder *> byPath;
    QHash<QString, QList<std::pair<int, const ScanFolder *>>> partFolders; // by the folder above them
    for (const ScanFolder &folder : walk.folders) {
        byPath.insert(folder.path, &folder);
        if (folder.path != walk.root && !folder.files.isEmpty())
            if (const int n = partFolderNumber(folder.name))
                partFolders[parentOf(folder.path)] << std::pair{n, &folder};
    }
    const auto nfosIn = [&](const QString &path) -> const QList<ScanFile> & {
        static const QList<ScanFile> none;
        const ScanFolder *f = byPath.value(path);
        return f ? f->nfos : none;
    };
    QList<FoundMovie> movies;
    for (const ScanFolder &folder : walk.folders) {
        if (folder.files.isEmpty())
            continue;
        const bool atRoot = folder.path == walk.root;
        const QString parent = parentOf(folder.path);
        const bool dvd = folder.name.compare(QLatin1String("VIDEO_TS"), Qt::CaseInsensitive) == 0;
        const bool bluRay = folder.name.compare(QLatin1String("STREAM"), Qt::CaseInsensitive) == 0
            && QFileInfo(parent).fileName().compare(QLatin1String("BDMV"), Qt::CaseInsensitive) == 0;
        if (dvd || bluRay) {
            // A DVD's or a Blu-ray's files are one movie, titled by the folder that holds them (the one
            // above a part's: "Film/Disc 1/VIDEO_TS"); a DVD's titles' files come before the menu's, so
            // the picture is read from the movie itself.
            QString home = dvd ? parent : parentOf(parent);
            if (home.size() > walk.root.size() && partFolderNumber(QFileInfo(home).fileName()))
                home = parentOf(home);
            FoundMovie disc;
            disc.namedBy = folderName(home, walk, location);
            disc.title = cleanTitle(disc.namedBy);
            disc.location = location;
            disc.files = folder.files;
            std::stable_sort(disc.files.begin(), disc.files.end(), [](const ScanFile &a, const ScanFile &b) {
                return a.name.startsWith(QLatin1String("VTS_"), Qt::CaseInsensitive)
                    && !b.name.startsWith(QLatin1String("VTS_"), Qt::CaseInsensitive);
            });
            applyNfo(disc, nfoOf(nfosIn(home), disc, true), walk);
            movies << disc;
            continue;
        }
        if (partFolders.contains(parent) && !atRoot && partFolderNumber(folder.name)) {
            // One folder a part: the movie is the folder above, its files in part order.
            auto parts = partFolders.take(parent);
            if (parts.isEmpty())
                continue;
            std::stable_sort(parts.begin(), parts.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
            FoundMovie m;
            m.namedBy = folderName(parent, walk, location);
            m.title = cleanTitle(m.namedBy);
            m.location = location;
            m.firstPart = parts.first().first;
            for (const auto &part : parts)
                m.files << part.second->files;
            m.parts = int(m.files.size());
            const ScanFile *nfo = nfoOf(nfosIn(parent), m, true);
            applyNfo(m, nfo ? nfo : nfoOf(parts.first().second->nfos, m, true), walk);
            movies << m;
            continue;
        }
        if (!atRoot && partFolderNumber(folder.name))
            continue; // joined with the first part's folder
        QList<FoundMovie> found = folderMovies(folder, atRoot, location);
        for (FoundMovie &m : found)
            applyNfo(m, nfoOf(folder.nfos, m, found.size() == 1), walk);
        movies << found;
    }
    return movies;
}

QList<FoundMovie> groupFiles(const QStringList &paths)
{
    if (paths.isEmpty())
        return {};
    WalkResult walk;
    walk.root = QFileInfo(paths.first()).absolutePath();
    ScanFolder folder{walk.root, QFileInfo(walk.root).fileName(), {}, {}};
    for (const QString &path : paths) {
        const QFileInfo info(path);
        folder.files.append(
            {info.absoluteFilePath(), info.fileName(), quint64(info.size()), {}, QFile::encodeName(info.absoluteFilePath())});
    }
    std::sort(folder.files.begin(), folder.files.end(), [](const ScanFile &a, const ScanFile &b) { return a.name < b.name; });
    walk.folders << folder;
    walk.ok = true;
    return groupMovies(walk, folder.name);
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
    // What a release's name says wins over the ending's guess.
    ReleaseName release = parseReleaseName(titleFromName(choice.firstName));
    if (release.type.isEmpty() && release.codec.isEmpty() && !found.namedBy.isEmpty())
        release = parseReleaseName(found.namedBy); // "The.Matrix.1999.DVDRip.XviD-GRP/grp-mtx.avi"
    const int type = release.type.isEmpty() ? std::max(guess.type, 0) : int(TypePresets.indexOf(release.type));
    Movie m;
    m[FTitle] = found.title;
    m[FSize] = addMegabytes(QString(), bytes / 1048576) + u'\\' + QString::number(found.parts);
    m[FRes] = found.files.isEmpty() ? QString() : found.files.first().resolution;
    m[FCodec] = release.codec.isEmpty() ? CodecPresets[std::max(guess.codec, 0)] : release.codec;
    m[FType] = release.type.isEmpty() ? TypePresets[type] : release.type;
    m[FSeenit] = QStringLiteral("no");
    m[FLocation] = found.location;
    m[FFiles] = choice.names;
    m[FImdb] = imdbLink(found.imdb);
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
        parts << single(file, movie.location, movie.title);
    return parts;
}


} // namespace cinemork
