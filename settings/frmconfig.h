#pragma once

#include <QDialog>
#include <array>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace cinemork {

// The configuration dialog: browser columns and their fixed widths, the style sheet, the index links,
// the resolution warning and auto-save. OK stores everything and records a modification of the list.
class frmConfig : public QDialog
{
    Q_OBJECT
public:
    explicit frmConfig(std::function<void()> recordModification, QWidget *parent = nullptr);

    void chkColumn_Click(int index);
    void chkColWidth_Click(int index);
    void chkUserCSS_Click();
    void cmdGetCSS_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

private:
    void Form_Load();
    static void switchBox(QLineEdit *box, bool on);

    std::function<void()> m_recordModification;
    std::array<QCheckBox *, 8> chkColumn{};
    std::array<QCheckBox *, 8> chkColWidth{};
    std::array<QLineEdit *, 8> txtColWidth{};
    QCheckBox *chkAutoSave = nullptr, *chkShowResWarning = nullptr, *chkUserCSS = nullptr, *chkCreateIndex = nullptr;
    QLineEdit *txtUserCSS = nullptr;
    QPushButton *cmdGetCSS = nullptr, *cmdOK = nullptr, *cmdCancel = nullptr;
};

} // namespace cinemork
