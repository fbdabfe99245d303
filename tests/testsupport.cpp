#include "testsupport.h"

#include "listfile/pagewriter.h"
#include "settings/modregistry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace cinemork::test {

void isolateConfig()
{
    static QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
}

void clearStore()
{
    QFile::remove(storeFile(HKEY_LOCAL_MACHINE));
    QFile::remove(storeFile(HKEY_CURRENT_USER));
}

Answer ScriptedPrompter::ask(QWidget *, const QString &text, Buttons, BoxIcon, Answer)
{
    if (steps.empty() || steps.front().isInput || !text.contains(steps.front().textContains)) {
        unexpected << text;
        return Answer::Cancel;
    }
    const Answer a = steps.front().answer;
    steps.pop_front();
    return a;
}

QString ScriptedPrompter::input(QWidget *, const QString &caption, const QString &prompt, const QString &def)
{
    captions << caption;
    defaults << def;
    if (steps.empty() || !steps.front().isInput || !prompt.contains(steps.front().textContains)) {
        unexpected << prompt;
        return {};
    }
    const QString reply = steps.front().input;
    steps.pop_front();
    return reply;
}

Fakes::Fakes()
{
    clearStore();
    InitSettings();
    AutoSaveFlag = false;
    ShowGetResWarningFlag = true;
    LastOpenPath.clear();
    LastSavePath.clear();
}

QString Fakes::problems() const
{
    QStringList p = prompts.unexpected + dialogs.unexpected;
    for (const ScriptedPrompter::Step &step : prompts.steps)
        p << QStringLiteral("never asked: ") + step.textContains;
    if (!dialogs.openAnswers.empty() || !dialogs.saveAnswers.empty())
        p << QStringLiteral("a file dialog never opened");
    return p.join(u'\n');
}

Movie movie(const QString &title, const QString &size, const QString &location, const QString &files)
{
    return {{title, size, {}, {}, QStringLiteral("DVD Rip"), QStringLiteral("no"), location, files}, 1};
}

QStringList titles(const QList<Movie> &movies)
{
    QStringList t;
    for (const Movie &m : movies)
        t << m[FTitle];
    return t;
}

QString writePage(const QString &path, const QList<Movie> &movies, const QString &title)
{
    writeFile(path, PageWriter::page(title, movies, PageSettings()));
    return path;
}

QString makeFile(const QString &path, qint64 bytes, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size() || (bytes && !f.resize(bytes)))
        qFatal("cannot make %s", qPrintable(path));
    return path;
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void withFileSizeLimit(unsigned long bytes, const std::function<void()> &f)
{
    rlimit fileSize;
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &fileSize), 0);
    rlimit small = fileSize;
    small.rlim_cur = bytes;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    auto *const oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    f();
    setrlimit(RLIMIT_FSIZE, &fileSize);
    std::signal(SIGXFSZ, oldHandler);
}

Run runProgram(const QString &program, const QStringList &args, const QByteArray &input, int timeLimitMs,
               quint64 dataLimit, const QProcessEnvironment &env)
{
    QProcess p;
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    if (!Sanitized) // the sanitizer's shadow memory takes more address space than any limit here
        p.setChildProcessModifier([dataLimit] {
            const rlimit limit{rlim_t(4) << 30, rlim_t(4) << 30};
            setrlimit(RLIMIT_AS, &limit);
            if (dataLimit) {
                const rlimit data{rlim_t(dataLimit), rlim_t(dataLimit)};
                setrlimit(RLIMIT_DATA, &data);
            }
        });
    p.start(program, args);
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(timeLimitMs)) {
        p.kill();
        p.waitForFinished();
        return {-1, {}, QStringLiteral("still running after %1 ms").arg(timeLimitMs)};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QString builtCompanion()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/cinemork-list");
}

void FakesTest::cleanup()
{
    const QString problems = m_fakes->problems();
    m_fakes.reset();
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
}

} // namespace cinemork::test
