#include "filterbar.h"

#include "find/duplicates.h"
#include "find/findtexts.h"
#include "movielistview.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeView>

namespace cinemork {

namespace {

// The duplicates' groups apart: every other group's rows on a shade of their own.
class GroupShade : public QStyledItemDelegate
{
public:
    GroupShade(const FilterBar *bar, QObject *parent)
        : QStyledItemDelegate(parent)
        , m_bar(bar)
    {
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (m_bar->groupOf(index.row()) % 2 != 1)
            return;
        const QColor base = option->palette.color(QPalette::Base);
        QColor shade = option->palette.color(QPalette::AlternateBase);
        if (shade == base)
            shade = base.lightness() > 128 ? base.darker(112) : base.lighter(130);
        option->backgroundBrush = shade;
    }

private:
    const FilterBar *m_bar;
};

} // namespace

FilterBar::FilterBar(MovieListView *list, QWidget *parent)
    : QWidget(parent)
    , m_list(list)
{
    setObjectName(QStringLiteral("filterBar"));
    m_layout = new QGridLayout(this);
    m_layout->setContentsMargins(2, 2, 2, 2);
    m_label = new QLabel(FindTexts::FindLabel, this);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("txtFind"));
    m_text->setPlaceholderText(FindTexts::FindPlaceholder);
    m_text->setMinimumWidth(m_text->fontMetrics().averageCharWidth() * 12);
    m_label->setBuddy(m_text);
    m_clear = new QPushButton(FindTexts::ClearCaption, this);
    m_clear->setObjectName(QStringLiteral("cmdClearFind"));
    m_clear->setAutoDefault(false);
    m_seen = new QComboBox(this);
    m_seen->setObjectName(QStringLiteral("cboSeen"));
    m_seen->setAccessibleName(FindTexts::SeenName);
    for (const QString &choice : FindTexts::SeenChoices)
        m_seen->addItem(choice);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblFindStatus"));
    const QFontMetrics metrics = m_status->fontMetrics();
    m_status->setMinimumWidth(std::max(metrics.horizontalAdvance(FindTexts::shownOf(888888, 888888)),
                                       metrics.horizontalAdvance(FindTexts::duplicatesShown(888888, 88888))));
    arrange(false);
    m_list->view()->setItemDelegate(new GroupShade(this, m_list->view()));

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
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                findNext();
                return true;
            }
            if (key->key() == Qt::Key_Down) { // into the list, on the movie selected or else the first match
                if (m_list->selectedShownRow() < 0)
                    findNext();
                focusListOnMatch();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

int FilterBar::oneLineWidth() const
{
    const int spacing = std::max(m_layout->horizontalSpacing(), 0);
    return 4 + 4 * spacing + m_label->sizeHint().width() + m_text->minimumWidth() + m_clear->sizeHint().width()
        + m_seen->sizeHint().width() + m_status->minimumWidth();
}

int FilterBar::heightForWidth(int width) const
{
    const int line = std::max({m_text->sizeHint().height(), m_seen->sizeHint().height(), m_clear->sizeHint().height()});
    return width < oneLineWidth() ? 4 + 2 * line + std::max(m_layout->verticalSpacing(), 0) : 4 + line;
}

void FilterBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    arrange(width() < oneLineWidth());
}

void FilterBar::arrange(bool twoLines)
{
    if (twoLines == m_twoLines && m_layout->count() > 0)
        return;
    m_twoLines = twoLines;
    for (QWidget *w : {static_cast<QWidget *>(m_label), static_cast<QWidget *>(m_text), static_cast<QWidget *>(m_clear),
                       static_cast<QWidget *>(m_seen), static_cast<QWidget *>(m_status)})
        m_layout->removeWidget(w);
    m_layout->setColumnStretch(1, 0);
    m_layout->setColumnStretch(3, 0);
    m_layout->addWidget(m_label, 0, 0);
    m_layout->addWidget(m_text, 0, 1);
    m_layout->addWidget(m_clear, 0, 2);
    if (twoLines) { // the choice under the text box, the count beside it
        m_layout->addWidget(m_seen, 1, 1, Qt::AlignLeft);
        m_layout->addWidget(m_status, 1, 2, 1, 2);
        m_layout->setColumnStretch(1, 1);
    } else {
        m_layout->addWidget(m_seen, 0, 3);
        m_layout->addWidget(m_status, 0, 4);
        m_layout->setColumnStretch(1, 1);
    }
    setTabOrder(m_text, m_clear);
    setTabOrder(m_clear, m_seen);
}

void FilterBar::resetControls()
{
    m_quiet = true;
    m_text->clear();
    m_seen->setCurrentIndex(0);
    m_quiet = false;
    m_groups = -1;
    m_groupOfListRow.clear();
}

void FilterBar::apply()
{
    if (m_quiet)
        return;
    m_groups = -1;
    m_groupOfListRow.clear();
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
    if (m_groups >= 0)
        return FindTexts::duplicatesShown(m_duplicates, m_groups);
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
    focusListOnMatch();
}

void FilterBar::focusListOnMatch()
{
    // The list's commands (Edit, Delete) act on the match only while the list has the focus.
    if (m_list->selectedShownRow() >= 0)
        m_list->view()->setFocus(Qt::ShortcutFocusReason);
}

void FilterBar::findDuplicates()
{
    resetControls();
    showDuplicates();
    m_list->select(0);
    m_list->ensureVisible(0);
}

void FilterBar::showDuplicates()
{
    const Duplicates found = cinemork::findDuplicates(m_list->model()->movies());
    m_list->filter()->showRows(found.rows);
    m_groups = found.groups;
    m_duplicates = int(found.rows.size());
    m_groupOfListRow.assign(size_t(m_list->model()->rowCount()), -1);
    for (size_t k = 0; k < found.rows.size(); ++k)
        m_groupOfListRow[size_t(found.rows[k])] = found.group[k];
    showStatus();
}

void FilterBar::listChanged()
{
    if (m_groups < 0)
        return;
    const int selected = m_list->selectedRow();
    showDuplicates();
    if (const int shown = m_list->filter()->rowOf(selected); shown >= 0)
        m_list->select(shown);
}

int FilterBar::groupOf(int shownRow) const
{
    const int row = m_list->filter()->listRow(shownRow);
    return row >= 0 && size_t(row) < m_groupOfListRow.size() ? m_groupOfListRow[size_t(row)] : -1;
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
