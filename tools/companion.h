#pragma once

#include <QMap>
#include <QStringList>
#include <QTextStream>

namespace cinemork {

// cinemork-list: dump a list page as CSV or JSON, write a page from CSV, probe video files (named
// on the command line, or many of them on in), the list's duplicates and statistics.
// Exit status: 0 done, 1 failed (the reason on err), 2 usage error.
int runCompanion(const QStringList &args, QTextStream &out, QTextStream &err, QIODevice *in);
// Writes what is wrong and the usage to err; the usage error's status, 2.
int usageError(QTextStream &err, const QString &problem);

// A command's arguments after its name: its words and its options. Options take a value ("--format
// json", never another option) unless they are flags ("--probe"); each may come once, anywhere among
// the words; anything else that starts with "-" is an unknown option, and a word after "--" is a word
// whatever it starts with.
struct CommandLine
{
    QStringList words;
    QMap<QString, QString> options; // a flag's value is empty
    QString problem;                // what is wrong; empty when nothing is
    bool has(const QString &option) const { return options.contains(option); }
    QString value(const QString &option, const QString &otherwise = {}) const { return options.value(option, otherwise); }
};
CommandLine readCommandLine(const QStringList &args, const QStringList &valued, const QStringList &flags = {});
// The problem of a command line with fewer or more words than named (the first word is the
// command's own name: "LIST", "OUT"), or a --format other than csv and json; empty when there is none.
QString wordsProblem(const CommandLine &line, const QStringList &names, bool more = false);
QString formatProblem(const CommandLine &line);

// `check DIR... --list LIST [--format csv|json]`: the report of a check of each folder against the list.
int checkCommand(const QStringList &args, QTextStream &out, QTextStream &err);

} // namespace cinemork
