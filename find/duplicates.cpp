#include "duplicates.h"

#include "fold.h"
#include "listfile/sizes.h"

#include <QHash>
#include <QStringList>
#include <numeric>

namespace cinemork {

QString comparableTitle(QStringView title)
{
    QString text = foldedText(title);
    for (QChar &c : text)
        if (!c.isLetterOrNumber())
            c = u' ';
    QStringList words = text.split(u' ', Qt::SkipEmptyParts);
    static const QStringList articles{QStringLiteral("the"), QStringLiteral("a"), QStringLiteral("an")};
    if (words.size() > 1 && articles.contains(words.first()))
        words.removeFirst();
    return words.join(u' ');
}

namespace {

// Which movies belong together, joined two at a time.
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
            m_parent[size_t(std::max(a, b))] = std::min(a, b); // a group's root is its first row
    }

private:
    std::vector<int> m_parent;
};

} // namespace

Duplicates findDuplicates(const QList<Movie> &movies)
{
    const int n = int(movies.size());
    Groups groups(n);
    QHash<QString, int> firstWithTitle, firstWithFile;
    firstWithTitle.reserve(n);
    const auto joinFirst = [&groups](QHash<QString, int> &first, const QString &key, int i) {
        const auto it = first.constFind(key);
        if (it == first.cend())
            first.insert(key, i);
        else
            groups.join(i, *it);
    };
    for (int i = 0; i < n; ++i) {
        const Movie &m = movies[i];
        const QString title = comparableTitle(m[FTitle]);
        if (!title.isEmpty()) // a title of nothing but punctuation tells nothing
            joinFirst(firstWithTitle, title, i);
        const QString size = QString::number(megabytesOf(m[FSize]));
        for (QStringView name : QStringView(m[FFiles]).split(u',')) {
            name = name.trimmed();
            if (!name.isEmpty())
                joinFirst(firstWithFile, foldedText(name) + u'\x1f' + size, i);
        }
    }
    std::vector<int> size(size_t(n), 0);
    for (int i = 0; i < n; ++i)
        ++size[size_t(groups.root(i))];
    // Roots are first rows, so the groups come out in the order of their first rows.
    std::vector<std::vector<int>> members(static_cast<size_t>(n));
    Duplicates d;
    std::vector<int> order;
    for (int i = 0; i < n; ++i) {
        const int root = groups.root(i);
        if (size[size_t(root)] < 2)
            continue;
        if (root == i) {
            order.push_back(i);
            ++d.groups;
        }
        members[size_t(root)].push_back(i);
    }
    for (int root : order)
        d.rows.insert(d.rows.end(), members[size_t(root)].begin(), members[size_t(root)].end());
    return d;
}

} // namespace cinemork
