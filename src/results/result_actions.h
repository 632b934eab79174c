#pragma once

#include <QObject>

namespace quorvel {

class MainWindow;

// The actions on result rows that touch no file: checking all, none or the selected rows,
// opening a hit with its program, showing it in its folder; and what users of a file list
// expect besides: Enter opens the current row, Space toggles the check marks of the
// selected rows, Ctrl+C copies their paths as text (dragging rows out is the model's).
class ResultActions : public QObject
{
    Q_OBJECT

  public:
    explicit ResultActions(MainWindow &window);

    void checkAllResults();
    void uncheckAllResults();
    // Checks every selected row; nothing is unchecked and the selection stays.
    void checkSelectedResults();
    // Opens the first selected row's path with its program; nothing without a selection.
    void openResult();
    // Shows the first selected row's entry in its folder; silent when nothing is selected
    // or the entry no longer exists.
    void openResultFolder();

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void toggleSelectedChecks();
    void copySelectedPaths();

    MainWindow &m_window;
};

} // namespace quorvel
