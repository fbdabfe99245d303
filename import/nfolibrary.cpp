#include "archiveimport.h"

#include "importtexts.h"
#include "moviefiles/moviefiles.h"
#include "scan/discmovies.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace cinemork {

namespace {

// What a movie's .nfo says. Kept apart from the scan's own .nfo reading on purpose: the two are to
// become one.
struct NfoFacts
{
    QString title, year, imdb, playcount, codec;
    int width = 0, height = 0;
};

// The .nfo of a movie: the first file's name with .nfo, movie.nfo, or the folder's only .nfo.
QString nfoFileOf(const FoundMovie &m)
{
    const QFileInfo first(m.files.first().path);
    const QDir dir = first.dir();
    for (const QString &name : {first.completeBaseName() + QStringLiteral(".nfo"), QStringLiteral("movie.nfo")}) {
        if (QFileInfo(dir.filePath(name)).isFile())
            return dir.filePath(name);
    }
    const QStringList all = dir.entryList({QStringLiteral("*.nfo")}, QDir::Files);
    return all.size() == 1 ? dir.filePath(all.first()) : QString();
}

// An XML .nfo is read as XML (a bad one is an error at its place); any other text only for an IMDb id.
ImportStatus readNfo(const QString &path, NfoFacts &facts)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {false, path + QStringLiteral(": ") + f.errorString()};
    const QByteArray head = f.peek(512).trimmed();
    if (!head.startsWith('<')) {
        static const QRegularExpression id(QStringLiteral("tt\\d{7,10}"));
        facts.imdb = id.match(QString::fromUtf8(f.read(1 << 20))).captured(0);
        return {};
    }
    QXmlStreamReader r(&f);
    QStringList path_; // the open elements below <movie>
    while (!r.atEnd()) {
        const auto token = r.readNext();
        for (const QXmlStreamEntityDeclaration &e : r.entityDeclarations()) {
            if (token == QXmlStreamReader::DTD && !e.systemId().isEmpty())
                r.raiseError(ImportTexts::externalEntity(e.name().toString()));
        }
        if (token == QXmlStreamReader::EndElement && !path_.isEmpty())
            path_.removeLast();
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QString name = r.name().toString();
        const QString where = path_.join(u'/');
        QString *field = nullptr;
        if (where == QLatin1String("movie")) {
            field = name == QLatin1String("title") ? &facts.title
                : name == QLatin1String("year")    ? &facts.year
                : name == QLatin1String("playcount") ? &facts.playcount
                : (name == QLatin1String("imdbid") || name == QLatin1String("id")) ? &facts.imdb
                : nullptr;
            if (name == QLatin1String("uniqueid") && r.attributes().value(QLatin1String("type")) == QLatin1String("imdb"))
                field = &facts.imdb;
            if (field == &facts.imdb && !facts.imdb.isEmpty())
                field = nullptr; // the first id given wins
        }
        const bool video = where == QLatin1String("movie/fileinfo/streamdetails/video");
        if (video && name == QLatin1String("codec"))
            field = &facts.codec;
        if (field) {
            *field = r.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        } else if (video && (name == QLatin1String("width") || name == QLatin1String("height"))) {
            (name == QLatin1String("width") ? facts.width : facts.height) = r.readElementText().trimmed().toInt();
        } else {
            path_ << name;
        }
    }
    if (r.hasError())
        return {false, path + QStringLiteral(": ") + ImportTexts::atXml(r.lineNumber(), r.columnNumber(), r.errorString())};
    return {};
}

} // namespace

ImportStatus readNfoLibrary(const QString &folder, const MovieSink &sink, ImportControl *control)
{
    WalkProgress progress;
    const WalkResult walk = walkTree(folder, &progress);
    if (!walk.ok)
        return {false, folder + QStringLiteral(": ") + ImportTexts::NoFolder};
    for (const FoundMovie &found : groupMovies(walk, locationOf(walk.root))) {
        Movie m = movieOf(found);
        if (const QString nfo = nfoFileOf(found); !nfo.isEmpty()) {
            NfoFacts facts;
            if (ImportStatus s = readNfo(nfo, facts); !s.ok)
                return s;
            if (!facts.title.isEmpty())
                m[FTitle] = titleWithYear(facts.title, facts.year);
            if (!facts.codec.isEmpty())
                m[FCodec] = facts.codec;
            if (facts.width > 0 && facts.height > 0)
                m[FRes] = QString::number(facts.width) + u'x' + QString::number(facts.height);
            if (!facts.playcount.isEmpty())
                m[FSeenit] = facts.playcount.toInt() > 0 ? ImportTexts::Seen : ImportTexts::NotSeen;
            m[FImdb] = imdbLink(facts.imdb);
        }
        sink(std::move(m));
        if (control) {
            ++control->read;
            if (control->cancel)
                return {false, folder + QStringLiteral(": ") + ImportTexts::Cancelled};
        }
    }
    return {};
}

} // namespace cinemork
