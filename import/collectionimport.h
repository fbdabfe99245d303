#pragma once

#include "csvimport.h"
#include "importentry.h"

#include <optional>

namespace cinemork {

enum class ImportFormat { Gcstar, Tellico, Griffith, DataCrow, Nfo, Csv };

// "gcs", "tc", "griffith", "datacrow", "nfo", "csv".
std::optional<ImportFormat> importFormatNamed(const QString &name);
// What a file or folder holds, found from its content: a folder is a media library, a zip a Tellico
// .tc, an SQLite file a Griffith database, XML by its first element; anything else is read as CSV.
ImportFormat detectImportFormat(const QString &path);

struct ImportResult
{
    bool ok = false;
    QString error;
    QList<Movie> movies; // empty on any error: nothing is added from a file that did not read to its end
    QStringList csvHeader; // a CSV file whose header needs its columns chosen: the header
};

// Reads the collection at path in the format given (or the one its content shows). columns: the
// columns chosen for a CSV file of another header.
ImportResult importCollection(const QString &path, std::optional<ImportFormat> format = {},
                              ImportControl *control = nullptr, const CsvColumns *columns = nullptr);

} // namespace cinemork
