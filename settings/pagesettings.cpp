#include "pagesettings.h"

#include "modregistry.h"

namespace cinemork {

StoredPageSettings pageSettingsFromStore()
{
    StoredPageSettings s;
    s.page.columns = setting(Reg::BrowserColumns, Reg::DefaultColumns);
    s.page.widths = setting(Reg::BrowserColumnsFixedWidth, Reg::DefaultWidths);
    s.page.createIndex = regBool(setting(Reg::CreateIndex, QStringLiteral("0")), false);
    const QString css = setting(Reg::UserCSS, QString());
    if (!css.isEmpty()) {
        s.page.cssLines = readStyleSheet(css);
        s.cssMissing = !s.page.cssLines;
    }
    return s;
}

} // namespace cinemork
