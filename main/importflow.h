#pragma once

#include "import/importjob.h"

#include <QObject>

class QWidget;

namespace cinemork {

class ListCommands;
class frmReview;

// Movie > Import from another program: the user picks a collection file or a media library folder,
// an import job reads it while a modal progress dialog shows how far it is, a CSV file of an unknown
// header asks for its columns (remembered for that header), the review shows what was read with what
// the list has already, and what stays ticked goes in as one change.
class ImportFlow : public QObject
{
    Q_OBJECT
public:
    ImportFlow(QWidget *window, ListCommands *commands);

    // The whole command; path empty: ask for it. False when nothing was added.
    bool run(QString path = {});
    // A file from the file dialog (a filter a format), or a folder; empty on cancel.
    static QString chooseSource(QWidget *parent);
    // The columns of a CSV file of another header; the last choice for this header comes first.
    static std::optional<CsvColumns> chooseColumns(QWidget *parent, const QString &path, const QStringList &header);
    // Where the choice for a header is remembered.
    static QString columnsKey(const QStringList &header);

    ImportJob &job() { return m_job; }

signals:
    void importStarted(); // the progress dialog shows
    void reviewOpened(frmReview *dialog);

private:
    std::optional<ImportResult> read(const QString &path, std::optional<CsvColumns> columns);

    QWidget *m_window;
    ListCommands *m_commands;
    ImportJob m_job;
};

} // namespace cinemork
