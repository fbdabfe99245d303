#include "xmlimport.h"

#include "importtexts.h"

#include <QIODevice>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace cinemork {

namespace {

// The stream reader with the rules every collection shares.
class XmlInput
{
public:
    XmlInput(QIODevice *in, const QString &fileName, ImportControl *control)
        : r(in)
        , m_file(fileName)
        , m_control(control)
    {
    }

    // The next start tag below the current element; false at its end, at the document's end or on an
    // error (then status() tells).
    bool nextChild()
    {
        while (!r.atEnd()) {
            switch (r.readNext()) {
            case QXmlStreamReader::StartElement: return true;
            case QXmlStreamReader::EndElement: return false;
            case QXmlStreamReader::DTD: checkDtd(); break;
            default: break;
            }
        }
        return false;
    }

    // The root element, which must be one of names.
    bool root(const QStringList &names)
    {
        if (!nextChild()) {
            if (!r.hasError())
                fail(ImportTexts::NoRoot);
            return false;
        }
        if (!names.contains(r.name().toString())) {
            fail(ImportTexts::wrongRoot(names.first(), r.name().toString()));
            return false;
        }
        return true;
    }

    // An element's text with the text of any elements below it, blanks around it taken away.
    QString text() { return r.readElementText(QXmlStreamReader::IncludeChildElements).trimmed(); }
    QString attribute(const char *name) const { return r.attributes().value(QLatin1String(name)).toString(); }

    void fail(const QString &what)
    {
        if (!r.hasError())
            r.raiseError(what);
    }

    // One entry read: counted, and the end when the user cancelled.
    bool entryDone()
    {
        if (!m_control)
            return true;
        ++m_control->read;
        if (m_control->cancel) {
            fail(ImportTexts::Cancelled);
            return false;
        }
        return true;
    }

    ImportStatus status() const
    {
        if (!r.hasError())
            return {};
        return {false, m_file + QStringLiteral(": ") + ImportTexts::atXml(r.lineNumber(), r.columnNumber(), r.errorString())};
    }

    QXmlStreamReader r;

private:
    void checkDtd()
    {
        for (const QXmlStreamEntityDeclaration &e : r.entityDeclarations()) {
            if (!e.systemId().isEmpty() || !e.publicId().isEmpty())
                return fail(ImportTexts::externalEntity(e.name().toString()));
        }
    }

    QString m_file;
    ImportControl *m_control;
};

// Reads the children of the current element into entry by name; the rest are skipped.
template <typename Assign>
void readFields(XmlInput &x, Assign assign)
{
    while (x.nextChild()) {
        if (!assign(x.r.name()))
            x.r.skipCurrentElement();
    }
}

} // namespace

ImportStatus readGcstar(QIODevice *in, const QString &fileName, const MovieSink &sink, ImportControl *control)
{
    XmlInput x(in, fileName, control);
    if (!x.root({QStringLiteral("collection")}))
        return x.status();
    if (const QString type = x.attribute("type"); type != QLatin1String("GCfilms"))
        x.fail(ImportTexts::notMovies(QStringLiteral("GCstar"), type));
    while (!x.r.hasError() && x.nextChild()) {
        if (x.r.name() != QLatin1String("item")) {
            x.r.skipCurrentElement();
            continue;
        }
        ImportEntry e;
        e.title = x.attribute("title");
        e.year = x.attribute("date");
        e.imdb = x.attribute("webPage");
        e.seen = x.attribute("seen");
        e.medium = x.attribute("format");
        e.cds = x.attribute("number").toInt();
        e.location = x.attribute("place");
        e.codec = x.attribute("video");
        if (const QString trailer = x.attribute("trailer"); !trailer.isEmpty())
            e.files << trailer;
        x.r.skipCurrentElement(); // the synopsis, the actors and the rest
        if (x.r.hasError())
            break;
        sink(movieOf(e));
        if (!x.entryDone())
            break;
    }
    return x.status();
}

ImportStatus readTellicoXml(QIODevice *in, const QString &fileName, const MovieSink &sink, ImportControl *control)
{
    XmlInput x(in, fileName, control);
    if (!x.root({QStringLiteral("tellico"), QStringLiteral("bookcase")}))
        return x.status();
    while (!x.r.hasError() && x.nextChild()) {
        if (x.r.name() != QLatin1String("collection")) {
            x.r.skipCurrentElement();
            continue;
        }
        if (const QString type = x.attribute("type"); type != QLatin1String("3")) {
            x.fail(ImportTexts::notMovies(QStringLiteral("Tellico"), type));
            break;
        }
        while (x.nextChild()) {
            if (x.r.name() != QLatin1String("entry")) {
                x.r.skipCurrentElement();
                continue;
            }
            ImportEntry e;
            readFields(x, [&](QStringView name) {
                QString *field = name == u"title" ? &e.title
                    : name == u"year"             ? &e.year
                    : name == u"medium"           ? &e.medium
                    : name == u"imdb"             ? &e.imdb
                    : name == u"seen"             ? &e.seen
                    : name == u"location"         ? &e.location
                                                  : nullptr;
                if (name == u"format" && e.medium.isEmpty())
                    field = &e.medium;
                if (field)
                    *field = x.text();
                return field != nullptr;
            });
            if (x.r.hasError())
                break;
            sink(movieOf(e));
            if (!x.entryDone())
                break;
        }
    }
    return x.status();
}

