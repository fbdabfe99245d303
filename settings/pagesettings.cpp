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
        StyleSheetFile sheet = readStyleSheetFile(css);
        s.page.cssLines = std::move(sheet.lines);
        s.cssMissing = !s.page.cssLines;
        s.cssProblem = sheet.problem;
    }
    return s;
}

} // namespace cinemork
