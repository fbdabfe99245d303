#pragma once

#include <QWidget>
#include <vector>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace cinemork {

class MovieListView;

// The filter line above the list: "Find:" with its text and a clear button, the watched choice and how
// many movies are shown. It only chooses what the list view shows; nothing of it is ever stored.
class FilterBar : public QWidget
{
    Q_OBJECT
public:
    FilterBar(MovieListView *list, QWidget *parent);

    void focusFind();      // the text box takes the focus, its text selected
    void findNext();       // the next shown movie that matches the filter's text
    void findDuplicates(); // the movies that seem to be in the list twice, group by group
    void clear();          // the filter off and the focus back on the list
    // After any change of the list: the duplicates shown are found again.
    void listChanged();
    QString statusText() const;
    // The duplicates' group of a shown row (0, 1, 2... in the order shown); -1 while none are shown.
    int groupOf(int shownRow) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void apply();
    void showStatus();
    void resetControls();
    void showDuplicates();
    void focusListOnMatch();
    int oneLineWidth() const; // narrower, the watched choice and the count go to a second line
    void arrange(bool twoLines);

    MovieListView *m_list;
    QLineEdit *m_text;
    QPushButton *m_clear;
    QComboBox *m_seen;
    QLabel *m_label;
    QLabel *m_status;
    QGridLayout *m_layout;
    bool m_twoLines = false;
    int m_groups = -1;                   // the duplicates' groups while they are shown
    int m_duplicates = 0;                // and the movies in them
    std::vector<int> m_groupOfListRow;   // by list row: the group, or -1
    bool m_quiet = false; // while the controls are set from here, not by the user
};

} // namespace cinemork
