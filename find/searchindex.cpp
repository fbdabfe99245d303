#include "searchindex.h"

#include "fold.h"

#include <string_view>

namespace cinemork {

// Between fields, so no word is found across two of them.
static constexpr char FieldSeparator = '\x1f';
static constexpr char WatchedMark = '\x1e', NotWatchedMark = '\x1d';

SearchIndex::Row SearchIndex::entry(const Movie &m)
{
    Row row;
    row.offset = quint32(m_text.size());
    appendFolded(m_text, m[FTitle]);
    m_text += FieldSeparator;
    appendFolded(m_text, m[FFiles]);
    row.length = quint32(m_text.size() - row.offset);

    std::string shortFields;
    for (const Field f : {FRes, FCodec, FType, FLocation}) {
        appendFolded(shortFields, m[f]);
        shortFields += FieldSeparator;
    }
    // The watched mark last, as a character no search word holds.
    const bool watched = m[FSeenit] == QLatin1String("yes");
    shortFields += watched ? WatchedMark : NotWatchedMark;
    const auto [it, added] = m_shortIds.try_emplace(std::move(shortFields), quint32(m_shortText.size()));
    if (added) {
        m_shortText.push_back(&it->first); // the map's nodes stay where they are
        m_shortWatched.push_back(watched);
    }
    row.shortFields = it->second;
    return row;
}

void SearchIndex::reset(const QList<Movie> &movies)
{
    m_text.clear();
    m_garbage = 0;
    m_rows.clear();
    m_shortText.clear();
    m_shortWatched.clear();
    m_shortIds.clear();
    m_rows.reserve(size_t(movies.size()));
    for (const Movie &m : movies)
        m_rows.push_back(entry(m));
    m_text.shrink_to_fit();
}

void SearchIndex::insert(int row, const Movie &m)
{
    m_rows.insert(m_rows.begin() + row, entry(m));
}

void SearchIndex::remove(int first, int count)
{
    for (int r = first; r < first + count; ++r)
        m_garbage += m_rows[size_t(r)].length;
    m_rows.erase(m_rows.begin() + first, m_rows.begin() + first + count);
    compactIfWasteful();
}

void SearchIndex::replace(int row, const Movie &m)
{
    m_garbage += m_rows[size_t(row)].length;
    m_rows[size_t(row)] = entry(m);
    compactIfWasteful();
}

void SearchIndex::permute(const std::vector<int> &oldRow)
{
    std::vector<Row> rows(m_rows.size());
    for (size_t r = 0; r < rows.size(); ++r)
        rows[r] = m_rows[size_t(oldRow[r])];
    m_rows = std::move(rows);
    // The texts in the rows' new order: finding reads them front to back.
    m_garbage = m_text.size();
    compactIfWasteful();
}

void SearchIndex::compactIfWasteful()
{
    if (m_garbage < 4096 || m_garbage < m_text.size() / 2)
        return;
    std::string text;
    text.reserve(m_text.size() - m_garbage);
    for (Row &row : m_rows) {
        const quint32 offset = quint32(text.size());
        text.append(m_text, row.offset, row.length);
        row.offset = offset;
    }
    m_text = std::move(text);
    m_garbage = 0;
}

size_t SearchIndex::bytesUsed() const
{
    size_t bytes = m_text.capacity() + m_rows.capacity() * sizeof(Row) + m_shortWatched.capacity() / 8;
    for (const std::string *s : m_shortText)
        bytes += sizeof(s) + sizeof(std::string) + s->capacity() + 24; // and the map's node
    return bytes;
}

SearchIndex::Matcher SearchIndex::matcher(QStringView text) const
{
    Matcher m;
    m.m_index = this;
    m.m_words = foldedWords(text);
    const size_t words = m.m_words.size();
    m.m_shortHits.resize(m_shortText.size() * words);
    for (size_t c = 0; c < m_shortText.size(); ++c)
        for (size_t w = 0; w < words; ++w)
            m.m_shortHits[c * words + w] = m_shortText[c]->find(m.m_words[w]) != std::string::npos;
    return m;
}

bool SearchIndex::Matcher::matches(int row) const
{
    const Row &r = m_index->m_rows[size_t(row)];
    const std::string_view text(m_index->m_text.data() + r.offset, r.length);
    const size_t words = m_words.size();
    // Combinations that came into the list after the matcher was made are looked at here.
    const bool known = size_t(r.shortFields) * words < m_shortHits.size();
    for (size_t w = 0; w < words; ++w) {
        const bool inShort = known ? m_shortHits[r.shortFields * words + w] != 0
                                   : m_index->m_shortText[r.shortFields]->find(m_words[w]) != std::string::npos;
        if (!inShort && text.find(m_words[w]) == std::string_view::npos)
            return false;
    }
    return true;
}

} // namespace cinemork
