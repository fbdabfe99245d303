#pragma once

#include "find/statistics.h"

#include <QDialog>
#include <QWidget>

namespace cinemork {

// Bars of gigabytes, one a row, each named on its left and with its figure on its right.
class BarChart : public QWidget
{
    Q_OBJECT
public:
    struct Bar
    {
        QString name;
        MegabyteTotal megabytes;
    };
    explicit BarChart(std::vector<Bar> bars, QWidget *parent = nullptr);
    const std::vector<Bar> &bars() const { return m_bars; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    int nameWidth() const;             // the names' column: the longest name, up to a limit
    QString shownName(size_t bar) const; // cut short to the column

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int rowHeight() const;
    int valueWidth() const;
    std::vector<Bar> m_bars;
};

// The list's totals, its movies counted by type, codec, location and resolution, and the gigabytes by
// type as a bar chart. The figures are those of the page's summary line.
class StatisticsWindow : public QDialog
{
    Q_OBJECT
public:
    explicit StatisticsWindow(const QList<Movie> &movies, QWidget *parent = nullptr);
};

} // namespace cinemork
