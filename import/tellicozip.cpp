#include "archiveimport.h"

#include "importtexts.h"
#include "xmlimport.h"

#include <quazip.h>
#include <quazipfile.h>

namespace cinemork {

ImportStatus readTellicoZip(const QString &path, const MovieSink &sink, ImportControl *control)
{
    auto fail = [&](const QString &what) { return ImportStatus{false, path + QStringLiteral(": ") + what}; };
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip))
        return fail(ImportTexts::NotAZip);
    // Entries by position: two entries may carry one name.
    QList<QuaZipFileInfo64> found[2]; // tellico.xml, bookcase.xml
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        QuaZipFileInfo64 info;
        if (!zip.getCurrentFileInfo(&info))
            return fail(ImportTexts::NotAZip);
        if (info.name == QLatin1String("tellico.xml"))
            found[0] << info;
        else if (info.name == QLatin1String("bookcase.xml"))
            found[1] << info;
    }
    if (zip.getZipError() != UNZ_OK)
        return fail(ImportTexts::NotAZip);
    const QList<QuaZipFileInfo64> &entries = found[0].isEmpty() ? found[1] : found[0];
    if (entries.isEmpty())
        return fail(ImportTexts::NoCollectionInZip);
    if (entries.size() > 1)
        return fail(ImportTexts::TwoCollectionsInZip);
    const QuaZipFileInfo64 &info = entries.first();
    const qint64 unpacked = qint64(std::min<quint64>(info.uncompressedSize, quint64(INT64_MAX)));
    if (unpacked > MaxUnpackedBytes)
        return fail(ImportTexts::zipTooBig(unpacked));
    if (unpacked > 0 && unpacked > qint64(info.compressedSize) * MaxUnpackRatio)
        return fail(ImportTexts::zipRatio(info.compressedSize ? unpacked / qint64(info.compressedSize) : unpacked));
    // The unpacking reads no more than the directory's size, whatever the packed data holds.
    if (!zip.setCurrentFile(info.name))
        return fail(ImportTexts::NotAZip);
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::ReadOnly))
        return fail(ImportTexts::NotAZip);
    ImportStatus status = readTellicoXml(&file, path + u':' + info.name, sink, control);
    file.close();
    if (status.ok && file.getZipError() != UNZ_OK)
        return fail(ImportTexts::NotAZip);
    return status;
}

} // namespace cinemork
