#include "events.h"

#include "app.h"

namespace fr {
namespace {

class Hook : public QObject {
public:
    Hook(QObject* target, QEvent::Type type, std::function<void(QEvent*)> handler)
        : QObject(target), type_(type), handler_(std::move(handler))
    {
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == parent() && event->type() == type_)
            guarded([&] { handler_(event); });
        return false;
    }

private:
    QEvent::Type type_;
    std::function<void(QEvent*)> handler_;
};

} // namespace

void onEvent(QObject* target, QEvent::Type type, std::function<void(QEvent*)> handler)
{
    new Hook(target, type, std::move(handler));
}

} // namespace fr
