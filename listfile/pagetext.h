#pragma once

#include <QByteArray>
#include <QString>
#include <string>

namespace cinemork {

// User text into the page: ISO-8859-1 bytes, with "&", "<", ">", the double quote, CR and LF as
// references, and every character outside ISO-8859-1 or from U+0080 to U+009F as its decimal numeric reference.
void appendPageText(QByteArray &out, QStringView text);
void appendPageText(std::string &out, QStringView text);
QByteArray pageText(QStringView text);

// Page bytes back into text: "&amp;", "&lt;", "&gt;", "&quot;" and numeric references are decoded;
// any other text, "&nbsp;" included, is kept as it stands.
QString decodePageText(QByteArrayView bytes);

} // namespace cinemork
