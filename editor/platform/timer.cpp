#include "timer.h"

#include "app.h"

namespace fr {

Timer::Timer(QObject* owner) : timer_(owner)
{
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (onTimer)
            guarded(onTimer);
    });
}

void Timer::setEnabled(bool on)
{
    if (on && !timer_.isActive())
        timer_.start();
    else if (!on)
        timer_.stop();
}

} // namespace fr
