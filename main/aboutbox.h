#pragma once

#include <QDialog>

namespace cinemork {

// The about box: caption "Cinemork", the first line "powered", the version, the credit and the
// contact address, with the program's icon.
class AboutBox : public QDialog
{
    Q_OBJECT
public:
    AboutBox(const QIcon &icon, QWidget *parent = nullptr);
};

} // namespace cinemork
