#pragma once

#include <QList>
#include <QString>
#include <array>

namespace cinemork {

// The nine text fields of a movie, in column order.
enum Field { FTitle, FSize, FRes, FCodec, FType, FSeenit, FLocation, FFiles, FImdb, FieldCount };

struct Movie
{
    std::array<QString, FieldCount> f;
    int icon = 5; // small icon 1..5 of the type picture

    QString &operator[](int i) { return f[size_t(i)]; }
    const QString &operator[](int i) const { return f[size_t(i)]; }
    bool operator==(const Movie &o) const { return f == o.f && icon == o.icon; }
};

// Column keys, headers and designed widths in twips.
extern const std::array<QString, FieldCount> FieldKeys;
extern const std::array<QString, FieldCount> FieldHeaders;
extern const std::array<int, FieldCount> FieldWidthsTwips;

// The small icon a read list gives a movie, chosen from its type text.
int iconForTypeText(const QString &type);

} // namespace cinemork
