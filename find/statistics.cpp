#include "statistics.h"

#include "findtexts.h"

#include <map>

namespace cinemork {

ResolutionClass resolutionClassOf(QStringView resolution)
{
    const qsizetype x = resolution.indexOf(u'x', 0, Qt::CaseInsensitive);
    if (x < 0)
        return ResolutionClass::Unknown;
    bool wide = false, high = false;
    const int width = resolution.left(x).trimmed().toInt(&wide);
    const int height = resolution.sliced(x + 1).trimmed().toInt(&high);
    if (!wide || !high || width <= 0 || height <= 0)
        return ResolutionClass::Unknown;
    if (height < 480)
        return ResolutionClass::Below480;
    if (height < 720)
        return ResolutionClass::From480;
    return height < 1080 ? ResolutionClass::From720 : ResolutionClass::From1080;
}

namespace {

// Keys compared without regard to letter case; the first spelling met names the row.
struct Table
{
    std::map<QString, StatisticsRow> rows;
    void add(const QString &key, const Movie &m)
    {
        auto [it, added] = rows.try_emplace(key.toCaseFolded());
        if (added)
            it->second.key = key;
        addToTotals(it->second.totals, m);
    }
    std::vector<StatisticsRow> take()
    {
        std::vector<StatisticsRow> out;
        out.reserve(rows.size());
        for (auto &[key, row] : rows)
            out.push_back(std::move(row));
        return out;
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
        addToTotals(s.totals, m);
        type.add(m[FType], m);
        codec.add(m[FCodec], m);
        location.add(m[FLocation], m);
        addToTotals(s.byResolution[size_t(resolutionClassOf(m[FRes]))].totals, m);
    }
    s.byType = type.take();
    s.byCodec = codec.take();
    s.byLocation = location.take();
    return s;
}

} // namespace cinemork
