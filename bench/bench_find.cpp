// Times finding on 100,000 movies in the main window: each keystroke of a filter text until the list
// view has drawn the result, clearing the filter, finding duplicates, a header click while filtered and
// opening the statistics window; and the memory the filter holds.
// Run: QT_QPA_PLATFORM=offscreen build/bin/bench_find

#include "document/filtermodel.h"
#include "main/frmmain.h"
#include "main/statisticswindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeView>
#include <cstdio>
#include <ctime>
#include <malloc.h>

using namespace cinemork;

namespace {

// Titles with accents, remakes and every 40th movie in the list twice; a few hundred boxes.
QList<Movie> findableMovies(int n)
{
    static const char *const words[] = {"Amélie", "Solaris", "Brazil", "Zelig", "Alien", "Heat", "Ran", "Vertigo"};
    static const char *const types[] = {"DVD Rip", "SVCD", "VCD", "Cam", "TV Grab", "DVD Screener Rip"};
    static const char *const codecs[] = {"DivX", "XviD", "MPEG", "ASF", "RealMedia"};
    static const char *const sizes[] = {"352x288", "640x272", "720x576", "1280x720", "1920x1080", ""};
    QList<Movie> movies;
    movies.reserve(n);
    for (int i = 0; i < n; ++i) {
        const int k = i % 40 == 39 ? i - 1 : i;
        Movie m;
        m[FTitle] = QStringLiteral("%1 %2 (%3)").arg(QString::fromUtf8(words[k % 8])).arg(k).arg(1950 + k % 70);
        m[FSize] = QStringLiteral("%1\\%2").arg(600 + k % 1400).arg(1 + k % 3);
        m[FRes] = QString::fromLatin1(sizes[i % 6]);
        m[FCodec] = QString::fromLatin1(codecs[i % 5]);
        m[FType] = QString::fromLatin1(types[i % 6]);
        m[FSeenit] = i % 3 ? QStringLiteral("no") : QStringLiteral("yes");
        m[FLocation] = QStringLiteral("Box %1").arg(i / 250);
        m[FFiles] = QStringLiteral("film%1.cd1.avi, film%1.cd2.avi").arg(k);
        m[FImdb] = QStringLiteral("http://www.imdb.com/title/tt%1/").arg(1000000 + i);
        movies << m;
    }
    return movies;
}

// Wall time and the time this thread ran: on a shared machine the second shows the work itself.
class Timer
{
public:
    void start()
    {
        m_wall.start();
        m_cpu = cpuNow();
    }
    double wall() const { return m_wall.nsecsElapsed() / 1e6; }
    double cpu() const { return cpuNow() - m_cpu; }
    QByteArray both() const
    {
        return QByteArray::number(wall(), 'f', 1) + " ms (" + QByteArray::number(cpu(), 'f', 1) + " ms CPU)";
    }

private:
    static double cpuNow()
    {
        timespec ts;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
    }
    QElapsedTimer m_wall;
    double m_cpu = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    const int n = 100000;
    const QList<Movie> movies = findableMovies(n);
    Timer t;

    {
        MovieModel model;
        model.setMovies(movies);
        const size_t before = mallinfo2().uordblks + mallinfo2().hblkhd; // the large blocks are mapped
        MovieFilterModel filter;
        filter.setSourceModel(&model);
        filter.setFilter(QStringLiteral("amelie box"), MovieFilterModel::Seen::NotWatched);
        const size_t after = mallinfo2().uordblks + mallinfo2().hblkhd;
        std::printf("memory of the filter on %d movies: %.2f MB (its own count %.2f MB)\n", n,
                    (after - before) / 1048576.0, filter.bytesUsed() / 1048576.0);
        for (const char *text : {"a", "am", "amelie 12", "box 3"}) {
            t.start();
            filter.setFilter(QString::fromUtf8(text), MovieFilterModel::Seen::All);
            std::printf("  the filter alone, without a view, \"%s\": %s\n", text, t.both().constData());
        }
    }

    frmMain w;
    w.resize(1200, 800);
    w.show();
    w.document().model()->setMovies(movies);
    QTreeView *view = w.findChild<QTreeView *>(QStringLiteral("lvwMain"));
    auto *text = w.findChild<QLineEdit *>(QStringLiteral("txtFind"));
    view->viewport()->repaint();
    QApplication::processEvents();
    w.list().select(1);

    // Counts the list's paintings, so each figure is known to include one.
    struct PaintCounter : QObject
    {
        int paints = 0;
        bool eventFilter(QObject *, QEvent *e) override
        {
            paints += e->type() == QEvent::Paint;
            return false;
        }
    } counter;
    view->viewport()->installEventFilter(&counter);
    // Until the view has drawn the result: the event loop lays the rows out and paints, as after a
    // keystroke in the running program.
    const auto shown = [&] {
        counter.paints = 0;
        while (counter.paints == 0 && t.wall() < 2000)
            QApplication::processEvents();
        return t.both();
    };
    for (int i = 0; i < 3; ++i) {
        t.start();
        view->viewport()->update();
        std::printf("drawing the list unchanged: %s\n", shown().constData());
    }
    // The user clicks into the Find box or presses Ctrl+F first: the search index is built then.
    t.start();
    text->setFocus();
    QApplication::processEvents();
    std::printf("the Find box takes the focus (the search index is built): %s\n", t.both().constData());
    double worst = 0, worstCpu = 0;
    const QString typed = QStringLiteral("amelie 12 box 3");
    for (int i = 1; i <= typed.size(); ++i) {
        t.start();
        text->setText(typed.left(i));
        const double filtered = t.cpu();
        const QByteArray all = shown();
        worst = std::max(worst, t.wall());
        worstCpu = std::max(worstCpu, t.cpu());
        std::printf("  \"%s\": %d movies shown, %s, %.1f ms CPU of it the filter\n", qPrintable(typed.left(i)),
                    w.list().count(), all.constData(), filtered);
    }
    std::printf("slowest keystroke of %lld: %.1f ms (slowest CPU %.1f ms)\n", qlonglong(typed.size()), worst, worstCpu);

    t.start();
    w.list().headerClicked(3);
    std::printf("header click while filtered: %s\n", shown().constData());

    t.start();
    text->clear();
    std::printf("clearing the filter: %s (%d movies shown)\n", shown().constData(), w.list().count());

    t.start();
    w.filterBar().findDuplicates();
    std::printf("find duplicates: %s (%s)\n", shown().constData(), qPrintable(w.filterBar().statusText()));
    w.filterBar().clear();

    t.start();
    const ListStatistics counted = statisticsOf(w.document().movies());
    std::printf("statistics of the list, without the window: %s (%zu locations)\n", t.both().constData(),
                counted.byLocation.size());
    t.start();
    {
        StatisticsWindow statistics(w.document().movies(), &w);
        statistics.show();
        statistics.repaint();
        QApplication::processEvents();
        std::printf("statistics window open: %s\n", t.both().constData());
    }
    return 0;
}
