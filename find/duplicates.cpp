#include "duplicates.h"

#include "fold.h"
#include "listfile/sizes.h"
#include "moviefiles/releasename.h"

#include <QRegularExpression>

#include <algorithm>
#include <numeric>
#include <string>
#include <string_view>
#include <unordered_map>

namespace cinemork {

namespace {

// "name.avi": a dot and one to five letters or digits at the end.
bool hasEnding(QStringView name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    const qsizetype length = name.size() - dot - 1;
    return dot > 0 && length >= 1 && length <= 5
        && std::all_of(name.end() - length, name.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

// A catalogue's "Godfather, The (1972)" as "The Godfather (1972)": an article after a last comma,
// a year or other note in brackets after it allowed. Empty when the title has no such article.
QString articleInFront(QStringView title)
{
    if (!title.contains(u','))
        return {};
    static const QRegularExpression trailing(
        QStringLiteral(R"(^(.*\S)\s*,\s*(the|an?|les?|la|der|die|das|el|il)\s*((?:[([][^)\]]*[)\]]\s*)?)$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = trailing.match(title.toString());
    if (!m.hasMatch())
        return {};
    return m.captured(2) + u' ' + m.captured(1) + u' ' + m.captured(3);
}

// An apostrophe joins the letters around it: "Bug's" and "Bugs" are one word.
bool isApostrophe(char32_t code)
{
    return code == U'\'' || code == U'\u2019' || code == U'\u02BC' || code == U'`';
}

// Appends the comparable form of title to out in UTF-8: runs of anything but letters and digits of
// the folded title become one blank, and a leading article goes (a trailing one counts as leading).
// scratch is only reused.
void appendComparableTitle(std::string &out, QStringView title, std::string &scratch)
{
    scratch.clear();
    if (const QString moved = articleInFront(title); !moved.isEmpty())
        appendFolded(scratch, moved);
    else
        appendFolded(scratch, title);
    const size_t start = out.size();
    bool blank = true; // at the start, or after a blank
    for (size_t i = 0; i < scratch.size();) {
        const auto c = static_cast<unsigned char>(scratch[i]);
        size_t length = 1;
        char32_t code = c;
        if (c >= 0x80) { // a whole character of UTF-8, which the folding wrote
            length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
            code = c & (0x7F >> length);
            for (size_t k = 1; k < length && i + k < scratch.size(); ++k)
                code = (code << 6) | (static_cast<unsigned char>(scratch[i + k]) & 0x3F);
        }
        if (isApostrophe(code)) {
            // nothing: the word goes on
        } else if (QChar::isLetterOrNumber(code)) {
            out.append(scratch, i, length);
            blank = false;
        } else if (!blank) {
            out += ' ';
            blank = true;
        }
        i += length;
    }
    if (out.size() > start && out.back() == ' ')
        out.pop_back();
    for (const std::string_view article : {"the ", "a ", "an "})
        if (std::string_view(out).substr(start).starts_with(article)) {
            out.erase(start, article.size());
            break;
        }
}

// Which movies belong together, joined two at a time; a group's root is its first row.
class Groups
{
public:
    explicit Groups(int n)
        : m_parent(static_cast<size_t>(n))
    {
        std::iota(m_parent.begin(), m_parent.end(), 0);
    }
    int root(int i)
    {
        while (m_parent[size_t(i)] != i)
            i = m_parent[size_t(i)] = m_parent[size_t(m_parent[size_t(i)])];
        return i;
    }
    void join(int a, int b)
    {
        a = root(a);
        b = root(b);
        if (a != b)
            m_parent[size_t(std::max(a, b))] = std::min(a, b);
    }

private:
    std::vector<int> m_parent;
};

struct Key
{
    size_t offset, length; // in the keys' text
    int row;
};

} // namespace

QString comparableTitle(QStringView title)
{
    std::string out, scratch;
    appendComparableTitle(out, title, scratch);
    return QString::fromStdString(out);
}

Duplicates findDuplicates(const QList<Movie> &movies)
{
    const int n = int(movies.size());
    // Every key in one text first, so the maps below can look at it without copies.
    std::string text, scratch;
    std::vector<Key> titles, files;
    std::vector<QStringView> pieces;
    titles.reserve(size_t(n));
    files.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        const Movie &m = movies[i];
        size_t start = text.size();
        appendComparableTitle(text, m[FTitle], scratch);
        if (text.size() > start) // a title of nothing but punctuation tells nothing
            titles.push_back({start, text.size() - start, i});
        const std::string size = std::to_string(megabytesOf(m[FSize]));
        // The files one by one when every piece between commas is a file name with an ending; else
        // the whole field is one name ("Movie, The.avi" holds a comma of its own).
        const QStringView names = QStringView(m[FFiles]).trimmed();
        pieces.clear();
        for (qsizetype from = 0; from <= names.size();) {
            qsizetype comma = names.indexOf(u',', from);
            if (comma < 0)
                comma = names.size();
            const QStringView name = names.sliced(from, comma - from).trimmed();
            from = comma + 1;
            if (!name.isEmpty())
                pieces.push_back(name);
        }
        if (!std::all_of(pieces.begin(), pieces.end(), hasEnding))
            pieces.assign(1, names);
        for (const QStringView name : pieces) {
            if (name.isEmpty() || isGenericFileName(name.toString())) // "movie.avi", "VTS_01_1.VOB": any movie's
                continue;
            start = text.size();
            appendFolded(text, name);
            text += '\x1f';
            text += size;
            files.push_back({start, text.size() - start, i});
        }
    }

    Groups groups(n);
    for (const std::vector<Key> *keys : {&titles, &files}) {
        std::unordered_map<std::string_view, int> first;
        first.reserve(keys->size());
        for (const Key &k : *keys) {
            const auto [it, added] = first.try_emplace(std::string_view(text).substr(k.offset, k.length), k.row);
            if (!added)
                groups.join(k.row, it->second);
        }
    }

    std::vector<int> size(static_cast<size_t>(n), 0);
    for (int i = 0; i < n; ++i)
        ++size[size_t(groups.root(i))];
    std::vector<std::pair<int, int>> found; // root and row: sorted, groups by their first rows
    for (int i = 0; i < n; ++i) {
        const int root = groups.root(i);
        if (size[size_t(root)] > 1)
            found.emplace_back(root, i);
    }
    std::sort(found.begin(), found.end());
    Duplicates d;
    d.rows.reserve(found.size());
    d.group.reserve(found.size());
    for (size_t k = 0; k < found.size(); ++k) {
        if (k == 0 || found[k].first != found[k - 1].first)
            ++d.groups;
        d.rows.push_back(found[k].second);
        d.group.push_back(d.groups - 1);
    }
    return d;
}

} // namespace cinemork
