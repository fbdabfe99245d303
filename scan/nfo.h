#pragma once

#include <QByteArray>
#include <QString>

// What a movie's .nfo file says: media managers write XML with the film's IMDb id, title and year;
// release groups write text (CP437, Latin-1) with the film's IMDb address somewhere in it.

namespace cinemork {

struct NfoInfo
{
    QString imdbId;      // "tt0113277"; empty when none, or when the file names two different films
    QString title;       // from XML: "Title (Year)", or the title alone
    bool twoIds = false; // two different ids: none taken
};

// The content of the file at nativePath (the file system's bytes); over 1 MB, unreadable, no regular
// file (a link is not followed), or XML that does not parse gives nothing.
NfoInfo readNfo(const QByteArray &nativePath);
NfoInfo parseNfo(const QByteArray &content);

inline constexpr qint64 NfoSizeLimit = 1024 * 1024;

} // namespace cinemork
