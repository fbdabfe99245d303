#pragma once

#include "listfile/movie.h"
#include "proberunner.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace cinemork {

class EditorHost;

// The movie editor: adds a movie at the top of the list or rewrites the selected one.
class frmAddCD : public QDialog
{
    Q_OBJECT
public:
    frmAddCD(EditorHost *host, QWidget *parent = nullptr);

    // Edit mode: the fields from the selected row.
    void fillFrom(const Movie &m);

    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdGetFiles_Click();
    // What choosing these files with ".." does: names, size, and a title, codec and type guessed.
    void chooseFiles(const QStringList &files);
    // What a scan says of dropped files beyond "..": the title and the CDs they make.
    void presetFound(const QString &title, int cds);
    void cmdGetDims_Click();
    void cmdGetImdb_Click();
    void cmdAddCodec_Click();
    void cmdAddType_Click();
    void GetSize(const QStringList &files);
    QString GetMovieDimensions(const QString &file);

    QString probePath() const; // cmdGetFiles' Tag
    ProbeRunner &probeRunner() { return m_probe; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    static void selectOrAppend(QComboBox *box, const QString &text);
    void addChoice(QComboBox *box, const QString &caption, const QString &prompt);

    EditorHost *m_host;
    ProbeRunner m_probe;
    QGroupBox *fraMain = nullptr;
    QLineEdit *txtTitle = nullptr, *txtFiles = nullptr, *txtSize2 = nullptr, *txtSize1 = nullptr;
    QLineEdit *txtResHor = nullptr, *txtResVer = nullptr, *txtLocation = nullptr, *txtImdbLink = nullptr;
    QComboBox *cboCodec = nullptr, *cboType = nullptr;
    QPushButton *cmdGetFiles = nullptr, *cmdGetDims = nullptr, *cmdAddCodec = nullptr, *cmdAddType = nullptr;
    QPushButton *cmdGetImdb = nullptr, *cmdOK = nullptr, *cmdCancel = nullptr;
    QCheckBox *chkSeenIt = nullptr;
};

} // namespace cinemork
