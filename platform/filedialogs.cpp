#include "filedialogs.h"

#include "seam.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace cinemork {

QString LastOpenPath;
QString LastSavePath;
QString LastFolderPath;

namespace {
class CancelDialogs : public FileDialogBackend
{
public:
    QStringList openFiles(const QString &, const QString &, const QStringList &) override { return {}; }
    QString saveFile(const QString &, const QString &, const QStringList &, const QString &) override { return {}; }
};

CancelDialogs g_cancel;
Seam<FileDialogBackend> g_seam{g_cancel};
} // namespace

FileDialogBackend &fileDialogs()
{
    return g_seam.get();
}

void setFileDialogs(FileDialogBackend *b)
{
    g_seam.install(b);
}

void setDefaultFileDialogs(FileDialogBackend *b)
{
    g_seam.setDefault(b);
}

QStringList qtNameFilters(const QString &filter)
{
    // "HTML files (*.html)|*.html;*.htm" becomes "HTML files (*.html *.htm *.HTML *.HTM)": the pattern list
    // replaces the description's own, names match in either case, and "*.*" means every file, as users expect.
    QStringList out;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        const qsizetype paren = description.lastIndexOf(u'(');
        if (paren > 0 && description.endsWith(u')'))
            description = description.left(paren).trimmed();
        QStringList patterns;
        for (const QString &p : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            const QString pattern = p.trimmed() == QLatin1String("*.*") ? QStringLiteral("*") : p.trimmed();
            if (!patterns.contains(pattern))
                patterns << pattern;
        }
        for (const QString &p : QStringList(patterns))
            if (p.toUpper() != p && !patterns.contains(p.toUpper()))
                patterns << p.toUpper();
        out << description + QLatin1String(" (") + patterns.join(u' ') + u')';
    }
    if (out.isEmpty())
        out << QStringLiteral("All files (*)");
    return out;
}

QString joinSelection(const QStringList &files)
{
    if (files.isEmpty())
        return {};
    if (files.size() == 1)
        return QDir::toNativeSeparators(QFileInfo(files[0]).absoluteFilePath());
    QString folder = QFileInfo(files[0]).absolutePath();
    QStringList parts{folder};
    for (const QString &f : files)
        parts << QFileInfo(f).fileName();
    return parts.join(u'|');
}

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return documents;
    return QDir::homePath();
}

QString startFolderOf(const QString &remembered)
{
    if (remembered.isEmpty())
        return documentsFolder();
    // One chosen file may itself have a "|" in its name; only otherwise is the text "folder|name|...".
    const QFileInfo whole(remembered);
    if (whole.isDir())
        return remembered;
    if (whole.isFile())
        return whole.absolutePath();
    const QString path = remembered.section(u'|', 0, 0);
    const QFileInfo fi(path);
    if (fi.isDir())
        return path;
    return fi.absolutePath();
}

QStringList ShowOpenDialogFiles(const QString &title, const QString &filter, const QString &start)
{
    QStringList files =
        fileDialogs().openFiles(title, start.isEmpty() ? startFolderOf(LastOpenPath) : start, qtNameFilters(filter));
    if (files.isEmpty())
        return {};
    for (QString &f : files)
        f = QFileInfo(f).absoluteFilePath();
    LastOpenPath = joinSelection(files);
    return files;
}

QString ShowFolderDialog(const QString &title, const QString &start)
{
    const QString chosen = fileDialogs().chooseFolder(title, start.isEmpty() ? startFolderOf(LastFolderPath) : start);
    if (chosen.isEmpty())
        return {};
    LastFolderPath = QFileInfo(chosen).absoluteFilePath();
    return LastFolderPath;
}

QString ShowOpenDialog(const QString &title, const QString &filter)
{
    return joinSelection(ShowOpenDialogFiles(title, filter));
}

QString ShowSaveDialog(const QString &title, const QString &filter, const QString &defaultExt, const QString &start)
{
    QString suffix = defaultExt;
    if (suffix.startsWith(u'.'))
        suffix.remove(0, 1);
    const QString chosen = fileDialogs().saveFile(title, start.isEmpty() ? startFolderOf(LastSavePath) : start,
                                                  qtNameFilters(filter), suffix);
    if (chosen.isEmpty())
        return {};
    LastSavePath = QFileInfo(chosen).absoluteFilePath();
    return LastSavePath;
}

} // namespace cinemork
