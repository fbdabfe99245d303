#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace cinemork {

enum RecentAction : qint16 { RecentLoad = 0, RecentAdd = 1, RecentRemove = 2 };

// The four recent list files: menu entries 1 to 4 and their mirror MRU1 to MRU4 in the store.
// The entries hold what the menu shows; the main window copies them into its actions.
class RecentFiles
{
public:
    struct Entry
    {
        QString tag;     // full path; empty while free
        QString caption; // "&1 films.html", or "(no recent files)"
        bool visible = true;
        bool enabled = true;
    };

    RecentFiles();

    void UpdateRecentFiles(RecentAction action, const QString &path);

    const Entry &entry(int n) const { return m_entries[size_t(n)]; } // n = 1..4
    // The caption as a menu shows it: the title's own "&" kept as a character.
    QString menuText(int n) const;

    static QString fileTitle(const QString &path);
    static const QString NoRecentFiles;

    std::function<void()> changed;

private:
    void load();
    void show(const QStringList &paths);
    void change(int action, const QString &path);
    static QString numbered(int n, const QString &title) { return u'&' + QString::number(n) + u' ' + title; }

    std::array<Entry, 5> m_entries; // index 0 unused
};

} // namespace cinemork
