#include "aboutbox.h"

#include "listfile/pagetexts.h"
#include "document/documenttexts.h"
#include "windowtexts.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace cinemork {

AboutBox::AboutBox(const QIcon &icon, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(Texts::aboutCaption());
    setModal(true);
    setWindowIcon(icon);

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("aboutIcon"));
    picture->setPixmap(icon.pixmap(32, 32));
    picture->setAlignment(Qt::AlignTop);

    auto *text = new QVBoxLayout;
    auto addLine = [&](const QString &line, const char *name) {
        auto *l = new QLabel(line, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        text->addWidget(l);
        return l;
    };
    QLabel *first = addLine(Texts::AboutFirstLine, "aboutFirstLine");
    QFont bold = first->font();
    bold.setBold(true);
    first->setFont(bold);
    addLine(Texts::AboutCredit, "aboutCredit");
    // The address the build was given as the program's home; without one there is no contact line.
    const QString home = QString::fromUtf8(Page::HomeAddress);
    if (!home.isEmpty()) {
        QLabel *contact = addLine(QStringLiteral("<a href=\"%1\">%1</a>").arg(home.toHtmlEscaped()), "aboutContact");
        contact->setTextInteractionFlags(Qt::TextBrowserInteraction);
        contact->setOpenExternalLinks(true);
    }

    auto *row = new QHBoxLayout;
    row->addWidget(picture);
    row->addSpacing(12);
    row->addLayout(text, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace cinemork
