#pragma once

#include <QString>
#include <QUrl>

namespace cinemork {

// Hands a document or a web address to the desktop (the user's browser for pages).
class Shell
{
public:
    virtual ~Shell() = default;
    // An empty target opens nothing. The result is not looked at by any caller.
    virtual void open(const QString &target) = 0;
};

// A web address as the browser must receive it: the text unchanged, except that a "%" which does not
// begin an escape (two hex digits) becomes "%25", as no address can hold a bare "%".
QUrl webAddress(const QString &address);

Shell &shell();
void setShell(Shell *s); // not owned; nullptr puts the default back
// What opens things while nothing is installed (the desktop, qtdialogs.h); without one, nothing opens.
void setDefaultShell(Shell *s);

} // namespace cinemork
