#include "releasename.h"

#include "moviefiles.h"

#include <QDate>
#include <QRegularExpression>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace cinemork {

namespace {

enum class Tag { None, Source, Codec, Other };

struct TagInfo
{
    Tag kind;
    QString text; // the type or codec it gives; "" keeps the tag's own text
};

// The tags that end a release's title, lower case.
const std::unordered_map<std::string_view, TagInfo> &tags()
{
    static const std::unordered_map<std::string_view, TagInfo> table = [] {
        std::unordered_map<std::string_view, TagInfo> t;
        const auto add = [&t](std::initializer_list<const char *> names, Tag kind, const QString &text = {}) {
            for (const char *n : names)
                t.emplace(n, TagInfo{kind, text});
        };
        add({"dvdrip", "dvd-rip"}, Tag::Source, TypePresets[0]);
        add({"dvdscr", "dvdscreener", "screener", "scr"}, Tag::Source, TypePresets[1]);
        add({"svcd"}, Tag::Source, TypePresets[2]);
        add({"vcd"}, Tag::Source, TypePresets[3]);
        add({"cam", "camrip", "hdcam", "ts", "hdts", "telesync", "tc", "telecine"}, Tag::Source, TypePresets[4]);
        add({"vhsrip"}, Tag::Source, TypePresets[5]);
        add({"tvrip", "hdtv", "pdtv", "dsr", "dsrip", "dvbrip", "satrip"}, Tag::Source, TypePresets[6]);
        add({"bluray", "blu-ray", "bdrip", "brrip", "bdremux", "web-dl", "webdl", "webrip", "hdrip", "dvdr", "dvd5",
             "dvd9", "r5", "ppvrip"},
            Tag::Source);
        add({"xvid"}, Tag::Codec, QStringLiteral("XviD"));
        add({"divx"}, Tag::Codec, QStringLiteral("DivX"));
        add({"x264"}, Tag::Codec, QStringLiteral("x264"));
        add({"h264", "avc"}, Tag::Codec, QStringLiteral("H.264"));
        add({"x265"}, Tag::Codec, QStringLiteral("x265"));
        add({"h265", "hevc"}, Tag::Codec, QStringLiteral("HEVC"));
        add({"480p", "576p", "720p", "1080p", "1080i", "2160p", "4k", "uhd", "ac3", "dts", "aac", "mp3", "dd5", "ddp5",
             "truehd", "atmos", "flac", "proper", "repack", "rerip", "limited", "unrated", "dc", "internal",
             "remastered", "multi", "subbed", "dubbed", "ws", "fs", "nfofix", "readnfo", "10bit", "hdr"},
            Tag::Other);
        return t;
    }();
    return table;
}

// A token without brackets around it.
QStringView bare(QStringView token)
{
    while (!token.isEmpty() && QStringView(u"([{").contains(token.front()))
        token = token.sliced(1);
    while (!token.isEmpty() && QStringView(u")]}").contains(token.back()))
        token.chop(1);
    return token;
}

// A token's tag, if it is one; the tags are short and of ASCII letters.
const TagInfo *findTag(QStringView token)
{
    char lower[16];
    if (token.size() > qsizetype(sizeof lower))
        return nullptr;
    for (qsizetype i = 0; i < token.size(); ++i) {
        const char16_t u = token[i].unicode();
        // Of all letters beyond ASCII only the Kelvin sign is an ASCII letter made small.
        const char16_t c = u < 128 || u == 0x212A ? token[i].toLower().unicode() : 0xFFFF;
        if (c >= 128)
            return nullptr;
        lower[i] = char(c);
    }
    const auto it = tags().find(std::string_view(lower, size_t(token.size())));
    return it == tags().end() ? nullptr : &it->second;
}

// The tag a token is, and its text as written; "XviD-GROUP" is XviD's.
std::pair<TagInfo, QStringView> tagOf(QStringView token)
{
    QStringView b = bare(token);
    const TagInfo *info = findTag(b);
    if (!info && b.contains(u'-')) {
        b = b.first(b.indexOf(u'-'));
        info = findTag(b);
    }
    if (!info)
        return {{Tag::None, {}}, {}};
    return {*info, b};
}

// "1995" or "(1995)" from 1900 to the coming year.
int yearOf(const QString &token)
{
    static const int coming = QDate::currentDate().year() + 1;
    QString b = token;
    if (b.size() == 6 && ((b.front() == u'(' && b.back() == u')') || (b.front() == u'[' && b.back() == u']')))
        b = b.mid(1, 4);
    if (b.size() != 4 || !std::all_of(b.begin(), b.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; }))
        return 0;
    const int year = b.toInt();
    return year >= 1900 && year <= coming ? year : 0;
}

bool isWordChar(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_';
}

