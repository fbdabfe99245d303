#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace cinemork {

// One root of the settings store, kept in one INI text file. Keys are groups named by their
// path ("Software\Brisvane\Cinemork"); key paths and value names match without regard to case,
// and the case first written is kept. Nothing is cached: every call reads the file afresh, and
// every change is written to a temporary file that then replaces the old one, under a lock file,
// so two running copies share one set of values without losing each other's.
class IniStore
{
public:
    explicit IniStore(QString filePath);

    const QString &filePath() const { return m_path; }

    std::optional<QString> value(const QString &key, const QString &name) const;
    bool keyExists(const QString &key) const;
    // Writes only into an existing key; returns false when the key is missing or the write failed.
    bool setValue(const QString &key, const QString &name, const QString &text) const;
    void removeValue(const QString &key, const QString &name) const;
    void removeKey(const QString &key) const;
    // Creates the key and every missing parent key.
    void createKey(const QString &key) const;

    struct Entry
    {
        QString name;
        QString text;
    };
    struct Group
    {
        QString key;
        QList<Entry> entries;
    };
    static QList<Group> parse(const QByteArray &data);
    static QByteArray serialize(const QList<Group> &groups);

private:
    QList<Group> load() const;
    bool store(const QList<Group> &groups) const;
    template<typename Change>
    bool modify(Change change) const;

    QString m_path;
};

} // namespace cinemork
