#include "importjob.h"

#include "importtexts.h"

#include <QDeadlineTimer>
#include <QThread>

namespace cinemork {

struct ImportJob::State
{
    ImportControl control;
    ImportResult result;
};

ImportJob::ImportJob(QObject *parent)
    : QObject(parent)
{
    m_tick.setInterval(100);
    connect(&m_tick, &QTimer::timeout, this, [this] {
        if (m_state)
            emit progress(m_state->control.read.load());
    });
}

ImportJob::~ImportJob()
{
    cancel();
    if (m_thread)
        m_thread->wait(QDeadlineTimer(3000));
}

void ImportJob::start(const QString &path, std::optional<ImportFormat> format, std::optional<CsvColumns> columns)
{
    cancel();
    m_result = {};
    m_running = true;
    auto state = std::make_shared<State>();
    m_state = state;
    m_thread = QThread::create([state, path, format, columns] {
        state->result = importCollection(path, format, &state->control, columns ? &*columns : nullptr);
    });
    connect(m_thread, &QThread::finished, m_thread, &QObject::deleteLater);
    connect(m_thread, &QThread::finished, this, [this, state, thread = m_thread] {
        if (m_thread == thread)
            m_thread = nullptr;
        if (state != m_state || !m_running)
            return; // cancelled before
        m_result = std::move(state->result);
        m_state.reset();
        m_running = false;
        m_tick.stop();
        emit finished(m_result.ok);
    });
    m_thread->start();
    m_tick.start();
}

void ImportJob::cancel()
{
    if (!m_running)
        return;
    m_state->control.cancel = true;
    m_state.reset();
    m_running = false;
    m_tick.stop();
    m_result = {false, ImportTexts::Cancelled, {}, {}};
    emit finished(false);
}

} // namespace cinemork
