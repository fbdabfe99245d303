#pragma once

#include "importentry.h"

class QIODevice;

namespace cinemork {

// The XML collections, each read as a stream: only the fields that map are kept, the rest skipped.
// Nothing outside the file is fetched: a DTD that declares an external entity is an error, and
// entity expansion stops at the stream reader's limit. Bytes that are not in the declared encoding
// are an error at their place. fileName names the file in errors.
ImportStatus readGcstar(QIODevice *in, const QString &fileName, const MovieSink &sink, ImportControl *control);
ImportStatus readTellicoXml(QIODevice *in, const QString &fileName, const MovieSink &sink, ImportControl *control);
ImportStatus readGriffithXml(QIODevice *in, const QString &fileName, const MovieSink &sink, ImportControl *control);
ImportStatus readDataCrow(QIODevice *in, const QString &fileName, const MovieSink &sink, ImportControl *control);

// The name of a document's first element, or empty when none is found in its first 64 KB.
QString xmlRootName(const QByteArray &head);

} // namespace cinemork
