#pragma once

#include <QString>

namespace cinemork {

// The film database's main host; links are kept on it.
inline const QString FilmDbHost = QStringLiteral("www.imdb.com");
inline const QString FilmDbMirrorHost = QStringLiteral("www.imdb.com");

// The film database's title search.
QString escapeTitle(const QString &title);
QString searchAddress(const QString &title);
// A link gets "http://" unless it already has a web scheme; the main host is kept.
QString normaliseLink(const QString &link);

} // namespace cinemork
