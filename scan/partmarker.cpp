#include "partmarker.h"

#include "moviefiles/moviefiles.h"
#include "moviefiles/releasename.h"

namespace cinemork {

QString endingOf(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1).toLower();
}

namespace {

int partNumber(const QString &digitOrLetter)
{
    const QChar c = digitOrLetter.at(0).toLower();
    return c.isDigit() ? c.digitValue() : c.unicode() - u'a' + 1;
}

// The names are read from their end by hand: a scan looks at every video file's name, and most carry
// no marker at all.

bool isSeparator(QChar c)
{
    return c == u' ' || c == u'.' || c == u'_' || c == u'-';
}

// A letter compared without its case, as a pattern's letter is ("DISK" with the Kelvin sign too).
char16_t folded(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 128)
        return u >= u'A' && u <= u'Z' ? char16_t(u + 32) : u;
    return c.toCaseFolded().unicode();
}

bool endsWithFolded(QStringView text, qsizetype end, QLatin1StringView word)
{
    if (end < word.size())
        return false;
    for (qsizetype i = 0; i < word.size(); ++i)
        if (folded(text[end - word.size() + i]) != char16_t(word[i].unicode()))
            return false;
    return true;
}

bool isPartNumber(QChar c)
{
    return c >= u'1' && c <= u'9';
}

// The marker's pieces as they stand in the name: "Heat" "." "CD" "" "1" " of " "2".
struct MarkerPieces
{
    QStringView title, separator, keyword, gap, part, ofText, of;
    QStringView rest; // what follows a marker inside the name: ".DVDRip.XviD-GRP", "-GRP"
};

// The title and the separators before a marker that starts at start: the separators run back as far
// as they go; a marker that follows a letter directly is none ("XCD1").
std::optional<std::pair<QStringView, QStringView>> titleBefore(QStringView text, qsizetype start, bool titleNeeded)
{
    if (start == 0)
        return titleNeeded ? std::nullopt : std::optional{std::pair{QStringView(), QStringView()}};
    qsizetype t = start;
    while (t > 0 && isSeparator(text[t - 1]))
        --t;
    if (t == start)
        return std::nullopt;
    return std::pair{text.first(t), text.sliced(t, start - t)};
}

// "cd1", "Part 2", "disc_b", "pt.3" at the end of text (before end).
std::optional<MarkerPieces> keywordMarker(QStringView text, qsizetype end)
{
    if (end < 3)
        return std::nullopt;
    const QChar part = text[end - 1];
    const char16_t p = folded(part);
    if (!isPartNumber(part) && !(p >= u'a' && p <= u'd' && part.unicode() < 128))
        return std::nullopt;
    qsizetype k = end - 1;
    if (isSeparator(text[k - 1]))
        --k;
    static const QLatin1StringView keywords[] = {QLatin1StringView("cd"), QLatin1StringView("dvd"),
                                                 QLatin1StringView("part"), QLatin1StringView("pt"),
                                                 QLatin1StringView("disc"), QLatin1StringView("disk")};
    for (const QLatin1StringView keyword : keywords) {
        if (!endsWithFolded(text, k, keyword))
            continue;
        const qsizetype start = k - keyword.size();
        const auto before = titleBefore(text, start, false);
        if (!before)
            return std::nullopt;
        return MarkerPieces{before->first, before->second, text.sliced(start, keyword.size()),
                            text.sliced(k, end - 1 - k), text.sliced(end - 1, 1), {}, {}, {}};
    }
    return std::nullopt;
}

// " of 2", "of2", "_of_2" at the end: where what stands before it ends, or -1.
qsizetype beforeOf(QStringView text)
{
    qsizetype k = text.size();
    if (k < 3 || !isPartNumber(text[k - 1]))
        return -1;
    --k;
    if (isSeparator(text[k - 1]))
        --k;
    if (!endsWithFolded(text, k, QLatin1StringView("of")))
        return -1;
    k -= 2;
    if (k > 0 && isSeparator(text[k - 1]))
        --k;
    return k;
}

// "Heat CD1", "Heat.Part.1.of.2", "Heat - 1 of 2": the marker at the end of a name without its ending.
std::optional<MarkerPieces> markerPieces(QStringView text)
{
    const qsizetype of = beforeOf(text);
    if (of > 0) {
        if (auto m = keywordMarker(text, of)) {
            m->ofText = text.sliced(of, text.size() - 1 - of);
            m->of = text.last(1);
            return m;
        }
    }
    if (auto m = keywordMarker(text, text.size()))
        return m;
    if (of > 0 && isPartNumber(text[of - 1])) { // "Heat 1 of 2": a number with no keyword
        if (const auto before = titleBefore(text, of - 1, true))
            return MarkerPieces{before->first, before->second, {}, {}, text.sliced(of - 1, 1),
                                text.sliced(of, text.size() - 1 - of), text.last(1), {}};
    }
    return std::nullopt;
}

