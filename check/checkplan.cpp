#include "checkplan.h"

#include "checktexts.h"
#include "listfile/sizes.h"
#include "platform/bytetext.h"
#include "moviefiles/moviefiles.h"
#include "moviefiles/releasename.h"
#include "scan/scanwalk.h"

#include <QHash>
#include <algorithm>

namespace cinemork {

namespace {

QString keyOf(const QString &name)
{
    return name.trimmed().toCaseFolded();
}

// A name with bytes that are no UTF-8, read as Latin-1: what a list made from that disc would hold.
QString latin1Key(const DiscFile &file)
{
    const QByteArray raw = encodeBytes(file.name);
    if (QString::fromUtf8(raw) == file.name)
        return {};
    return keyOf(QString::fromLatin1(raw));
}

// A sample, trailer or extra, which a scan passes over: it is no movie the list lacks.
bool isExtra(const DiscFile &f, const QString &root)
{
    if (isExtraFileName(f.name))
        return true;
    const QString below = f.folder.startsWith(root) ? f.folder.mid(root.size()) : f.folder;
    const QStringList folders = below.split(u'/', Qt::SkipEmptyParts);
    return std::any_of(folders.begin(), folders.end(), isExtraFolderName);
}

// Whether the folders above an entry name the movie titled title: the nearest one that says
// something, as a scan titles by it ("Casablanca (1942)/movie.avi"; "Kill Bill/CD2/kb.avi").
bool folderNames(const DiscFile &f, const QString &root, const QString &title)
{
    const QString below = f.folder.startsWith(root) ? f.folder.mid(root.size()) : f.folder;
    QStringList folders = below.split(u'/', Qt::SkipEmptyParts);
    while (!folders.isEmpty()) {
        const QString name = folders.takeLast();
        if (isGenericTitle(name) || name.compare(QLatin1String("STREAM"), Qt::CaseInsensitive) == 0
            || name.compare(QLatin1String("BDMV"), Qt::CaseInsensitive) == 0)
            continue;
        return keyOf(name) == keyOf(title) || keyOf(parseReleaseName(name).title) == keyOf(title);
    }
    return false;
}

} // namespace

bool CheckedMovie::foundHere() const
{
    return std::any_of(files.begin(), files.end(), [](const CheckedFile &f) { return f.disc >= 0; });
}

QStringList listedNames(const Movie &movie)
{
    QStringList names;
    for (const QString &n : movie[FFiles].split(QStringLiteral(", "), Qt::SkipEmptyParts)) {
        if (!n.trimmed().isEmpty())
            names << n.trimmed();
    }
    return names;
}

bool locationNames(const QString &location, const QString &label)
{
    if (label.trimmed().isEmpty())
        return false;
    const QStringList parts = location.split(u',');
    return std::any_of(parts.begin(), parts.end(),
                       [&](const QString &p) { return p.trimmed().compare(label.trimmed(), Qt::CaseInsensitive) == 0; });
}

CheckPlan planCheck(DiscListing disc, const QList<Movie> &list, const QString &label)
{
    CheckPlan plan;
    plan.disc = std::move(disc);
    plan.label = label;
    // The entries of each name, by path: parts in folders of their own ("CD1/kb.avi", "CD2/kb.avi")
    // share a name, and a movie listing it twice takes one entry each time.
    QHash<QString, QList<int>> byName;
    for (int i = 0; i < plan.disc.files.size(); ++i) {
        const DiscFile &f = plan.disc.files[i];
        byName[keyOf(f.name)] << i;
        if (const QString latin = latin1Key(f); !latin.isEmpty())
            byName[latin] << i;
    }
    QList<bool> named(plan.disc.files.size(), false);
    // A generic name ("movie.avi", "cd1.avi") says nothing of the movie: its entry goes first to the
    // movie its folder is titled as, else to one no other movie took (of the listed size, if one is).
    QList<int> claimedBy(plan.disc.files.size(), -1);
    QHash<std::pair<int, QString>, QList<int>> byTitle; // (row, name): entries its folder titles as the row's
    for (int row = 0; row < list.size(); ++row) {
        for (const QString &name : listedNames(list[row])) {
            if (!isGenericFileName(name))
                continue;
            for (int e : byName.value(keyOf(name))) {
                if (claimedBy[e] < 0 && folderNames(plan.disc.files[e], plan.disc.root, list[row][FTitle])) {
                    claimedBy[e] = row;
                    byTitle[{row, keyOf(name)}] << e;
                    break;
                }
            }
        }
    }
    const auto genericEntry = [&](int row, const QString &name) {
        if (QList<int> &titled = byTitle[{row, keyOf(name)}]; !titled.isEmpty())
            return titled.takeFirst();
        const QList<int> entries = byName.value(keyOf(name));
        const quint64 listed = megabytesOf(list[row][FSize]);
        int free = -1;
        for (int e : entries) {
            if (claimedBy[e] >= 0)
                continue;
            if (free < 0 || quint64(plan.disc.files[e].bytes / 1048576) == listed)
                free = e;
            if (quint64(plan.disc.files[e].bytes / 1048576) == listed)
                break;
        }
        if (free >= 0)
            claimedBy[free] = row;
        return free;
    };
    for (int row = 0; row < list.size(); ++row) {
        CheckedMovie m;
        m.row = row;
        m.movie = list[row];
        m.locatedHere = locationNames(list[row][FLocation], label);
        QHash<QString, int> taken; // of each name, the entries this movie took already
        for (const QString &name : listedNames(list[row])) {
            const QList<int> entries = byName.value(keyOf(name));
            const int nth = taken[keyOf(name)]++;
            const int at = isGenericFileName(name) ? genericEntry(row, name) : nth < entries.size() ? entries[nth] : -1;
            m.files << CheckedFile{name, at, {}};
            if (at >= 0) {
                named[at] = true;
                if (plan.disc.files[at].kind == DiscFile::Regular)
                    plan.totalBytes += plan.disc.files[at].bytes;
            }
        }
        if (m.foundHere() || (m.locatedHere && !m.files.isEmpty()))
            plan.movies << m;
    }
    // Movies with nothing here first (nothing to read), then by where their first file lies.
    auto firstPath = [&](const CheckedMovie &m) {
        QByteArray first;
        for (const CheckedFile &f : m.files) {
            if (f.disc >= 0 && (first.isEmpty() || plan.disc.files[f.disc].raw < first))
                first = plan.disc.files[f.disc].raw;
        }
        return first;
    };
    std::stable_sort(plan.movies.begin(), plan.movies.end(),
                     [&](const CheckedMovie &a, const CheckedMovie &b) { return firstPath(a) < firstPath(b); });
    for (int i = 0; i < plan.disc.files.size(); ++i) {
        const DiscFile &f = plan.disc.files[i];
        if (!named[i] && f.kind == DiscFile::Regular && isVideoFileName(f.name) && !isExtra(f, plan.disc.root))
            plan.unlisted << i;
    }
    return plan;
}

void judge(CheckedMovie &movie, const DiscListing &disc)
{
    QStringList missing, unreadable, changed;
    quint64 bytes = 0;
    for (const CheckedFile &f : movie.files) {
        if (f.disc < 0) {
            missing << f.name;
            continue;
        }
        const DiscFile &entry = disc.files[f.disc];
        const FileRead &r = f.read;
        if (entry.kind == DiscFile::Link)
            unreadable << CheckTexts::notOpened(entry.path, CheckTexts::LinkNotFollowed);
        else if (!r.opened)
            unreadable << CheckTexts::notOpened(entry.path, r.reason);
        else if (r.unreadable > 0)
            unreadable << CheckTexts::unreadablePart(entry.path, r.unreadable, r.firstFailure, r.reason);
        if (r.changed())
            changed << CheckTexts::changedWhileRead(entry.path, r.sizeAtStart, r.bytes);
        bytes += quint64(r.opened ? r.bytes : 0);
    }
    movie.foundMegabytes = bytes / 1048576;
    const quint64 listed = megabytesOf(movie.movie[FSize]);
    QStringList detail = unreadable;
    // A movie on several discs: the files not here are on another one, and only the whole can be sized.
    // One located on this disc alone had all its files here.
    const bool spread = movie.movie[FLocation].contains(u',') || (cdsOf(movie.movie[FSize]) > 1 && !movie.locatedHere);
    const qsizetype found = movie.files.size() - missing.size();
    const bool partHere = spread && !missing.isEmpty() && found > 0;
    if (partHere)
        detail << CheckTexts::partHere(found, movie.files.size());
    else if (!missing.isEmpty())
        detail << CheckTexts::notFound(missing);
    if (partHere)
        missing.clear();
    detail << changed;
    // A list without megabytes ("\\2", as some collections come in) says nothing to compare.
    const bool sizeListed = !movie.movie[FSize].section(u'\\', 0, 0).trimmed().isEmpty();
    const bool sizeDiffers = !changed.isEmpty() || (!partHere && sizeListed && movie.foundMegabytes != listed);
    if (sizeDiffers && unreadable.isEmpty() && missing.isEmpty())
        detail << CheckTexts::sizes(listed, movie.foundMegabytes);
    movie.status = !unreadable.isEmpty() ? CheckedMovie::Unreadable
        : !missing.isEmpty()             ? CheckedMovie::Missing
        : sizeDiffers                    ? CheckedMovie::SizeDiffers
                                         : CheckedMovie::Whole;
    if (movie.status == CheckedMovie::Whole)
        detail << CheckTexts::wholeDetail(found, movie.foundMegabytes);
    movie.detail = detail.join(QStringLiteral("; "));
}

bool checkMovie(CheckedMovie &movie, const DiscListing &disc, const std::function<bool(qint64)> &step)
{
    qint64 before = 0;
    for (CheckedFile &f : movie.files) {
        if (f.disc < 0 || disc.files[f.disc].kind == DiscFile::Link)
            continue;
        f.read = FileReader::read(disc.files[f.disc].raw, [&](qint64 done) { return !step || step(before + done); });
        if (f.read.cancelled)
            return false;
        // What the plan counted; a file that grew or shrank moves the bar no further than its share.
        before += disc.files[f.disc].bytes;
        if (step && !step(before))
            return false;
    }
    judge(movie, disc);
    return true;
}

const QString &statusText(CheckedMovie::Status status)
{
    static const QString none;
    switch (status) {
    case CheckedMovie::Whole: return CheckTexts::Whole;
    case CheckedMovie::Missing: return CheckTexts::Missing;
    case CheckedMovie::SizeDiffers: return CheckTexts::SizeDiffers;
    case CheckedMovie::Unreadable: return CheckTexts::Unreadable;
    case CheckedMovie::Pending: break;
    }
    return none;
}

} // namespace cinemork
