// Times the window's start-up with a settings file of 46 MB (1.1 million values), from nothing to the
// window shown; then one write of a setting, and reads of a file that did not change.
// Run: QT_QPA_PLATFORM=offscreen build/bin/bench_store

#include "main/frmmain.h"
#include "settings/modregistry.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

using namespace cinemork;

int main(int argc, char *argv[])
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    QDir().mkpath(storeFolder());
    {
        QFile f(storeFile(HKEY_LOCAL_MACHINE));
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        QByteArray text = "[Software\\Brisvane\\Cinemork]\nBrowserColumns=11111110\nWinPos=2520|1770|6960|5460\n"
                          "MRU1=/home/me/films.html\n";
        for (int i = 0; i < 1100000; ++i) {
            text += "AddedByAnotherProgram" + QByteArray::number(i) + "=value of the setting " + QByteArray::number(i)
                + '\n';
            if (text.size() > (1 << 20)) {
                f.write(text);
                text.clear();
            }
        }
        f.write(text);
        std::printf("settings file: %.1f MB\n", double(f.size()) / (1 << 20));
    }

    // The program's start: nothing of the file read yet.
    QElapsedTimer clock;
    clock.start();
    {
        frmMain window;
        window.show();
        QApplication::processEvents();
        std::printf("window shown: %lld ms\n", clock.elapsed());
        clock.restart();
        saveSetting(Reg::AutoSave, QStringLiteral("1"));
        std::printf("one setting written: %lld ms\n", clock.elapsed());
        clock.restart();
        for (int i = 0; i < 100; ++i)
            setting(Reg::WinPos, QString());
        std::printf("100 settings read, the file unchanged: %lld ms\n", clock.elapsed());
    }
    return 0;
}
