#include "archiveimport.h"

#include "importtexts.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>

namespace cinemork {

namespace {

const char MoviesQuery[] =
    "SELECT m.title, m.year, m.imdb_code, m.site, m.seen, m.media_num, m.width, m.height, c.name, v.name "
    "FROM movies m LEFT JOIN vcodecs c ON c.vcodec_id = m.vcodec_id "
    "LEFT JOIN volumes v ON v.volume_id = m.volume_id";

ImportStatus readOpen(QSqlDatabase &db, const QString &path, const MovieSink &sink, ImportControl *control)
{
    auto fail = [&](const QSqlError &e) {
        // SQLITE_BUSY (5) and SQLITE_LOCKED (6)
        const bool locked = e.nativeErrorCode() == QLatin1String("5") || e.nativeErrorCode() == QLatin1String("6");
        return ImportStatus{false, path + QStringLiteral(": ")
                                       + (locked ? ImportTexts::DatabaseLocked : ImportTexts::database(e.text()))};
    };
    if (!db.open())
        return fail(db.lastError());
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QString::fromLatin1(MoviesQuery)))
        return fail(q.lastError());
    while (q.next()) {
        ImportEntry e;
        e.title = q.value(0).toString();
        e.year = q.value(1).toString();
        e.imdb = q.value(2).toString().trimmed();
        if (e.imdb.isEmpty())
            e.imdb = q.value(3).toString();
        e.seen = q.value(4).toString();
        e.cds = q.value(5).toInt();
        e.width = q.value(6).toInt();
        e.height = q.value(7).toInt();
        e.codec = q.value(8).toString();
        e.location = q.value(9).toString();
        sink(movieOf(e));
        if (control) {
            ++control->read;
            if (control->cancel)
                return {false, path + QStringLiteral(": ") + ImportTexts::Cancelled};
        }
    }
    if (q.lastError().isValid())
        return fail(q.lastError());
    return {};
}

} // namespace

ImportStatus readGriffithDb(const QString &path, const MovieSink &sink, ImportControl *control)
{
    static std::atomic<int> connections{0};
    const QString name = QStringLiteral("cinemork-import-%1").arg(++connections);
    ImportStatus status;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        // Read-only: the file stays byte for byte as it was; a lock is waited for a moment, not for ever.
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=1500"));
        status = readOpen(db, path, sink, control);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return status;
}

} // namespace cinemork
