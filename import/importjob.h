#pragma once

#include "collectionimport.h"

#include <QObject>
#include <QTimer>
#include <memory>

class QThread;

namespace cinemork {

// An import as a job: the reader runs on a thread of its own, reports the entries read a few times a
// second, and ends with finished(). A cancel ends it at the reader's next entry and nothing is kept; a
// job destroyed while it runs cancels itself.
class ImportJob : public QObject
{
    Q_OBJECT
public:
    explicit ImportJob(QObject *parent = nullptr);
    ~ImportJob() override;

    void start(const QString &path, std::optional<ImportFormat> format = {}, std::optional<CsvColumns> columns = {});
    void cancel();
    bool running() const { return m_running; }
    const ImportResult &result() const { return m_result; }

signals:
    void progress(qint64 entriesRead);
    void finished(bool ok); // false on an error or a cancel: result() tells which

private:
    struct State;
    std::shared_ptr<State> m_state;
    QThread *m_thread = nullptr;
    QTimer m_tick;
    ImportResult m_result;
    bool m_running = false;
};

} // namespace cinemork
