#pragma once

#include <QStringList>
#include <QTextStream>

namespace cinemork {

// cinemork-list: dump a list page as CSV or JSON, write a page from CSV, probe video files (named
// on the command line, or many of them on in), the list's duplicates and statistics.
// Exit status: 0 done, 1 failed (the reason on err), 2 usage error.
int runCompanion(const QStringList &args, QTextStream &out, QTextStream &err, QIODevice *in);
// Writes the usage to err; the usage error's status, 2.
int usageError(QTextStream &err);

// `check DIR... --list LIST [--format csv|json]`: the report of a check of each folder against the list.
int checkCommand(const QStringList &args, QTextStream &out, QTextStream &err, int (*usage)(QTextStream &));

} // namespace cinemork
