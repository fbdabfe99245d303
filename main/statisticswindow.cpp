#include "statisticswindow.h"

#include "find/findtexts.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace cinemork {

namespace {

constexpr int SortRole = Qt::UserRole;

QTableView *statisticsTable(const std::vector<StatisticsRow> &rows, const QString &keyHeader, QWidget *parent)
{
    auto *model = new QStandardItemModel(int(rows.size()), 3, parent);
    model->setHorizontalHeaderLabels({keyHeader, FindTexts::CountHeader, FindTexts::GigabytesHeader});
    model->setSortRole(SortRole);
    for (int r = 0; r < int(rows.size()); ++r) {
        const StatisticsRow &row = rows[size_t(r)];
        auto *key = new QStandardItem(row.key.isEmpty() ? FindTexts::NoKey : row.key);
        key->setData(r, SortRole); // the order counted in: by name, the resolutions by size
        auto *count = new QStandardItem(QString::number(row.totals.movies));
        count->setData(qlonglong(row.totals.movies), SortRole);
        auto *gigabytes = new QStandardItem(gigabytesText(row.totals.megabytes));
        gigabytes->setData(double(row.totals.megabytes), SortRole);
        for (QStandardItem *item : {key, count, gigabytes})
            item->setEditable(false);
        count->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        gigabytes->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        model->setItem(r, 0, key);
        model->setItem(r, 1, count);
        model->setItem(r, 2, gigabytes);
    }
    auto *view = new QTableView(parent);
    view->setModel(model);
    view->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    view->setSortingEnabled(true);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6); // a line a row
    view->setWordWrap(false);
    view->setTabKeyNavigation(false); // Tab goes on to the next control, as in every other box
    view->setAccessibleName(keyHeader);
    view->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    view->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    view->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    return view;
}

} // namespace

BarChart::BarChart(std::vector<Bar> bars, QWidget *parent)
    : QWidget(parent)
    , m_bars(std::move(bars))
{
    setObjectName(QStringLiteral("chartByType"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

int BarChart::rowHeight() const
{
    return fontMetrics().height() + 6;
}

int BarChart::nameWidth() const
{
    // A long name is cut short rather than leave its bar no room.
    int width = 0;
    for (const Bar &bar : m_bars)
        width = std::max(width, fontMetrics().horizontalAdvance(bar.name));
    return std::min(width, fontMetrics().averageCharWidth() * 18);
}

QString BarChart::shownName(size_t bar) const
{
    return fontMetrics().elidedText(m_bars[bar].name, Qt::ElideRight, nameWidth());
}

int BarChart::valueWidth() const
{
    int width = 0;
    for (const Bar &bar : m_bars)
        width = std::max(width, fontMetrics().horizontalAdvance(gigabytesText(bar.megabytes)));
    return width;
}

QSize BarChart::minimumSizeHint() const
{
    return {nameWidth() + valueWidth() + 60, rowHeight() * int(m_bars.size()) + 8};
}

QSize BarChart::sizeHint() const
{
    return {nameWidth() + valueWidth() + 300, rowHeight() * int(m_bars.size()) + 8};
}

void BarChart::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int names = nameWidth() + 8, values = valueWidth() + 8, row = rowHeight();
    const int room = std::max(1, width() - names - values - 4);
    MegabyteTotal most = 1;
    for (const Bar &bar : m_bars)
        most = std::max(most, bar.megabytes);
    int y = 4;
    for (size_t b = 0; b < m_bars.size(); ++b) {
        const Bar &bar = m_bars[b];
        const QRect line(4, y, names - 8, row);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, shownName(b));
        const int length = int(double(bar.megabytes) / double(most) * room);
        const QRect barRect(names, y + 3, length, row - 6);
        p.fillRect(barRect, palette().color(QPalette::Highlight));
        p.drawText(QRect(names + length + 4, y, values, row), Qt::AlignLeft | Qt::AlignVCenter,
                   gigabytesText(bar.megabytes));
        y += row;
    }
}

StatisticsWindow::StatisticsWindow(const QList<Movie> &movies, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmStatistics"));
    setWindowTitle(FindTexts::StatisticsTitle);
    const ListStatistics s = statisticsOf(movies);
    auto *layout = new QVBoxLayout(this);
    auto *totals = new QLabel(
        FindTexts::statisticsTotals(s.totals.movies, s.totals.watched, gigabytesText(s.totals.megabytes), s.totals.cds),
        this);
    totals->setObjectName(QStringLiteral("lblTotals"));
    layout->addWidget(totals);

    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabsStatistics"));
    const std::vector<StatisticsRow> *tables[] = {&s.byType, &s.byCodec, &s.byLocation, &s.byResolution};
    for (size_t t = 0; t < 4; ++t) {
        QTableView *view = statisticsTable(*tables[t], FindTexts::StatisticsKeyHeaders[t], tabs);
        view->setObjectName(QStringLiteral("tblStatistics%1").arg(t));
        tabs->addTab(view, FindTexts::StatisticsTables[t]);
    }
    layout->addWidget(tabs, 1);

    auto *chartTitle = new QLabel(FindTexts::ChartTitle, this);
    layout->addWidget(chartTitle);
    std::vector<BarChart::Bar> bars;
    for (const StatisticsRow &row : s.byType)
        bars.push_back({row.key.isEmpty() ? FindTexts::NoKey : row.key, row.totals.megabytes});
    auto *chart = new QScrollArea(this); // many types of one's own scroll rather than make the window tall
    chart->setObjectName(QStringLiteral("chartArea"));
    chart->setWidgetResizable(true);
    chart->setFrameShape(QFrame::NoFrame);
    chart->setWidget(new BarChart(std::move(bars), chart));
    chart->setAccessibleName(FindTexts::ChartTitle);
    chartTitle->setBuddy(chart);
    chart->setMaximumHeight(chart->widget()->sizeHint().height() > 300 ? 300 : chart->widget()->sizeHint().height());
    chart->setMinimumHeight(std::min(chart->maximumHeight(), 120));
    layout->addWidget(chart);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(FindTexts::CloseCaption);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Tab switching from anywhere in the window, a table's own keys notwithstanding.
    const auto switchTabs = [this, tabs](std::initializer_list<QKeySequence> keys, int step) {
        for (const QKeySequence &key : keys) {
            auto *shortcut = new QShortcut(key, this);
            connect(shortcut, &QShortcut::activated, tabs,
                    [tabs, step] { tabs->setCurrentIndex((tabs->currentIndex() + step + tabs->count()) % tabs->count()); });
        }
    };
    switchTabs({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}, 1);
    switchTabs({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageUp),
                QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab)},
               -1);
    layout->addWidget(buttons);
    resize(std::max(sizeHint().width(), 520), std::max(sizeHint().height(), 480));
}

} // namespace cinemork
