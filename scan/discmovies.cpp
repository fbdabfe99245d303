#include "discmovies.h"

#include "moviefiles/moviefiles.h"
#include "moviefiles/releasename.h"
#include "nfo.h"
#include "listfile/sizes.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
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

// The names are read from their end by hand: a scan looks at every video file's name, and most carry
// no marker at all.

bool isSeparator(QChar c)
{
    return c == u' ' || c == u'.' || c == u'_' || c == u'-';
}

// A letter compared without its case, as a pattern's letter is ("DISK" with the Kelvin sign too).
char16_t folded(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 128)
        return u >= u'A' && u <= u'Z' ? char16_t(u + 32) : u;
    return c.toCaseFolded().unicode();
}

bool endsWithFolded(QStringView text, qsizetype end, QLatin1StringView word)
{
    if (end < word.size())
        return false;
    for (qsizetype i = 0; i < word.size(); ++i)
        if (folded(text[end - word.size() + i]) != char16_t(word[i].unicode()))
            return false;
    return true;
}

bool isPartNumber(QChar c)
{
    return c >= u'1' && c <= u'9';
}

// The marker's pieces as they stand in the name: "Heat" "." "CD" "" "1" " of " "2".
struct MarkerPieces
{
    QStringView title, separator, keyword, gap, part, ofText, of;
    QStringView rest; // what follows a marker inside the name: ".DVDRip.XviD-GRP", "-GRP"
};

// The title and the separators before a marker that starts at start: the separators run back as far
// as they go; a marker that follows a letter directly is none ("XCD1").
std::optional<std::pair<QStringView, QStringView>> titleBefore(QStringView text, qsizetype start, bool titleNeeded)
{
    if (start == 0)
        return titleNeeded ? std::nullopt : std::optional{std::pair{QStringView(), QStringView()}};
    qsizetype t = start;
    while (t > 0 && isSeparator(text[t - 1]))
        --t;
    if (t == start)
        return std::nullopt;
    return std::pair{text.first(t), text.sliced(t, start - t)};
}

// "cd1", "Part 2", "disc_b", "pt.3" at the end of text (before end).
std::optional<MarkerPieces> keywordMarker(QStringView text, qsizetype end)
{
    if (end < 3)
        return std::nullopt;
    const QChar part = text[end - 1];
    const char16_t p = folded(part);
    if (!isPartNumber(part) && !(p >= u'a' && p <= u'd' && part.unicode() < 128))
        return std::nullopt;
    qsizetype k = end - 1;
    if (isSeparator(text[k - 1]))
        --k;
    static const QLatin1StringView keywords[] = {QLatin1StringView("cd"), QLatin1StringView("dvd"),
                                                 QLatin1StringView("part"), QLatin1StringView("pt"),
                                                 QLatin1StringView("disc"), QLatin1StringView("disk")};
    for (const QLatin1StringView keyword : keywords) {
        if (!endsWithFolded(text, k, keyword))
            continue;
        const qsizetype start = k - keyword.size();
        const auto before = titleBefore(text, start, false);
        if (!before)
            return std::nullopt;
        return MarkerPieces{before->first, before->second, text.sliced(start, keyword.size()),
                            text.sliced(k, end - 1 - k), text.sliced(end - 1, 1), {}, {}, {}};
    }
    return std::nullopt;
}

// " of 2", "of2", "_of_2" at the end: where what stands before it ends, or -1.
qsizetype beforeOf(QStringView text)
{
    qsizetype k = text.size();
    if (k < 3 || !isPartNumber(text[k - 1]))
        return -1;
    --k;
    if (isSeparator(text[k - 1]))
        --k;
    if (!endsWithFolded(text, k, QLatin1StringView("of")))
        return -1;
    k -= 2;
    if (k > 0 && isSeparator(text[k - 1]))
        --k;
    return k;
}

// "Heat CD1", "Heat.Part.1.of.2", "Heat - 1 of 2": the marker at the end of a name without its ending.
std::optional<MarkerPieces> markerPieces(QStringView text)
{
    const qsizetype of = beforeOf(text);
    if (of > 0) {
        if (auto m = keywordMarker(text, of)) {
            m->ofText = text.sliced(of, text.size() - 1 - of);
            m->of = text.last(1);
            return m;
        }
    }
    if (auto m = keywordMarker(text, text.size()))
        return m;
    if (of > 0 && isPartNumber(text[of - 1])) { // "Heat 1 of 2": a number with no keyword
        if (const auto before = titleBefore(text, of - 1, true))
            return MarkerPieces{before->first, before->second, {}, {}, text.sliced(of - 1, 1),
                                text.sliced(of, text.size() - 1 - of), text.last(1), {}};
    }
    return std::nullopt;
}

