#pragma once

#include <QString>

namespace cinemork {

// What the movie editor uses of the main window: the edit-mode marker, the list view's rows by
// position (1 = top), sorting, selection, and the rule that records a modification.
class EditorHost
{
public:
    virtual ~EditorHost() = default;
    virtual bool editMode() const = 0;
    virtual int selectedIndex() const = 0; // 0: none
    virtual void setSorted(bool on) = 0;
    virtual void setSortKey(int column) = 0;
    virtual void addRow(int position, const QString &text, int icon) = 0;
    virtual void setRow(int position, const QString &text, int icon) = 0;
    virtual void setSubItem(int position, int sub, const QString &text) = 0;
    virtual void selectRow(int position) = 0;
    virtual void ensureSelectedVisible() = 0;
    virtual void recordModification() = 0;
};

} // namespace cinemork
