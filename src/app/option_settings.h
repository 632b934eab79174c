#pragma once

#include <QObject>

#include "settings/options.h"

namespace quorvel {

class MainWindow;
class SavedState;

// The eight options that survive a restart: each control's handler writes its key to
// config.ini the moment the user changes it, and restoreOptions sets every control from the
// file once, at creation. The search and the batch operations read the controls, never the
// file. Failed writes are silent, as the window never bothers the user about its settings.
class OptionSettings : public QObject
{
    Q_OBJECT

  public:
    OptionSettings(MainWindow &window, SavedState &savedState);

    // For each key in order: read it and set its controls; the saved keyword text and the
    // saved folder list are loaded at their keys' places.
    void restoreOptions();

    // The menu items of "定位" that disable and enable 按钮4 and 按钮5.
    void toggleDeleteButton();
    void toggleMoveButton();

  private:
    void write(OptionKey key, bool value);
    void applyDeleteButtonDisabled(bool disabled);
    void applyMoveButtonDisabled(bool disabled);

    MainWindow &m_window;
    SavedState &m_savedState;
};

} // namespace quorvel
