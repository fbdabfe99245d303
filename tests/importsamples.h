#pragma once

// Sample collections of other programs, written from the structures their formats document, shared by
// the import tests.

#include <QByteArray>
#include <QString>

namespace cinemork::test {

// Alien with every field its format has, and Brazil, whose title already ends with its year.
inline const QByteArray GcstarSample =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<collection type=\"GCfilms\" items=\"2\" version=\"1.7\">\n"
    " <information><maxId>2</maxId></information>\n"
    " <item id=\"1\" title=\"Alien\" date=\"25/05/1979\" webPage=\"http://www.imdb.com/title/tt0078748/##IMDb\"\n"
    "  seen=\"1\" format=\"dvd rip\" number=\"1\" place=\"Box 1\" video=\"DivX\" trailer=\"/home/u/trailers/alien.avi\">\n"
    "  <synopsis>In space no one can hear you scream.</synopsis>\n"
    "  <actors><line><col>Sigourney Weaver</col></line></actors>\n"
    " </item>\n"
    " <item id=\"2\" title=\"Brazil (1985)\" date=\"1985\" webPage=\"\" seen=\"0\" format=\"VHS\" number=\"2\"\n"
    "  place=\"Shelf\" video=\"\" trailer=\"\"></item>\n"
    "</collection>\n";

} // namespace cinemork::test
