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

class DesktopShell : public Shell
{
public:
    void open(const QString &target) override;
};

// A web address as the browser must receive it: the text unchanged, except that a "%" which does not
// begin an escape (two hex digits) becomes "%25", as no address can hold a bare "%".
QUrl webAddress(const QString &address);

Shell &shell();
void setShell(Shell *s); // not owned; nullptr puts the desktop back

} // namespace cinemork