// "A.Movie.2000.CD1.DVDRip.XviD-GRP", "A.Movie.2000.DVDRip.XviD.CD2-GRP": a release's marker among its
// tags. Only release tags may follow it (or, at the end, the group after a "-"): "Saga.Part1.Rising"
// names a sequel, not a part.
std::optional<MarkerPieces> releaseMarker(QStringView text)
{
    const auto isTokenSeparator = [](QChar c) { return c == u'.' || c == u'_' || c == u' '; };
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && !isTokenSeparator(text[end]))
            ++end;
        const QStringView token = text.sliced(start, end - start);
        const qsizetype dash = token.indexOf(u'-');
        const QStringView marker = dash < 0 ? token : token.first(dash);
        const bool last = end == text.size();
        if (start > 0 && marker.size() >= 3 && isPartNumber(marker.back()) && (dash < 0 || (last && dash + 1 < token.size()))) {
            for (const char *keyword : {"cd", "dvd", "disc", "disk", "part", "pt"}) {
                const QLatin1StringView k(keyword);
                if (marker.size() != k.size() + 1 || !endsWithFolded(marker, k.size(), k))
                    continue;
                bool tagsAfter = true;
                for (qsizetype t = end; t < text.size() && tagsAfter;) {
                    qsizetype e = t + 1;
                    while (e < text.size() && !isTokenSeparator(text[e]))
                        ++e;
                    tagsAfter = isReleaseTag(text.sliced(t + 1, e - t - 1));
                    t = e;
                }
                const auto before = titleBefore(text, start, true);
                if (!tagsAfter || !before || (dash < 0 && last))
                    break;
                return MarkerPieces{before->first, before->second, marker.first(k.size()), {}, marker.last(1), {}, {},
                                    text.sliced(start + marker.size())};
            }
        }
        start = end + 1;
    }
    return std::nullopt;
}

// "Yojimbo [CD1]", "(cd1)", "{Disc 1}": what stands in the brackets at the end, after the title and a
// blank, when it reads as a marker.
std::optional<QString> bracketedMarker(QStringView base)
{
    if (base.isEmpty() || !QStringView(u")]}").contains(base.back()))
        return std::nullopt;
    qsizetype open = base.size() - 1;
    while (open > 0 && !QStringView(u"[](){}").contains(base[open - 1]))
        --open;
    if (open == 0 || open == base.size() - 1 || !QStringView(u"[({").contains(base[open - 1]))
        return std::nullopt;
    qsizetype t = open - 1;
    while (t > 0 && isSeparator(base[t - 1]))
        --t;
    QString inside = base.first(t).toString();
    inside += u' ';
    inside += base.sliced(open, base.size() - 1 - open);
    return markerPieces(inside) ? std::optional{inside} : std::nullopt;
}

// "E.T" (from "E.T. CD1"), "Dr", "Mr": a title whose last dot, taken for the marker's separator,
// ended an abbreviation.
bool endsWithAbbreviation(QStringView title)
{
    const qsizetype n = title.size();
    if (n >= 2 && title[n - 2] == u'.') { // a dot and a letter, a digit or "_" of ASCII
        const char16_t c = title[n - 1].unicode();
        if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_')
            return true;
    }
    static const char *const words[] = {"Dr", "Mr", "Mrs", "Ms", "St", "Jr", "Sr", "Vs", "Vol"};
    for (const char *word : words) {
        const QLatin1StringView w(word);
        if (title.endsWith(w) && (n == w.size() || title[n - w.size() - 1] == u' ' || title[n - w.size() - 1] == u'.'))
            return true;
    }
    return false;
}

} // namespace

