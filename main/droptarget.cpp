#include "droptarget.h"

#include "commands/listcommands.h"
#include "editor/frmaddcd.h"
#include "scan/discmovies.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>

namespace cinemork {

DropKind dropKind(const QList<QUrl> &urls)
{
    if (urls.size() == 1 && urls[0].isLocalFile() && QFileInfo(urls[0].toLocalFile()).isDir())
        return DropKind::Folder;
    QStringList files;
    for (const QUrl &url : urls) {
        const QFileInfo file(url.toLocalFile());
        if (!url.isLocalFile() || !file.isFile())
            return DropKind::None;
        files << file.fileName();
    }
    if (files.isEmpty())
        return DropKind::None;
    if (std::all_of(files.begin(), files.end(), isVideoFileName))
        return DropKind::MovieFiles;
    const QString ending = QFileInfo(files.first()).suffix().toLower();
    return files.size() == 1 && (ending == QLatin1String("html") || ending == QLatin1String("htm")) ? DropKind::ListPage
                                                                                                    : DropKind::None;
}

DropTarget::DropTarget(QWidget *window, EditorHost *host, ListCommands *commands,
                       std::function<void(const QString &)> addFolder)
    : QObject(window)
    , m_window(window)
    , m_host(host)
    , m_commands(commands)
    , m_addFolder(std::move(addFolder))
{
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

bool DropTarget::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched != m_window || (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop))
        return QObject::eventFilter(watched, event);
    auto *drop = static_cast<QDropEvent *>(event);
    const QList<QUrl> urls = drop->mimeData()->urls();
    const ListDocument &doc = m_commands->document();
    DropKind kind = doc.busy() ? DropKind::None : dropKind(urls);
    if (kind == DropKind::Folder && !doc.hasList())
        kind = DropKind::None; // there is no list to add to yet
    if (kind == DropKind::None) {
        drop->ignore(); // the cursor says no; nothing else is shown
        return true;
    }
    drop->acceptProposedAction();
    if (type != QEvent::Drop)
        return true;
    if (kind == DropKind::ListPage) {
        m_commands->openFile(urls.first().toLocalFile());
        return true;
    }
    if (kind == DropKind::Folder) {
        // After the drop is done with: the drag's source waits for it, and the scan takes a while.
        const QString folder = QFileInfo(urls.first().toLocalFile()).absoluteFilePath();
        QMetaObject::invokeMethod(
            this, [this, folder] { m_addFolder(folder); }, Qt::QueuedConnection);
        return true;
    }
    QStringList files;
    for (const QUrl &url : urls)
        files << QFileInfo(url.toLocalFile()).absoluteFilePath();
    // One movie's parts: in part order, titled and counted as a scan of their folder would.
    const QList<FoundMovie> found = groupFiles(files);
    if (found.size() == 1 && found.first().files.size() == files.size()) {
        files.clear();
        for (const ScanFile &f : found.first().files)
            files << f.path;
    }
    frmAddCD editor(m_host, m_window);
    editor.chooseFiles(files);
    if (found.size() == 1)
        editor.presetFound(found.first().title, found.first().parts);
    editor.exec();
    return true;
}

} // namespace cinemork
