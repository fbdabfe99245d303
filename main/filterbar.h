#pragma once

#include <QWidget>

class QComboBox;
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
    QString statusText() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void apply();
    void showStatus();
    void resetControls();

    MovieListView *m_list;
    QLineEdit *m_text;
    QPushButton *m_clear;
    QComboBox *m_seen;
    QLabel *m_status;
    int m_groups = -1;    // the duplicates' groups while they are shown
    bool m_quiet = false; // while the controls are set from here, not by the user
};

} // namespace cinemork
