#include "companion.h"

#include "companiontexts.h"
#include "findcommands.h"

#include "import/collectionimport.h"
#include "listfile/csv.h"
#include "listfile/pagefile.h"
#include "listfile/pagereader.h"
#include "listfile/pagewriter.h"
#include "listfile/pagefiletexts.h"
#include "platform/bytetext.h"
#include "settings/settingstexts.h"
#include "probe/videoprobe.h"
#include "scan/discmovies.h"
#include "settings/modregistry.h"
#include "settings/pagesettings.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace cinemork {

namespace {

const char Usage[] =
    "Usage:\n"
    "  cinemork-list dump LIST [--format csv|json]\n"
    "  cinemork-list write OUT --title TITLE [--from CSV] [--columns TEXT] [--widths TEXT] [--index 0|1] [--css PATH]\n"
    "  cinemork-list probe FILE...\n"
    "  cinemork-list probe --stdin    (paths on standard input, each ended by a NUL byte; one answer line each)\n"
    "  cinemork-list scan DIR... [--probe] [--location TEXT]\n"
    "  cinemork-list import FILE|DIR [--format gcs|tc|griffith|datacrow|nfo|csv]\n"
    "  cinemork-list duplicates LIST [--format csv|json]\n"
    "  cinemork-list stats LIST [--format csv|json]\n"
    "  cinemork-list check DIR... --list LIST [--format csv|json]\n";

// An argument as it shows: the arguments keep the bytes they were given (decodeBytes), which show
// with a stand-in character where they are no UTF-8.
QString shown(const QString &argument)
{
    return QFile::decodeName(encodeBytes(argument));
}

int usage(QTextStream &err, const QString &problem)
{
    err << "cinemork-list: " << problem << "\n" << Usage;
    return 2;
}

} // namespace

int usageError(QTextStream &err, const QString &problem)
{
    return usage(err, problem);
}

CommandLine readCommandLine(const QStringList &args, const QStringList &valued, const QStringList &flags)
{
    CommandLine line;
    bool wordsOnly = false;
    for (qsizetype i = 0; i < args.size() && line.problem.isEmpty(); ++i) {
        const QString &arg = args[i];
        if (wordsOnly || !arg.startsWith(u'-') || arg == u'-') {
            line.words << arg;
        } else if (arg == QLatin1String("--")) {
            wordsOnly = true;
        } else if (!valued.contains(arg) && !flags.contains(arg)) {
            line.problem = CompanionTexts::unknownOption(arg);
        } else if (line.has(arg)) {
            line.problem = CompanionTexts::givenTwice(arg);
        } else if (flags.contains(arg)) {
            line.options[arg] = QString();
        } else if (i + 1 == args.size() || valued.contains(args[i + 1]) || flags.contains(args[i + 1])) {
            line.problem = CompanionTexts::needsValue(arg);
        } else {
            line.options[arg] = args[++i];
        }
    }
    return line;
}

QString wordsProblem(const CommandLine &line, const QStringList &names, bool more)
{
    if (!line.problem.isEmpty())
        return line.problem;
    if (line.words.size() < names.size())
        return CompanionTexts::missing(names[line.words.size()]);
    if (line.words.size() > names.size() && !more)
        return CompanionTexts::oneTooMany(line.words[names.size()]);
    return {};
}

QString formatProblem(const CommandLine &line)
{
    const QString format = line.value(QStringLiteral("--format"), QStringLiteral("csv"));
    if (format == QLatin1String("csv") || format == QLatin1String("json"))
        return {};
    return CompanionTexts::takes(QStringLiteral("--format"), QStringLiteral("csv or json"), format);
}

