#pragma once
// A repeating timer whose handler runs inside the error boundary. Enabling a
// timer that is already running does not restart its interval.
#include <QObject>
#include <QTimer>

#include <functional>

namespace fr {

class Timer {
public:
    explicit Timer(QObject* owner = nullptr);

    void setInterval(int ms) { timer_.setInterval(ms); }
    int interval() const { return timer_.interval(); }
    void setEnabled(bool on);
    bool enabled() const { return timer_.isActive(); }

    std::function<void()> onTimer;

private:
    QTimer timer_;
};

} // namespace fr
