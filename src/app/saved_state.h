#pragma once

#include <QObject>

namespace quorvel {

class MainWindow;

// The keyword text and the search folder list, kept between runs when the user asks for
// it: read once while the window is created, written once when it closes, each only when
// its option is checked. An unchecked option leaves its file exactly as it was.
class SavedState : public QObject
{
    Q_OBJECT

  public:
    explicit SavedState(MainWindow &window);

    // Sets the keyword box to the saved text (up to its first zero byte) and hides the
    // hint, whatever the text.
    void loadSavedKeywords();
    // Appends the saved rows, in order, with their check marks.
    void loadSavedPaths();
    // The closing handler: writes what the checked save options ask for.
    void saveKeywordsAndPaths();

  private:
    MainWindow &m_window;
};

} // namespace quorvel