ImportStatus readGriffithXml(QIODevice *in, const QString &fileName, const MovieSink &sink, ImportControl *control)
{
    XmlInput x(in, fileName, control);
    if (!x.root({QStringLiteral("root")}))
        return x.status();
    while (!x.r.hasError() && x.nextChild()) {
        if (x.r.name() != QLatin1String("movie")) {
            x.r.skipCurrentElement();
            continue;
        }
        ImportEntry e;
        QString original;
        readFields(x, [&](QStringView name) {
            QString *field = name == u"title" ? &e.title
                : name == u"o_title"          ? &original
                : name == u"year"             ? &e.year
                : name == u"site"             ? &e.imdb
                : name == u"seen"             ? &e.seen
                : name == u"media_name"       ? &e.medium
                : name == u"volumes_name"     ? &e.location
                                              : nullptr;
            if (field)
                *field = x.text();
            return field != nullptr;
        });
        if (x.r.hasError())
            break;
        if (e.title.isEmpty())
            e.title = original;
        sink(movieOf(e));
        if (!x.entryDone())
            break;
    }
    return x.status();
}

namespace {

// A movie of either form of the export; its fields' elements may hold the value in elements of their own.
void readDataCrowMovie(XmlInput &x, const MovieSink &sink)
{
    ImportEntry e;
    QString container, storage, state, size, width, height, file;
    readFields(x, [&](QStringView name) {
        QString *field = name == u"title" ? &e.title
            : name == u"year"             ? &e.year
            : name == u"filename"         ? &file
            : name == u"filesize"         ? &size
            : name == u"width"            ? &width
            : name == u"height"           ? &height
            : name == u"video-codec"      ? &e.codec
            : name == u"storage-medium"   ? &storage
            : name == u"container"        ? &container
            : name == u"state"            ? &state
            : name == u"webpage"          ? &e.imdb
                                          : nullptr;
        if (field)
            *field = x.text().simplified();
        return field != nullptr;
    });
    if (x.r.hasError())
        return;
    if (!file.isEmpty())
        e.files << file;
    bool ok = false;
    if (const qint64 bytes = size.toLongLong(&ok); ok && bytes >= 0)
        e.bytes = bytes;
    e.width = width.toInt();
    e.height = height.toInt();
    e.medium = storage;
    e.location = container.isEmpty() ? storage : container;
    if (!state.isEmpty())
        e.seen = state;
    sink(movieOf(e));
}

} // namespace

ImportStatus readDataCrow(QIODevice *in, const QString &fileName, const MovieSink &sink, ImportControl *control)
{
    XmlInput x(in, fileName, control);
    if (!x.root({QStringLiteral("data-crow-objects")}))
        return x.status();
    int depth = 1; // version 5 holds its movies in <movie-items>
    while (!x.r.hasError() && depth > 0) {
        if (!x.nextChild()) {
            --depth;
            continue;
        }
        if (x.r.name() == QLatin1String("movie-items")) {
            ++depth;
        } else if (x.r.name() == QLatin1String("movie")) {
            readDataCrowMovie(x, sink);
            if (x.r.hasError() || !x.entryDone())
                break;
        } else {
            x.r.skipCurrentElement();
        }
    }
    return x.status();
}

QString xmlRootName(const QByteArray &head)
{
    // From the bytes, not through the reader: a file with a wrong byte in its first entries is still
    // the format it claims, and its reader then names the place.
    static const QRegularExpression tag(QStringLiteral("^\\s*(?:<[?!][^>]*>\\s*)*<(?:[A-Za-z_][\\w.-]*:)?([A-Za-z_][\\w.-]*)"));
    QByteArray text = head;
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    // A DOCTYPE with declarations in brackets: what is inside them is no element.
    if (const qsizetype open = text.indexOf("<!DOCTYPE"); open >= 0 && text.indexOf('[', open) >= 0) {
        const qsizetype bracket = text.indexOf('[', open), gt = text.indexOf('>', open);
        if (bracket < gt) {
            const qsizetype close = text.indexOf("]>", bracket);
            if (close < 0)
                return {};
            text.remove(open, close + 2 - open);
        }
    }
    return tag.match(QString::fromLatin1(text)).captured(1);
}

} // namespace cinemork
