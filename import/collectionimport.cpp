#include "collectionimport.h"

#include "archiveimport.h"
#include "importtexts.h"
#include "xmlimport.h"

#include <QFile>
#include <QFileInfo>

namespace cinemork {

std::optional<ImportFormat> importFormatNamed(const QString &name)
{
    const qsizetype i = ImportTexts::FormatNames.indexOf(name);
    if (i < 0)
        return std::nullopt;
    return ImportFormat(i);
}

namespace {

bool isZip(const QByteArray &head)
{
    return head.startsWith("PK\x03\x04") || head.startsWith("PK\x05\x06");
}
bool isSqlite(const QByteArray &head)
{
    return head.startsWith(QByteArray("SQLite format 3\0", 16));
}

QByteArray headOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(64 * 1024) : QByteArray();
}

} // namespace

ImportFormat detectImportFormat(const QString &path)
{
    if (QFileInfo(path).isDir())
        return ImportFormat::Nfo;
    const QByteArray head = headOf(path);
    if (isZip(head))
        return ImportFormat::Tellico;
    if (isSqlite(head))
        return ImportFormat::Griffith;
    const QString root = xmlRootName(head);
    if (root == QLatin1String("collection"))
        return ImportFormat::Gcstar;
    if (root == QLatin1String("tellico") || root == QLatin1String("bookcase"))
        return ImportFormat::Tellico;
    if (root == QLatin1String("root"))
        return ImportFormat::Griffith;
    if (root == QLatin1String("data-crow-objects"))
        return ImportFormat::DataCrow;
    return ImportFormat::Csv;
}

ImportResult importCollection(const QString &path, std::optional<ImportFormat> format, ImportControl *control,
                              const CsvColumns *columns)
{
    ImportResult result;
    const ImportFormat f = format ? *format : detectImportFormat(path);
    const MovieSink sink = [&](Movie &&m) { result.movies << std::move(m); };
    ImportStatus status;
    if (f == ImportFormat::Nfo) {
        status = readNfoLibrary(path, sink, control);
    } else {
        QFile file(path);
        if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
            result.error = path + QStringLiteral(": ")
                + (QFileInfo(path).isDir() ? QStringLiteral("a folder, not a file") : file.errorString());
            return result;
        }
        const QByteArray head = file.peek(16);
        switch (f) {
        case ImportFormat::Gcstar: status = readGcstar(&file, path, sink, control); break;
        case ImportFormat::Tellico:
            file.close();
            status = isZip(head) ? readTellicoZip(path, sink, control) : [&] {
                file.open(QIODevice::ReadOnly);
                return readTellicoXml(&file, path, sink, control);
            }();
            break;
        case ImportFormat::Griffith:
            if (isSqlite(head)) {
                file.close();
                status = readGriffithDb(path, sink, control);
            } else {
                status = readGriffithXml(&file, path, sink, control);
            }
            break;
        case ImportFormat::DataCrow: status = readDataCrow(&file, path, sink, control); break;
        case ImportFormat::Csv:
            if (!columns) {
                QString error;
                const QStringList header = csvHeader(&file, path, &error);
                if (csvKind(header) == CsvKind::Other && error.isEmpty())
                    result.csvHeader = header;
                file.seek(0);
            }
            status = readCsv(&file, path, columns, sink, control);
            break;
        case ImportFormat::Nfo: break;
        }
    }
    result.ok = status.ok;
    result.error = status.error;
    if (!result.ok)
        result.movies.clear();
    return result;
}

} // namespace cinemork
