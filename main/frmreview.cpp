#include "frmreview.h"

#include "windowtexts.h"

#include <QBoxLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>

namespace cinemork {

namespace {

enum Column { CTitle, CParts, CMb, CRes, CLocation, CFiles, CListed, ColumnCount };

QList<int> selectedRows(const QTableWidget *table)
{
    QList<int> rows;
    for (const QModelIndex &index : table->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

} // namespace

frmReview::frmReview(ScanReview &review, const QString &summary, const QStringList &notes, QWidget *parent)
    : QDialog(parent)
    , m_review(review)
{
    setObjectName(QStringLiteral("frmReview"));
    setWindowTitle(Texts::AddFromDiscCaption);
    auto *layout = new QVBoxLayout(this);
    auto *lblSummary = new QLabel(summary, this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);
    layout->addWidget(lblSummary);
    if (!notes.isEmpty()) {
        auto *lblNotes = new QLabel(notes.join(u'\n'), this);
        lblNotes->setObjectName(QStringLiteral("lblNotes"));
        lblNotes->setWordWrap(true);
        layout->addWidget(lblNotes);
    }

    tblFound = new QTableWidget(0, ColumnCount, this);
    tblFound->setObjectName(QStringLiteral("tblFound"));
    tblFound->setAccessibleName(Texts::FoundTableName);
    tblFound->setHorizontalHeaderLabels(Texts::ReviewHeaders);
    tblFound->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblFound->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tblFound->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                              | QAbstractItemView::AnyKeyPressed);
    tblFound->verticalHeader()->hide();
    tblFound->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8); // a line a row
    tblFound->horizontalHeader()->setStretchLastSection(true);
    tblFound->setWordWrap(false);
    tblFound->setTabKeyNavigation(false); // Tab goes on to the buttons; the arrows move in the table
    layout->addWidget(tblFound, 1);

    auto *buttons = new QHBoxLayout;
    auto button = [this, buttons](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        buttons->addWidget(b);
        return b;
    };
    cmdMerge = button("cmdMerge", Texts::MergeButton);
    cmdSplit = button("cmdSplit", Texts::SplitButton);
    buttons->addStretch(1);
    cmdAdd = button("cmdAdd", Texts::addMoviesButton(0));
    QPushButton *cmdCancel = button("cmdCancel", Texts::CancelButton);
    cmdAdd->setDefault(true);
    layout->addLayout(buttons);

    connect(cmdMerge, &QPushButton::clicked, this, &frmReview::cmdMerge_Click);
    connect(cmdSplit, &QPushButton::clicked, this, &frmReview::cmdSplit_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(tblFound, &QTableWidget::itemChanged, this, &frmReview::itemChanged);
    connect(tblFound, &QTableWidget::itemSelectionChanged, this, &frmReview::selectionChanged);

    showRows();
    fitColumns();
    const QRect screen =
        (parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen())->availableGeometry();
    resize(std::min(screen.width() * 9 / 10, fontMetrics().averageCharWidth() * 150),
           std::min(screen.height() * 3 / 4, fontMetrics().height() * 30));
}

void frmReview::fitColumns()
{
    tblFound->resizeColumnsToContents();
    const int room = fontMetrics().averageCharWidth(); // beside the text, for the current cell's frame
    for (int c : {CTitle, CLocation, CFiles})
        tblFound->setColumnWidth(c, std::min(tblFound->columnWidth(c) + room, room * 40));
}

void frmReview::showRows()
{
    const QSignalBlocker quiet(tblFound);
    tblFound->setRowCount(int(m_review.rows().size()));
    for (int r = 0; r < tblFound->rowCount(); ++r)
        showRow(r);
    showCount();
}

void frmReview::showCount()
{
    const int parts = m_review.tickedParts();
    cmdAdd->setText(Texts::addMoviesButton(m_review.tickedCount() - parts, parts));
    cmdAdd->setEnabled(m_review.tickedCount() > 0);
    selectionChanged();
}

void frmReview::showRow(int r)
{
    const QSignalBlocker quiet(tblFound);
    const ScanReview::Row &row = m_review.rows()[r];
    const QString size = row.movie[FSize];
    const QString texts[ColumnCount] = {row.movie[FTitle],
                                        QString::number(row.found.parts),
                                        size.section(u'\\', 0, 0),
                                        row.movie[FRes],
                                        row.movie[FLocation],
                                        row.movie[FFiles],
                                        row.catalogued ? Texts::alreadyCatalogued(m_review.listedTitle(row.cataloguedAs))
                                                       : QString()};
    for (int c = 0; c < ColumnCount; ++c) {
        auto *item = new QTableWidgetItem(texts[c]);
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (c == CTitle || c == CLocation)
            flags |= Qt::ItemIsEditable;
        if (c == CTitle) {
            flags |= Qt::ItemIsUserCheckable;
            item->setCheckState(row.ticked ? Qt::Checked : Qt::Unchecked);
        }
        if (c == CFiles)
            item->setToolTip(row.movie[FFiles]);
        if (c == CListed && row.partOf >= 0 && !row.catalogued) {
            const QString listed = m_review.listedTitle(row.partOf);
            item->setText(row.earlier ? Texts::addAsPart(row.found.firstPart, listed) : Texts::addToListed(listed));
            flags |= Qt::ItemIsUserCheckable;
            item->setCheckState(row.addToListed ? Qt::Checked : Qt::Unchecked);
        }
        item->setFlags(flags);
        tblFound->setItem(r, c, item);
    }
}

void frmReview::itemChanged(QTableWidgetItem *item)
{
    const int row = item->row();
    switch (item->column()) {
    case CTitle:
        m_review.setTicked(row, item->checkState() == Qt::Checked);
        if (item->text() != m_review.rows()[row].movie[FTitle])
            m_review.setTitle(row, item->text());
        break;
    case CLocation: m_review.setLocation(row, item->text()); break;
    case CListed: m_review.setAddToListed(row, item->checkState() == Qt::Checked); break;
    default: return;
    }
    // A new title may make the row a later part of a listed movie, or no longer; the row is filled
    // anew once the item that changed is done with.
    QMetaObject::invokeMethod(
        this,
        [this, row] {
            if (row < tblFound->rowCount())
                showRow(row);
            showCount();
        },
        Qt::QueuedConnection);
}

void frmReview::selectionChanged()
{
    const QList<int> rows = selectedRows(tblFound);
    cmdMerge->setEnabled(rows.size() > 1);
    cmdSplit->setEnabled(rows.size() == 1 && m_review.rows()[rows.first()].found.files.size() > 1);
}

void frmReview::cmdMerge_Click()
{
    const QList<int> rows = selectedRows(tblFound);
    if (!m_review.merge(rows))
        return;
    showRows();
    fitColumns();
    tblFound->selectRow(rows.first());
}

void frmReview::cmdSplit_Click()
{
    const QList<int> rows = selectedRows(tblFound);
    if (rows.size() != 1 || !m_review.split(rows.first()))
        return;
    showRows();
    fitColumns();
    tblFound->selectRow(rows.first());
}

} // namespace cinemork
