#pragma once

#include <QStringList>
#include <QTextStream>

namespace cinemork {

// cinemork-list duplicates LIST [--format csv|json]: the groups of duplicates the window shows, the
// group's number (from 1) before each movie's columns; none found is a table of no rows.
int duplicatesCommand(const QStringList &args, QTextStream &out, QTextStream &err);
// cinemork-list stats LIST [--format csv|json]: the totals and the tables of the statistics window.
int statsCommand(const QStringList &args, QTextStream &out, QTextStream &err);

} // namespace cinemork
