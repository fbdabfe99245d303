#pragma once

#include "listfile/movie.h"

#include <QtGlobal>
#include <string>
#include <unordered_map>
#include <vector>

namespace cinemork {

// The folded text of every movie of the list, row by row, for finding as the user types. Title and file
// names are kept once per movie; the short fields (resolution, codec, type, location) and the watched
// mark once per distinct combination of them, which most movies share. All of it is UTF-8 in one
// buffer, so a list of 100,000 movies takes a few megabytes. The owner keeps it in step with the list.
class SearchIndex
{
public:
    void reset(const QList<Movie> &movies);
    void insert(int row, const Movie &m);
    void remove(int first, int count);
    void replace(int row, const Movie &m);
    // Row r takes the entry that was at oldRow[r] (a permutation of the rows).
    void permute(const std::vector<int> &oldRow);

    int size() const { return int(m_rows.size()); }
    bool watched(int row) const { return m_shortWatched[m_rows[size_t(row)].shortFields]; }
    size_t bytesUsed() const;

    // Whether a row holds every word of a search text in any of its shown fields.
    class Matcher
    {
    public:
        bool matchesEverything() const { return m_words.empty(); }
        bool matches(int row) const;

    private:
        friend class SearchIndex;
        const SearchIndex *m_index = nullptr;
        std::vector<std::string> m_words;
        std::vector<quint8> m_shortHits; // word w in short fields c: [c * words + w]
    };
    // The matcher holds on to the index: it answers for the rows the index has, as they change, until
    // the next reset.
    Matcher matcher(QStringView text) const;

private:
    struct Row
    {
        quint32 offset; // of title and file names in m_text
        quint32 length;
        quint32 shortFields;
    };
    Row entry(const Movie &m);
    void compactIfWasteful();

    std::string m_text;
    size_t m_garbage = 0; // bytes of m_text that no row uses any more
    std::vector<Row> m_rows;
    std::vector<const std::string *> m_shortText; // the keys of m_shortIds
    std::vector<bool> m_shortWatched;
    std::unordered_map<std::string, quint32> m_shortIds;
};

} // namespace cinemork
