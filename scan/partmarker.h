#pragma once

#include <QString>
#include <optional>

namespace cinemork {

// A file name's part marker: "Movie.CD2.avi", "Movie - Part 1.avi", "Movie_disc_b.mkv",
// "Movie 1 of 2.avi", and among a release's tags "Movie.2000.CD1.DVDRip.XviD-GRP.avi". The key is
// the name with the part's number taken out, so the parts of one movie share it.
struct PartMarker
{
    QString key;
    QString title;  // the name before its marker, without its ending
    QString unmarked; // the name without its marker and ending: "A.Movie.2000.DVDRip" for "A.Movie.2000.CD1.DVDRip"
    int number = 0; // 1.. (a letter a-d counts as 1-4)
    int of = 0;     // "1 of 2": 2
};
std::optional<PartMarker> partMarker(const QString &fileName);

// "CD1", "Disc 2", "DVD1", "Part 1": a folder holding one part of a movie; its number, or 0.
int partFolderNumber(const QString &name);

// A file name's ending after its last dot, in lower case ("avi"); "" without a dot.
QString endingOf(const QString &name);

} // namespace cinemork
