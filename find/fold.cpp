#include "fold.h"

#include <QStringList>
#include <algorithm>

namespace cinemork {

namespace {

bool isAscii(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

char lowerAscii(char16_t c)
{
    return char(c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c);
}

} // namespace

QString foldedText(QStringView text)
{
    if (isAscii(text)) {
        QString out(text.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i)
            out[i] = QChar(lowerAscii(text[i].unicode()));
        return out;
    }
    // Compatibility decomposition splits "é" into "e" and its accent (and "ﬁ" into "fi"); the accents go.
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_KD).toCaseFolded();
    QString out;
    out.reserve(decomposed.size());
    for (QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing)
            out += c;
    return out;
}

void appendFolded(std::string &out, QStringView text)
{
    if (isAscii(text)) {
        const size_t at = out.size();
        out.resize(at + size_t(text.size()));
        for (qsizetype i = 0; i < text.size(); ++i)
            out[at + size_t(i)] = lowerAscii(text[i].unicode());
        return;
    }
    out += foldedText(text).toStdString();
}

std::vector<std::string> foldedWords(QStringView text)
{
    std::vector<std::string> words;
    QString folded = foldedText(text);
    for (QChar &c : folded)
        if (c.unicode() < 0x20) // control characters separate words too (the index keeps its marks in them)
            c = u' ';
    for (const QString &word : folded.simplified().split(u' ', Qt::SkipEmptyParts)) {
        std::string w = word.toStdString();
        if (std::find(words.begin(), words.end(), w) == words.end())
            words.push_back(std::move(w));
    }
    return words;
}

} // namespace cinemork
