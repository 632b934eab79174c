#pragma once

#include <QObject>

namespace quorvel {

// What long work is under way in the window, so that actions which would change the result
// rows under it (a new search, a sort, a second batch) can be held off.
class Activity : public QObject
{
    Q_OBJECT

  public:
    using QObject::QObject;

    bool searchRunning() const { return m_search; }
    bool batchRunning() const { return m_batch; }
    void setSearchRunning(bool running)
    {
        if (m_search != running) {
            m_search = running;
            emit changed();
        }
    }
    void setBatchRunning(bool running)
    {
        if (m_batch != running) {
            m_batch = running;
            emit changed();
        }
    }

  signals:
    void changed();

  private:
    bool m_search = false;
    bool m_batch = false;
};

} // namespace quorvel
