#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace cinemork {

// The text of one store file: its lines as they were read, and what they hold. Keys are groups named by
// their path ("[Software\Brisvane\Cinemork]"); key paths and value names match without regard to case.
// A change touches only the lines it changes: comments, lines that are no value, bytes that are no UTF-8
// and every line end (CR LF, LF or a lone CR) stay as they were read.
class IniDocument
{
public:
    IniDocument() = default;
    explicit IniDocument(QByteArray data);
    QByteArray data() const;

    std::optional<QString> value(const QString &key, const QString &name) const;
    bool keyExists(const QString &key) const;
    // Each returns whether it changed anything. setValue writes only into an existing key; a value kept
    // in two places of a key is changed where it is read from (the later).
    bool setValue(const QString &key, const QString &name, const QString &text);
    bool removeValue(const QString &key, const QString &name);
    bool removeKey(const QString &key);
    // Creates the key and every missing parent key.
    bool createKey(const QString &key);

private:
    enum End : quint8 { NoEnd, Lf, Cr, CrLf };
    struct Line
    {
        qsizetype start;
        qsizetype length;
        End end;
        bool added; // the text is in m_added, not in m_data
    };
    struct Group
    {
        std::vector<qsizetype> headers;       // the lines that open it, in file order
        QHash<QString, qsizetype> entries;    // by case-folded name: the line the value is read from
    };

    QByteArrayView text(const Line &l) const;
    void reindex();
    const Group *group(const QString &key) const;
    qsizetype addLine(qsizetype at, const QByteArray &text);
    qsizetype entryNameEnd(qsizetype line) const; // where "=" is, -1 for no value line

    QByteArray m_data;
    QByteArray m_added;
    std::vector<Line> m_lines;
    End m_newEnd = Lf; // that of the file's first line
    QHash<QString, qsizetype> m_groupAt; // by case-folded key
    std::vector<Group> m_groups;
};

// One root of the settings store, kept in one INI text file. The file is read when it changed on disk
// since it was last read (its identity, size and times), so every call sees what another running copy
// wrote; every change is made under a lock file, to the file as it is then, written to a temporary file
// that then replaces the old one, so two running copies share one set of values without losing each
// other's. Copies of one IniStore, and stores of one path, share what was read.
class IniStore
{
public:
    explicit IniStore(QString filePath);

    const QString &filePath() const { return m_path; }

    std::optional<QString> value(const QString &key, const QString &name) const;
    bool keyExists(const QString &key) const;
    // Writes only into an existing key; returns false when the key is missing or the write failed.
    bool setValue(const QString &key, const QString &name, const QString &text) const;
    bool removeValue(const QString &key, const QString &name) const;
    bool removeKey(const QString &key) const;
    // Creates the key and every missing parent key.
    bool createKey(const QString &key) const;

    // Reads, changes and writes the file as one step under the lock: change sees the file as it is
    // then and returns whether it changed anything. False when the change could not be written
    // (writeError() says why); true when it was, or when there was nothing to write.
    bool change(const std::function<bool(IniDocument &)> &change) const;
    QString writeError() const;

    // How many times a store file has been read into memory, by every store of the program.
    static quint64 fileReads();

    struct Shared;

private:
    QString m_path;
    std::shared_ptr<Shared> m_shared;
};

} // namespace cinemork