// "A.Movie.2000.CD1.DVDRip.XviD-GRP", "A.Movie.2000.DVDRip.XviD.CD2-GRP": a release's marker among its
// tags. Only release tags may follow it (or, at the end, the group after a "-"): "Saga.Part1.Rising"
// names a sequel, not a part.
std::optional<MarkerPieces> releaseMarker(QStringView text)
{
    const auto isTokenSeparator = [](QChar c) { return c == u'.' || c == u'_' || c == u' '; };
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && !isTokenSeparator(text[end]))
            ++end;
        const QStringView token = text.sliced(start, end - start);
        const qsizetype dash = token.indexOf(u'-');
        const QStringView marker = dash < 0 ? token : token.first(dash);
        const bool last = end == text.size();
        if (start > 0 && marker.size() >= 3 && isPartNumber(marker.back()) && (dash < 0 || (last && dash + 1 < token.size()))) {
            for (const char *keyword : {"cd", "dvd", "disc", "disk", "part", "pt"}) {
                const QLatin1StringView k(keyword);
                if (marker.size() != k.size() + 1 || !endsWithFolded(marker, k.size(), k))
                    continue;
                bool tagsAfter = true;
                for (qsizetype t = end; t < text.size() && tagsAfter;) {
                    qsizetype e = t + 1;
                    while (e < text.size() && !isTokenSeparator(text[e]))
                        ++e;
                    tagsAfter = isReleaseTag(text.sliced(t + 1, e - t - 1));
                    t = e;
                }
                const auto before = titleBefore(text, start, true);
                if (!tagsAfter || !before || (dash < 0 && last))
                    break;
                return MarkerPieces{before->first, before->second, marker.first(k.size()), {}, marker.last(1), {}, {},
                                    text.sliced(start + marker.size())};
            }
        }
        start = end + 1;
    }
    return std::nullopt;
}

// "Yojimbo [CD1]", "(cd1)", "{Disc 1}": what stands in the brackets at the end, after the title and a
// blank, when it reads as a marker.
std::optional<QString> bracketedMarker(QStringView base)
{
    if (base.isEmpty() || !QStringView(u")]}").contains(base.back()))
        return std::nullopt;
    qsizetype open = base.size() - 1;
    while (open > 0 && !QStringView(u"[](){}").contains(base[open - 1]))
        --open;
    if (open == 0 || open == base.size() - 1 || !QStringView(u"[({").contains(base[open - 1]))
        return std::nullopt;
    qsizetype t = open - 1;
    while (t > 0 && isSeparator(base[t - 1]))
        --t;
    QString inside = base.first(t).toString();
    inside += u' ';
    inside += base.sliced(open, base.size() - 1 - open);
    return markerPieces(inside) ? std::optional{inside} : std::nullopt;
}

// "E.T" (from "E.T. CD1"), "Dr", "Mr": a title whose last dot, taken for the marker's separator,
// ended an abbreviation.
bool endsWithAbbreviation(QStringView title)
{
    const qsizetype n = title.size();
    if (n >= 2 && title[n - 2] == u'.') { // a dot and a letter, a digit or "_" of ASCII
        const char16_t c = title[n - 1].unicode();
        if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_')
            return true;
    }
    static const char *const words[] = {"Dr", "Mr", "Mrs", "Ms", "St", "Jr", "Sr", "Vs", "Vol"};
    for (const char *word : words) {
        const QLatin1StringView w(word);
        if (title.endsWith(w) && (n == w.size() || title[n - w.size() - 1] == u' ' || title[n - w.size() - 1] == u'.'))
            return true;
    }
    return false;
}

} // namespace

std::optional<PartMarker> partMarker(const QString &fileName)
{
    QString base = titleFromName(fileName);
    bool inBrackets = false;
    if (auto inside = bracketedMarker(base)) {
        base = *inside;
        inBrackets = true;
    }
    auto m = markerPieces(base);
    if (!m && !inBrackets)
        m = releaseMarker(base);
    if (!m)
        return std::nullopt;
    const QString ending = u'.' + endingOf(fileName);
    PartMarker marker;
    marker.title = m->title.toString();
    marker.number = partNumber(m->part.toString());
    marker.of = m->of.isEmpty() ? 0 : m->of.toInt();
    const QChar kind = m->keyword.isEmpty() || m->part.front().isDigit() ? u'#' : u'@';
    for (const QStringView piece : {m->title, m->separator, m->keyword, m->gap, QStringView(&kind, 1), m->ofText, m->of, m->rest})
        marker.key += piece;
    marker.key += ending;
    marker.unmarked = marker.title + m->rest.toString();
    // "E.T. CD1": the dot ends the abbreviation, the blank separates the marker.
    if (!m->keyword.isEmpty() && m->separator.startsWith(u'.') && !inBrackets && endsWithAbbreviation(marker.title))
        marker.title += u'.';
    if (marker.of && marker.number > marker.of)
        return std::nullopt;
    marker.key = marker.key.toCaseFolded(); // "THE THING CD1.AVI" and "the thing cd2.avi"
    return marker;
}

int partFolderNumber(const QString &name)
{
    if (name.size() < 3 || name.size() > 6 || !isPartNumber(name.back()))
        return 0;
    const qsizetype end = name.size() - 1 - (isSeparator(name[name.size() - 2]) ? 1 : 0);
    for (const char *keyword : {"cd", "dvd", "disc", "disk", "part", "pt"}) {
        const QLatin1StringView k(keyword);
        if (end == k.size() && endsWithFolded(name, end, k))
            return name.back().digitValue();
    }
    return 0;
}

} // namespace cinemork
