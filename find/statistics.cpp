#include "statistics.h"

#include "findtexts.h"

#include <QHash>
#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace cinemork {

namespace {

// Names with numbers in them by the numbers' values ("Box 2" before "Box 10"), letter case ignored.
bool naturalLess(QStringView a, QStringView b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            const qsizetype si = i, sj = j;
            while (i < a.size() && a[i].isDigit())
                ++i;
            while (j < b.size() && b[j].isDigit())
                ++j;
            const QStringView x = a.sliced(si, i - si), y = b.sliced(sj, j - sj);
            const auto trimZeros = [](QStringView d) {
                qsizetype k = 0;
                while (k + 1 < d.size() && d[k] == u'0')
                    ++k;
                return d.sliced(k);
            };
            const QStringView p = trimZeros(x), q = trimZeros(y);
            if (p.size() != q.size())
                return p.size() < q.size();
            if (const int c = p.compare(q); c != 0)
                return c < 0;
            continue;
        }
        const QChar c = a[i].toCaseFolded(), d = b[j].toCaseFolded();
        if (c != d)
            return c < d;
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

// A whole number of at most six digits, blanks around it allowed; -1 for anything else.
int smallNumber(QStringView text)
{
    text = text.trimmed();
    if (text.isEmpty() || text.size() > 6)
        return -1;
    int v = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return -1;
        v = v * 10 + (c.unicode() - u'0');
    }
    return v;
}

} // namespace

ResolutionClass resolutionClassOf(QStringView resolution)
{
    qsizetype x = resolution.indexOf(u'x');
    if (x < 0)
        x = resolution.indexOf(u'X');
    if (x < 0)
        return ResolutionClass::Unknown;
    const int width = smallNumber(resolution.left(x));
    const int height = smallNumber(resolution.sliced(x + 1));
    if (width <= 0 || height <= 0)
        return ResolutionClass::Unknown;
    if (height < 480)
        return ResolutionClass::Below480;
    if (height < 720)
        return ResolutionClass::From480;
    return height < 1080 ? ResolutionClass::From720 : ResolutionClass::From1080;
}

namespace {

// Keys compared without regard to letter case; the first spelling met names the row. Most movies
// repeat a spelling met before, which is found without folding it.
struct Table
{
    std::vector<StatisticsRow> rows;
    std::unordered_map<std::u16string_view, size_t> rowOfText; // views of the movies' own texts
    QHash<QString, size_t> rowOfFolded;
    void add(const QString &key, const PageTotals &movie)
    {
        const std::u16string_view text(reinterpret_cast<const char16_t *>(key.constData()), size_t(key.size()));
        auto it = rowOfText.find(text);
        if (it == rowOfText.end()) {
            const QString folded = key.toCaseFolded();
            auto same = rowOfFolded.constFind(folded);
            if (same == rowOfFolded.cend()) {
                same = rowOfFolded.insert(folded, rows.size());
                rows.push_back({key, {}});
            }
            it = rowOfText.emplace(text, *same).first;
        }
        rows[it->second].totals += movie;
    }
    std::vector<StatisticsRow> take()
    {
        std::sort(rows.begin(), rows.end(),
                  [](const StatisticsRow &a, const StatisticsRow &b) { return naturalLess(a.key, b.key); });
        return std::move(rows);
    }
};

} // namespace

ListStatistics statisticsOf(const QList<Movie> &movies)
{
    ListStatistics s;
    Table type, codec, location;
    s.byResolution.resize(FindTexts::ResolutionClasses.size());
    for (size_t c = 0; c < s.byResolution.size(); ++c)
        s.byResolution[c].key = FindTexts::ResolutionClasses[c];
    for (const Movie &m : movies) {
        const PageTotals one = totalsOf(m);
        s.totals += one;
        type.add(m[FType], one);
        codec.add(m[FCodec], one);
        location.add(m[FLocation], one);
        s.byResolution[size_t(resolutionClassOf(m[FRes]))].totals += one;
    }
    s.byType = type.take();
    s.byCodec = codec.take();
    s.byLocation = location.take();
    return s;
}

} // namespace cinemork