namespace {

// Whether two paths name one file, through links of either kind.
bool sameFile(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    if (!ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath())
        return true;
    struct stat sa, sb;
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0
        && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// A movie as an element of the "movies" array of the indented document, without its line end.
QByteArray jsonMovie(const Movie &m)
{
    QJsonObject o;
    for (int f = 0; f < FieldCount; ++f)
        o.insert(FieldKeys[size_t(f)], m[f]);
    QByteArray text = QJsonDocument(o).toJson(QJsonDocument::Indented);
    text.chop(1);
    return "        " + text.replace("\n", "\n        ");
}

// The title's member, the document's last (a document's members go in the order of their names).
QByteArray jsonTitle(const QString &title)
{
    QByteArray text = QJsonDocument(QJsonObject{{QStringLiteral("title"), title}}).toJson(QJsonDocument::Compact);
    return "    " + text.mid(1, text.size() - 2).replace("\":", "\": ");
}

int dump(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const CommandLine line = readCommandLine(args.mid(1), {QStringLiteral("--format")});
    if (QString problem = wordsProblem(line, {QStringLiteral("LIST")}); !problem.isEmpty() || !(problem = formatProblem(line)).isEmpty())
        return usage(err, problem);
    const QString format = line.value(QStringLiteral("--format"), QStringLiteral("csv"));
    const QString path = line.words[0];
    if (const QString problem = regularFileProblem(path); !problem.isEmpty()) {
        err << "cinemork-list: " << path << ": " << problem << "\n";
        return 1;
    }
    // Each movie goes out as soon as it is read, so a list of any size is dumped in the memory of a few
    // movies. The start is written with the first movie, so a page that is no list writes nothing.
    const bool json = format == QLatin1String("json");
    bool started = false;
    auto start = [&] {
        if (started)
            return;
        started = true;
        if (json)
            out << "{\n    \"movies\": [\n";
        else
            out << csvRow(QStringList(FieldKeys.begin(), FieldKeys.end()));
    };
    const PageReadResult page = readPageFile(path, [&](Movie &&m) {
        if (json) {
            if (started)
                out << ",\n";
            start();
            out << jsonMovie(m);
        } else {
            start();
            out << csvRow(QStringList(m.f.begin(), m.f.end()));
        }
    });
    if (!page.ok) {
        if (started)
            out << "\n";
        err << CompanionTexts::notAList(path, page.errorNumber, page.errorDescription) << "\n";
        return 1;
    }
    const bool empty = !started;
    start();
    if (json)
        out << (empty ? "" : "\n") << "    ],\n" << jsonTitle(page.title) << "\n}\n";
    return 0;
}

int write(const QStringList &args, QTextStream &err, QIODevice *in)
{
    const QStringList known{QStringLiteral("--title"),  QStringLiteral("--from"),  QStringLiteral("--columns"),
                            QStringLiteral("--widths"), QStringLiteral("--index"), QStringLiteral("--css")};
    const CommandLine line = readCommandLine(args.mid(1), known);
    const QMap<QString, QString> &options = line.options;
    const QString index = options.value(QStringLiteral("--index"));
    if (const QString problem = wordsProblem(line, {QStringLiteral("OUT")}); !problem.isEmpty())
        return usage(err, problem);
    if (!options.contains(QStringLiteral("--title")))
        return usage(err, CompanionTexts::missing(QStringLiteral("--title")));
    if (options.contains(QStringLiteral("--index")) && index != QLatin1String("0") && index != QLatin1String("1"))
        return usage(err, CompanionTexts::takes(QStringLiteral("--index"), QStringLiteral("0 or 1"), index));

    // Refused before anything is read.
    const QString target = line.words[0];
    if (const QString refusal = pageFileTargetRefusal(target); !refusal.isEmpty()) {
        err << "cinemork-list: " << refusal << "\n";
        return 1;
    }
    CsvParse parsed;
    if (options.contains(QStringLiteral("--from"))) {
        const QString from = options[QStringLiteral("--from")];
        if (sameFile(target, from)) {
            err << "cinemork-list: " << target << ": the list would be written over its own input " << from << "\n";
            return 1;
        }
        QFile f(from);
        if (!f.open(QIODevice::ReadOnly)) {
            err << "cinemork-list: " << f.fileName() << ": " << f.errorString() << "\n";
            return 1;
        }
        parsed = moviesFromCsv(&f);
    } else if (in) {
        parsed = moviesFromCsv(in);
    } else {
        parsed = moviesFromCsv(QString());
    }
    if (!parsed.ok) {
        err << "cinemork-list: the movies could not be read: " << parsed.error << "\n";
        return 1;
    }

    // The program's settings, each option given taking the place of its value.
    StoredPageSettings stored = pageSettingsFromStore();
    PageSettings &s = stored.page;
    s.columns = options.value(QStringLiteral("--columns"), s.columns);
    s.widths = options.value(QStringLiteral("--widths"), s.widths);
    if (options.contains(QStringLiteral("--index")))
        s.createIndex = index == QLatin1String("1");
    if (options.contains(QStringLiteral("--css"))) {
        StyleSheetFile sheet = readStyleSheetFile(options[QStringLiteral("--css")]);
        s.cssLines = std::move(sheet.lines);
        stored.cssMissing = !s.cssLines;
        stored.cssProblem = sheet.problem;
    }
    if (stored.cssMissing) {
        const QString css = options.value(QStringLiteral("--css"), setting(Reg::UserCSS, QString()));
        err << "cinemork-list: " << CompanionTexts::cssUnreadable(css, stored.cssProblem) << "\n";
    }

    const PageFileResult saved =
        savePageFile(target, options[QStringLiteral("--title")], parsed.movies, s, QLocale().decimalPoint());
    if (!saved.ok) {
        err << "cinemork-list: " << target << ": " << saved.error << "\n";
        return 1;
    }
    return 0;
}

// One answer line for every path read from in, each path ended by a NUL byte (a name may hold a
// newline) and given as the bytes of the file name. Each line goes out as soon as its path is probed,
// so a caller may hand over paths one at a time; the run ends with the input.
int probeStream(QIODevice *in, QTextStream &out)
{
    // A path longer than the system takes names no file; it is passed over, not kept whole.
    const qsizetype longest = PATH_MAX;
    QByteArray name;
    bool tooLong = false;
    bool more = true;
    while (more) {
        char c;
        // A byte at a time: never waits for more input than the path needs.
        more = in && in->getChar(&c);
        if (more && c != '\0') {
            if (name.size() < longest)
                name += c;
            else
                tooLong = true;
            continue;
        }
        if (!more && name.isEmpty() && !tooLong)
            break; // (a last path without its NUL is answered like the others)
        out << (tooLong ? ProbeResult{ProbeResult::NotFound, 0, 0} : probeVideoFile(name)).text()
            << "\n";
        tooLong = false;
        out.flush();
        if (out.status() != QTextStream::Ok)
            break; // no one reads the answers
        name.clear();
    }
    return 0;
}

int probe(const QStringList &args, QTextStream &out, QTextStream &err, QIODevice *in)
{
    if (args.size() < 2)
        return usage(err, CompanionTexts::missing(QStringLiteral("FILE")));
    if (args[1] == QLatin1String("--stdin"))
        return args.size() == 2 ? probeStream(in, out) : usage(err, CompanionTexts::oneTooMany(shown(args[2])));
    int status = 0;
    for (qsizetype i = 1; i < args.size(); ++i) {
        // A file named here may be a link: the file it names is probed. (What a scan finds never is.)
        QByteArray file = encodeBytes(args[i]);
        if (char *target = ::realpath(file.constData(), nullptr)) {
            file = target;
            ::free(target);
        }
        const ProbeResult r = probeVideoFile(file);
        if (args.size() > 2)
            out << shown(args[i]) << ": ";
        out << r.text() << "\n";
        if (r.kind != ProbeResult::Ok)
            status = 1;
    }
    return status;
}

// The movies a scan of each folder finds, as CSV that `write` reads: the same grouping and filling as
// the window's. A folder that cannot be read, or one below it, is named and makes the status 1.
int scan(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const CommandLine line = readCommandLine(args.mid(1), {QStringLiteral("--location")}, {QStringLiteral("--probe")});
    if (const QString problem = wordsProblem(line, {QStringLiteral("DIR")}, true); !problem.isEmpty())
        return usage(err, problem);
    const QStringList &folders = line.words;
    const bool withSizes = line.has(QStringLiteral("--probe"));
    std::optional<QString> location;
    if (line.has(QStringLiteral("--location")))
        location = shown(line.value(QStringLiteral("--location")));
    int status = 0;
    QList<Movie> movies;
    for (const QString &folder : folders) {
        WalkResult walk = walkTree(folder);
        if (!walk.ok) {
            err << "cinemork-list: " << shown(folder)
                << (QFileInfo::exists(shown(folder)) ? CompanionTexts::FolderUnreadable : CompanionTexts::FolderMissing)
                << "\n";
            status = 1;
            continue;
        }
        for (const QString &unreadable : walk.unreadable) {
            err << "cinemork-list: " << unreadable << ": could not be read\n";
            status = 1;
        }
        QList<FoundMovie> found = groupMovies(walk, location ? *location : locationOf(walk.root));
        for (FoundMovie &m : found) {
            for (ScanFile &f : m.files) {
                if (!shownExactly(f))
                    err << "cinemork-list: " << f.path << ": " << CompanionTexts::NotShownExactly << "\n";
                if (!withSizes)
                    continue;
                if (const ProbeResult r = probeVideoFile(f.nativePath); r.kind == ProbeResult::Ok)
                    f.resolution = r.text();
            }
            movies << movieOf(m);
        }
    }
    out << moviesToCsv(movies);
    return status;
}

// Another program's collection as CSV that `write` reads; the format is found from the content unless
// --format names it. On an error nothing is printed but the reason.
int import(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const CommandLine line = readCommandLine(args.mid(1), {QStringLiteral("--format")});
    if (const QString problem = wordsProblem(line, {QStringLiteral("FILE|DIR")}); !problem.isEmpty())
        return usage(err, problem);
    std::optional<ImportFormat> format;
    if (line.has(QStringLiteral("--format"))) {
        format = importFormatNamed(line.value(QStringLiteral("--format")));
        if (!format)
            return usage(err, CompanionTexts::takes(QStringLiteral("--format"), CompanionTexts::ImportFormats,
                                                    line.value(QStringLiteral("--format"))));
    }
    const ImportResult result = importCollection(line.words[0], format);
    if (!result.ok) {
        err << "cinemork-list: " << result.error << "\n";
        return 1;
    }
    out << moviesToCsv(result.movies);
    return 0;
}

} // namespace

int runCompanion(const QStringList &args, QTextStream &out, QTextStream &err, QIODevice *in)
{
    if (args.isEmpty())
        return usage(err, CompanionTexts::CommandMissing);
    const QString command = args[0];
    // "--help" or "-h" anywhere before "--" asks for the usage, whatever else the line says.
    for (const QString &arg : args) {
        if (arg == QLatin1String("--"))
            break;
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            out << Usage;
            out.flush();
            return 0;
        }
    }
    int status;
    // Only the probe and the scan take names in any bytes; the list's commands take text.
    QStringList texts;
    for (const QString &a : args)
        texts << shown(a);
    if (command == QLatin1String("dump"))
        status = dump(texts, out, err);
    else if (command == QLatin1String("write"))
        status = write(texts, err, in);
    else if (command == QLatin1String("scan"))
        status = scan(args, out, err);
    else if (command == QLatin1String("import"))
        status = import(texts, out, err);
    else if (command == QLatin1String("check"))
        status = checkCommand(texts, out, err);
    else if (command == QLatin1String("probe"))
        status = probe(args, out, err, in);
    else if (command == QLatin1String("duplicates"))
        status = duplicatesCommand(texts, out, err);
    else if (command == QLatin1String("stats"))
        status = statsCommand(texts, out, err);
    else
        status = usage(err, CompanionTexts::noCommand(texts[0]));
    out.flush();
    err.flush();
    return status;
}

} // namespace cinemork
