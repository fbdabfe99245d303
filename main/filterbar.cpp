#include "filterbar.h"

#include "find/duplicates.h"
#include "find/findtexts.h"
#include "movielistview.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

namespace cinemork {

FilterBar::FilterBar(MovieListView *list, QWidget *parent)
    : QWidget(parent)
    , m_list(list)
{
    setObjectName(QStringLiteral("filterBar"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    auto *label = new QLabel(FindTexts::FindLabel, this);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("txtFind"));
    m_text->setPlaceholderText(FindTexts::FindPlaceholder);
    label->setBuddy(m_text);
    m_clear = new QPushButton(FindTexts::ClearCaption, this);
    m_clear->setObjectName(QStringLiteral("cmdClearFind"));
    m_clear->setAutoDefault(false);
    m_seen = new QComboBox(this);
    m_seen->setObjectName(QStringLiteral("cboSeen"));
    for (const QString &choice : FindTexts::SeenChoices)
        m_seen->addItem(choice);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblFindStatus"));
    const QFontMetrics metrics = m_status->fontMetrics();
    m_status->setMinimumWidth(std::max(metrics.horizontalAdvance(FindTexts::shownOf(888888, 888888)),
                                       metrics.horizontalAdvance(FindTexts::duplicatesShown(888888, 88888))));
    layout->addWidget(label);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_clear);
    layout->addWidget(m_seen);
    layout->addWidget(m_status);

    // Esc in the text box ends the filter, as the clear button does.
    auto *escape = new QAction(m_text);
    escape->setShortcut(QKeySequence(Qt::Key_Escape));
    escape->setShortcutContext(Qt::WidgetShortcut);
    m_text->addAction(escape);
    connect(escape, &QAction::triggered, this, &FilterBar::clear);
    connect(m_clear, &QPushButton::clicked, this, &FilterBar::clear);
    connect(m_text, &QLineEdit::textChanged, this, &FilterBar::apply);
    m_text->installEventFilter(this);
    connect(m_seen, &QComboBox::currentIndexChanged, this, &FilterBar::apply);
    connect(m_list->filter(), &MovieFilterModel::shownChanged, this, &FilterBar::showStatus);
    connect(m_list->filter(), &MovieFilterModel::filterEnded, this, [this] {
        resetControls();
        showStatus();
    });
    showStatus();
}

bool FilterBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_text && event->type() == QEvent::FocusIn)
        m_list->filter()->ensureIndex();
    return QWidget::eventFilter(watched, event);
}

void FilterBar::resetControls()
{
    m_quiet = true;
    m_text->clear();
    m_seen->setCurrentIndex(0);
    m_quiet = false;
    m_groups = -1;
}

void FilterBar::apply()
{
    if (m_quiet)
        return;
    m_groups = -1;
    m_list->filter()->setFilter(m_text->text(), MovieFilterModel::Seen(m_seen->currentIndex()));
    showStatus();
}

void FilterBar::showStatus()
{
    m_status->setText(statusText());
    m_clear->setEnabled(m_list->filter()->filtered());
}

QString FilterBar::statusText() const
{
    const MovieFilterModel *filter = m_list->filter();
    if (!filter->filtered())
        return {};
    if (m_groups >= 0) { // the groups among the movies shown now: a delete may have ended one
        QList<Movie> shown;
        shown.reserve(filter->rowCount());
        for (int row = 0; row < filter->rowCount(); ++row)
            shown << m_list->model()->movie(filter->listRow(row));
        return FindTexts::duplicatesShown(filter->rowCount(), cinemork::findDuplicates(shown).groups);
    }
    return FindTexts::shownOf(filter->rowCount(), m_list->model()->rowCount());
}

void FilterBar::focusFind()
{
    m_text->setFocus(Qt::ShortcutFocusReason);
    m_text->selectAll();
}

void FilterBar::findNext()
{
    const int next = m_list->filter()->nextMatch(m_list->selectedShownRow());
    if (next < 0)
        return;
    m_list->select(next);
    m_list->ensureVisible(next);
}

void FilterBar::findDuplicates()
{
    const Duplicates found = cinemork::findDuplicates(m_list->model()->movies());
    resetControls();
    m_list->filter()->showRows(found.rows);
    m_groups = found.groups;
    showStatus();
    m_list->select(0);
    m_list->ensureVisible(0);
}

void FilterBar::clear()
{
    const int selected = m_list->selectedRow();
    resetControls();
    m_list->filter()->clearFilter();
    showStatus();
    m_list->view()->setFocus(Qt::ShortcutFocusReason);
    if (selected >= 0)
        m_list->showRow(selected); // the movie found stays in sight
}

} // namespace cinemork