// The dot of "H.264" or "h.265" standing as a word of its own.
bool isCodecDot(const QString &text, qsizetype dot)
{
    if (dot < 1 || dot + 4 > text.size() || (text[dot - 1] != u'h' && text[dot - 1] != u'H'))
        return false;
    if (dot >= 2 && isWordChar(text[dot - 2]))
        return false;
    if (text[dot + 1] != u'2' || text[dot + 2] != u'6' || (text[dot + 3] != u'4' && text[dot + 3] != u'5'))
        return false;
    return dot + 4 == text.size() || !isWordChar(text[dot + 4]);
}

bool isLetter(const QString &token)
{
    return token.size() == 1 && token.front().isLetter();
}

bool isAbbreviation(const QString &word)
{
    static const QStringList words{"Dr", "Mr", "Mrs", "Ms", "St", "Jr", "Sr", "Vs", "Vol", "Mt", "Prof", "Lt", "Capt"};
    return words.contains(word, Qt::CaseInsensitive);
}

// Tokens of a name whose dots or underscores stand for blanks, joined with blanks; initials keep their dots
// ("E.T.", "L.A.") and so do abbreviations ("Dr. No").
QString joinDotted(const QStringList &tokens)
{
    QString out;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const bool initial = isLetter(tokens[i])
            && ((i + 1 < tokens.size() && isLetter(tokens[i + 1])) || (i > 0 && isLetter(tokens[i - 1])));
        if (!out.isEmpty() && !out.endsWith(u'.'))
            out += u' ';
        else if (out.endsWith(u'.') && !(initial && i > 0 && isLetter(tokens[i - 1])))
            out += u' ';
        out += tokens[i];
        if (initial || isAbbreviation(tokens[i]))
            out += u'.';
    }
    return out;
}

} // namespace

ReleaseName parseReleaseName(const QString &name)
{
    ReleaseName r;
    r.title = name.trimmed();
    const bool dotted = !r.title.contains(u' ');
    QStringList tokens;
    if (dotted) {
        // "H.264" is one token; dots and underscores, however many, part the others.
        QString token;
        const QString &text = r.title;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c == u'.' && isCodecDot(text, i))
                continue;
            if (c == u'.' || c == u'_') {
                if (!token.isEmpty())
                    tokens << std::exchange(token, QString());
                continue;
            }
            token += c;
        }
        if (!token.isEmpty())
            tokens << token;
    } else {
        tokens = r.title.split(u' ', Qt::SkipEmptyParts);
    }
    if (tokens.isEmpty())
        return r;
    qsizetype firstTag = tokens.size();
    for (qsizetype i = 1; i < tokens.size() && firstTag == tokens.size(); ++i) {
        if (tagOf(tokens[i]).first.kind != Tag::None)
            firstTag = i;
    }
    qsizetype yearAt = -1;
    for (qsizetype i = 1; i < firstTag; ++i) {
        if (yearOf(tokens[i]))
            yearAt = i; // the last: "Blade Runner 2049 2017"
    }
    const qsizetype cut = yearAt > 0 ? yearAt : firstTag;
    r.released = cut < tokens.size();
    for (qsizetype i = cut; i < tokens.size(); ++i) {
        const auto [info, text] = tagOf(tokens[i]);
        if (info.kind == Tag::Source && r.type.isEmpty())
            r.type = info.text.isEmpty() ? text.toString() : info.text;
        else if (info.kind == Tag::Codec && r.codec.isEmpty())
            r.codec = info.text;
    }
    if (cut == tokens.size() && !dotted)
        return r; // nothing to take away: the name is the title as it is
    const QStringList kept = tokens.mid(0, cut);
    QString title = dotted ? joinDotted(kept) : kept.join(u' ');
    while (title.endsWith(u'-') || title.endsWith(u' '))
        title.chop(1);
    if (yearAt > 0)
        title += QStringLiteral(" (") + QString::number(yearOf(tokens[yearAt])) + u')';
    r.title = title.isEmpty() ? r.title : title;
    return r;
}

bool isReleaseTag(QStringView token)
{
    return tagOf(token).first.kind != Tag::None;
}

bool isGenericTitle(const QString &title)
{
    static const QRegularExpression generic(
        QStringLiteral(R"(^(movie|video|film|video_ts|vts_\d\d_\d|(cd|dvd|disc|disk|part|pt)[ ._-]?\d*)?$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QString trimmed = title.trimmed();
    if (!trimmed.isEmpty() && !QStringView(u"mvfcdpMVFCDP").contains(trimmed.front()))
        return false; // no such name starts so: most titles are told at their first letter
    return generic.match(trimmed).hasMatch();
}

bool isGenericFileName(const QString &fileName)
{
    return isGenericTitle(titleFromName(fileName));
}

} // namespace cinemork
