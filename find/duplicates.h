#pragma once

#include "listfile/movie.h"

#include <vector>

namespace cinemork {

// A title as duplicates are found by: letter case, accents and punctuation ignored, and a leading
// "The", "A" or "An" too; a catalogue's trailing article (", The", ", Le", ", Die"...) counts as a
// leading one, an apostrophe joins ("Bug's" is "Bugs"), and a year stays, so "Solaris (1972)" and
// "Solaris (2002)" differ.
QString comparableTitle(QStringView title);

struct Duplicates
{
    std::vector<int> rows; // group after group: groups in the order of their first row, rows in list order
    std::vector<int> group; // of each of rows: 0, 1, 2...
    int groups = 0;
};
// The movies that share a comparable title, or a file name at the same size, with each other (or
// through others: A and B share a title, B and C a file).
Duplicates findDuplicates(const QList<Movie> &movies);

} // namespace cinemork
