#pragma once

#include <QString>
#include <string>
#include <vector>

namespace cinemork {

// Text as finding compares it: letter case and accents ignored ("Amélie" and "AMELIE" fold alike).
QString foldedText(QStringView text);
// The same, appended to out in UTF-8.
void appendFolded(std::string &out, QStringView text);
// The words of a search text, folded, in UTF-8; blanks separate them, and a word met twice counts once.
std::vector<std::string> foldedWords(QStringView text);

} // namespace cinemork
