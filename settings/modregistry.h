#pragma once

#include <QString>
#include <functional>

namespace cinemork {

// The two roots of the settings store, by their historical handles.
enum RegRoot : quint32 {
    HKEY_CURRENT_USER = 0x80000001u,
    HKEY_LOCAL_MACHINE = 0x80000002u,
};

inline const QString ProgramKey = QStringLiteral("Software\\Brisvane\\Cinemork");
inline const QString OldSettingsKey = QStringLiteral("Software\\VB and VBA Program Settings\\Brisvane\\Cinemork");

// Value names and their defaults.
namespace Reg {
inline const QString BrowserColumns = QStringLiteral("BrowserColumns");
inline const QString BrowserColumnsFixedWidth = QStringLiteral("BrowserColumnsFixedWidth");
inline const QString UserCSS = QStringLiteral("UserCSS");
inline const QString CreateIndex = QStringLiteral("CreateIndex");
inline const QString ShowGetResWarning = QStringLiteral("ShowGetResWarning");
inline const QString AutoSave = QStringLiteral("AutoSave");
inline const QString AutosaveAsWritten = QStringLiteral("Autosave"); // the configuration dialog's spelling
inline const QString WinPos = QStringLiteral("WinPos");
inline const QString ColumnWidths = QStringLiteral("ColumnWidths"); // nine widths in twips, "|" between
inline QString mru(int n)
{
    return QStringLiteral("MRU") + QString::number(n);
}

inline const QString DefaultColumns = QStringLiteral("11111110");
inline const QString DefaultWidths = QStringLiteral("0|0|0|0|0|0|0|0");
inline const QString DefaultWinPos = QStringLiteral("2520|1770|6960|5460");
} // namespace Reg

QString GetRegString(RegRoot root, const QString &keyPath, const QString &name, const QString &defaultText);
void SaveRegString(RegRoot root, const QString &keyPath, const QString &name, const QString &text);
void DeleteRegValue(RegRoot root, const QString &keyPath, const QString &name);
void DeleteRegKey(RegRoot root, const QString &keyPath);
bool RegKeyExists(RegRoot root, const QString &keyPath);
void CreateRegKey(RegRoot root, const QString &keyPath);

class IniDocument;
// Reads, changes and writes the root's file as one step under its lock (see IniStore::change).
bool ChangeRegStore(RegRoot root, const std::function<bool(IniDocument &)> &change);

// Told, with a message for the user, when a change of the settings could not be written; once, until a
// change is written again. The program goes on with its values unsaved.
void setSettingsNotSavedHandler(std::function<void(const QString &message)> handler);

// Shorthands for the program key.
inline QString setting(const QString &name, const QString &def)
{
    return GetRegString(HKEY_LOCAL_MACHINE, ProgramKey, name, def);
}
inline void saveSetting(const QString &name, const QString &text)
{
    SaveRegString(HKEY_LOCAL_MACHINE, ProgramKey, name, text);
}

// "0" is false, any other finite number true; "True"/"False" as words. Anything else gives def.
bool regBool(const QString &text, bool def);

// The folder holding one INI file per root.
QString storeFolder();
QString storeFile(RegRoot root);

// Start-up: repairs BrowserColumns and BrowserColumnsFixedWidth, creates the program key,
// and carries an old installation's values over once.
void InitSettings();

// Program-wide flags, set at start-up and by the configuration dialog.
extern bool AutoSaveFlag;
extern bool ShowGetResWarningFlag;

} // namespace cinemork
