#include "modregistry.h"

#include "settingstexts.h"

#include "platform/inistore.h"

#include <QStandardPaths>

#include <cmath>

namespace cinemork {

bool AutoSaveFlag = false;
bool ShowGetResWarningFlag = true;

QString storeFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Brisvane");
}

QString storeFile(RegRoot root)
{
    return storeFolder()
        + (root == HKEY_CURRENT_USER ? QStringLiteral("/HKEY_CURRENT_USER.ini")
                                     : QStringLiteral("/HKEY_LOCAL_MACHINE.ini"));
}

static IniStore storeOf(RegRoot root)
{
    return IniStore(storeFile(root));
}

namespace {

std::function<void(const QString &)> &notSavedHandler()
{
    static std::function<void(const QString &)> handler;
    return handler;
}

// Tells of the first change that could not be written; after one that was, of the next again.
void written(const IniStore &store, bool ok)
{
    static bool told = false;
    if (ok) {
        told = false;
        return;
    }
    if (told)
        return;
    told = true;
    if (notSavedHandler())
        notSavedHandler()(Texts::notSaved(store.filePath(), store.writeError()));
}

} // namespace

void setSettingsNotSavedHandler(std::function<void(const QString &message)> handler)
{
    notSavedHandler() = std::move(handler);
}

bool ChangeRegStore(RegRoot root, const std::function<bool(IniDocument &)> &change)
{
    const IniStore store = storeOf(root);
    const bool ok = store.change(change);
    written(store, ok);
    return ok;
}

QString GetRegString(RegRoot root, const QString &keyPath, const QString &name, const QString &defaultText)
{
    const auto v = storeOf(root).value(keyPath, name);
    if (!v)
        return defaultText;
    // A value ends at its first zero character, as a stored string always did.
    const qsizetype zero = v->indexOf(QChar(0));
    return zero >= 0 ? v->left(zero) : *v;
}

void SaveRegString(RegRoot root, const QString &keyPath, const QString &name, const QString &text)
{
    const IniStore store = storeOf(root);
    if (!store.keyExists(keyPath))
        return; // only into a key that exists
    written(store, store.change([&](IniDocument &d) { return d.setValue(keyPath, name, text); }));
}

void DeleteRegValue(RegRoot root, const QString &keyPath, const QString &name)
{
    const IniStore store = storeOf(root);
    written(store, store.removeValue(keyPath, name));
}

void DeleteRegKey(RegRoot root, const QString &keyPath)
{
    const IniStore store = storeOf(root);
    written(store, store.removeKey(keyPath));
}

bool RegKeyExists(RegRoot root, const QString &keyPath)
{
    return storeOf(root).keyExists(keyPath);
}

void CreateRegKey(RegRoot root, const QString &keyPath)
{
    const IniStore store = storeOf(root);
    written(store, store.createKey(keyPath));
}

bool regBool(const QString &text, bool def)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double n = t.toDouble(&ok);
    return ok && std::isfinite(n) ? n != 0 : def;
}

void InitSettings()
{
    if (setting(Reg::BrowserColumns, Reg::DefaultColumns).size() != 8)
        saveSetting(Reg::BrowserColumns, Reg::DefaultColumns);
    const QString widths = setting(Reg::BrowserColumnsFixedWidth, Reg::DefaultWidths);
    if (widths.isEmpty() || widths.split(u'|').size() != 8)
        saveSetting(Reg::BrowserColumnsFixedWidth, Reg::DefaultWidths);
    if (!RegKeyExists(HKEY_LOCAL_MACHINE, ProgramKey))
        CreateRegKey(HKEY_LOCAL_MACHINE, ProgramKey);

    if (GetRegString(HKEY_CURRENT_USER, OldSettingsKey, Reg::WinPos, QStringLiteral("blah")) == QLatin1String("blah"))
        return;
    const QStringList names{Reg::mru(1),   Reg::mru(2),         Reg::mru(3),
                            Reg::mru(4),   Reg::BrowserColumns, Reg::ShowGetResWarning,
                            Reg::AutoSave, Reg::WinPos,         Reg::UserCSS};
    for (const QString &name : names) {
        const QString v = GetRegString(HKEY_CURRENT_USER, OldSettingsKey, name, QString());
        if (v.isEmpty())
            continue;
        saveSetting(name, v);
        DeleteRegValue(HKEY_CURRENT_USER, OldSettingsKey, name);
    }
    DeleteRegKey(HKEY_CURRENT_USER, OldSettingsKey);
}

} // namespace cinemork