std::optional<PartMarker> partMarker(const QString &fileName)
{
    QString base = titleFromName(fileName);
    bool inBrackets = false;
    if (auto inside = bracketedMarker(base)) {
        base = *inside;
        inBrackets = true;
    }
    auto m = markerPieces(base);
    if (!m && !inBrackets)
        m = releaseMarker(base);
    if (!m)
        return std::nullopt;
    const QString ending = u'.' + endingOf(fileName);
    PartMarker marker;
    marker.title = m->title.toString();
    marker.number = partNumber(m->part.toString());
    marker.of = m->of.isEmpty() ? 0 : m->of.toInt();
    const QChar kind = m->keyword.isEmpty() || m->part.front().isDigit() ? u'#' : u'@';
    for (const QStringView piece : {m->title, m->separator, m->keyword, m->gap, QStringView(&kind, 1), m->ofText, m->of, m->rest})
        marker.key += piece;
    marker.key += ending;
    marker.unmarked = marker.title + m->rest.toString();
    // "E.T. CD1": the dot ends the abbreviation, the blank separates the marker.
    if (!m->keyword.isEmpty() && m->separator.startsWith(u'.') && !inBrackets && endsWithAbbreviation(marker.title))
        marker.title += u'.';
    if (marker.of && marker.number > marker.of)
        return std::nullopt;
    marker.key = marker.key.toCaseFolded(); // "THE THING CD1.AVI" and "the thing cd2.avi"
    return marker;
}

namespace {

QString parentOf(const QString &path)
{
    return QFileInfo(path).path();
}

// "CD1", "Disc 2", "DVD1", "Part 1": a folder holding one part of a movie; its number, or 0.
int partFolderNumber(const QString &name)
{
    if (name.size() < 3 || name.size() > 6 || !isPartNumber(name.back()))
        return 0;
    const qsizetype end = name.size() - 1 - (isSeparator(name[name.size() - 2]) ? 1 : 0);
    for (const char *keyword : {"cd", "dvd", "disc", "disk", "part", "pt"}) {
        const QLatin1StringView k(keyword);
        if (end == k.size() && endsWithFolded(name, end, k))
            return name.back().digitValue();
    }
    return 0;
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
            m_files.insert(filesKey(list[row]), int(row));
        m_titles[titleKey(list[row][FTitle])] << int(row);
    }
}

int CatalogueMatch::catalogued(const FoundMovie &found, const Movie &movie) const
{
    // "movie.avi" of 700 MB is any movie: such names need the title as well.
    const bool generic = std::all_of(found.files.begin(), found.files.end(),
                                     [](const ScanFile &f) { return isGenericFileName(f.name); });
    for (auto it = m_files.constFind(filesKey(movie)); it != m_files.cend() && it.key() == filesKey(movie); ++it) {
        if (!generic || titleKey(m_list[it.value()][FTitle]) == titleKey(found.title))
            return it.value();
    }
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
            return row;
    }
    return -1;
}

CatalogueMatch::PartOf CatalogueMatch::partOf(const FoundMovie &found) const
{
    if (found.firstPart < 1)
        return {};
    const int lastPart = found.firstPart + found.parts - 1;
    for (int row : m_titles.value(titleKey(found.title))) {
        const quint64 cds = cdsOf(m_list[row][FSize]);
        if (found.firstPart >= 2 && cds < quint64(found.firstPart))
            return {row, false};
        // The list has a later part: every one of its files is marked as a part after these.
        const QStringList names = m_list[row][FFiles].split(QStringLiteral(", "), Qt::SkipEmptyParts);
        const bool later = !names.isEmpty() && std::all_of(names.begin(), names.end(), [&](const QString &name) {
            const auto marker = partMarker(name.trimmed());
            return marker && marker->number > lastPart;
        });
        if (later)
            return {row, true};
    }
    return {};
}

Movie withLaterPart(const Movie &listed, const Movie &part, bool earlier)
{
    Movie m = listed;
    m[FSize] = addMegabytes(listed[FSize].section(u'\\', 0, 0), megabytesOf(part[FSize])) + u'\\'
        + QString::number(cdsOf(listed[FSize]) + cdsOf(part[FSize]));
    const auto joined = [](const QString &a, const QString &b) {
        return a.isEmpty() ? b : b.isEmpty() ? a : a + QStringLiteral(", ") + b;
    };
    m[FFiles] = earlier ? joined(part[FFiles], listed[FFiles]) : joined(listed[FFiles], part[FFiles]);
    m[FLocation] =
        listed[FLocation] == part[FLocation] ? listed[FLocation] : joined(listed[FLocation], part[FLocation]);
    if (m[FRes].isEmpty())
        m[FRes] = part[FRes];
    return m;
}

} // namespace cinemork
