#pragma once

#include "listfile/movie.h"
#include "platform/filedialogs.h"
#include "platform/prompts.h"
#include "platform/shell.h"

#include <QObject>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>

namespace cinemork::test {

// Points the configuration folder at a fresh temporary folder for this test program.
void isolateConfig();
// Empties the store of both roots.
void clearStore();

// A fake of a service, installed while it lives; a successor made before it died stays installed.
template<typename Service, Service &(*current)(), void (*install)(Service *)>
class Installed : public Service
{
public:
    Installed() { install(this); }
    ~Installed() override
    {
        if (&current() == this)
            install(nullptr);
    }
};

// Answers message and input boxes from a script; anything unexpected is recorded and answered Cancel.
class ScriptedPrompter : public Installed<Prompter, prompter, setPrompter>
{
public:
    struct Step
    {
        QString textContains;
        Answer answer = Answer::Ok;
        QString input; // for input boxes
        bool isInput = false;
    };
    void expect(const QString &textContains, Answer answer) { steps.push_back({textContains, answer, {}, false}); }
    void expectInput(const QString &promptContains, const QString &reply)
    {
        steps.push_back({promptContains, Answer::Ok, reply, true});
    }

    Answer ask(QWidget *, const QString &text, Buttons, BoxIcon, Answer) override;
    QString input(QWidget *, const QString &caption, const QString &prompt, const QString &def) override;

    std::deque<Step> steps;
    QStringList defaults; // default texts of input boxes
    QStringList captions; // captions of input boxes
    QStringList unexpected;
};

class ScriptedFileDialogs : public Installed<FileDialogBackend, fileDialogs, setFileDialogs>
{
public:
    QStringList openFiles(const QString &title, const QString &startFolder, const QStringList &) override
    {
        return next(openAnswers, title, startFolder);
    }
    QString saveFile(const QString &title, const QString &startFolder, const QStringList &, const QString &) override
    {
        return next(saveAnswers, title, startFolder);
    }
    std::deque<QStringList> openAnswers; // empty list = cancel
    std::deque<QString> saveAnswers;     // empty = cancel
    QStringList startFolders, unexpected;

private:
    template<typename T>
    T next(std::deque<T> &answers, const QString &title, const QString &startFolder)
    {
        startFolders << startFolder;
        if (answers.empty()) {
            unexpected << title;
            return {};
        }
        T a = answers.front();
        answers.pop_front();
        return a;
    }
};

class RecordingShell : public Installed<Shell, shell, setShell>
{
public:
    void open(const QString &target) override { opened << target; }
    QStringList opened;
};

// The fakes and the fresh start every test of the list commands needs: an empty store, the flags and
// the remembered folders as at start-up, and boxes, dialogs and the desktop answered from a script.
class Fakes
{
public:
    Fakes();
    // What went otherwise than scripted: unexpected questions or dialogs, and scripted ones never asked.
    QString problems() const;

    ScriptedPrompter prompts;
    ScriptedFileDialogs dialogs;
    RecordingShell shell;
};

// A movie as most tests need one: a DVD rip, not watched.
Movie movie(const QString &title, const QString &size = QStringLiteral("700\\1"), const QString &location = {},
            const QString &files = {});
QStringList titles(const QList<Movie> &movies);
// Writes a list page with the default settings; returns path.
QString writePage(const QString &path, const QList<Movie> &movies, const QString &title);
bool writeFile(const QString &path, const QByteArray &data);
// A file at path (its folders made) holding content, then made bytes long when bytes is given (sparse:
// it costs no room); returns path. Fails the whole run when it cannot be made.
QString makeFile(const QString &path, qint64 bytes = 0, const QByteArray &content = {});
// Whether the program runs with the address sanitizer (no preloaded library then, no address limit).
inline constexpr bool Sanitized =
#if defined(__SANITIZE_ADDRESS__) || (defined(__has_feature) && __has_feature(address_sanitizer))
    true;
#else
    false;
#endif
QByteArray readFile(const QString &path); // empty if it cannot be read

// What a program run as a process of its own did: its exit status (-1: still running after the time
// given, and killed; -2: it crashed) and what it wrote.
struct Run
{
    int status;
    QString out, err;
};
// Runs program with input on its standard input and a bounded address space, so that a fault that makes
// it grow without end ends it instead of the machine; dataLimit, when given, bounds its heap (and that
// of what it starts) more tightly. env, when given, is its whole environment.
Run runProgram(const QString &program, const QStringList &args, const QByteArray &input = {},
               int timeLimitMs = 30000, quint64 dataLimit = 0, const QProcessEnvironment &env = {});
// The command-line companion built beside the test programs.
QString builtCompanion();
// Runs f with files limited to bytes, a write past the limit failing with EFBIG instead of a signal.
void withFileSizeLimit(unsigned long bytes, const std::function<void()> &f);

// The base of a test program: the configuration in a folder of its own, every test function started
// afresh with its fakes, and failed when they met what the script did not expect.
class FakesTest : public QObject
{
    Q_OBJECT
protected:
    std::unique_ptr<Fakes> m_fakes;

private slots:
    void initTestCase() { isolateConfig(); }
    void init() { m_fakes = std::make_unique<Fakes>(); }
    void cleanup();
};

} // namespace cinemork::test
