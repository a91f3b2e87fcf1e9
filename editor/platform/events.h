#pragma once
// Runs a handler (inside the error boundary) when an object receives an
// event of one type; the event still goes on to the object.
#include <QEvent>
#include <QObject>

#include <functional>

namespace fr {

void onEvent(QObject* target, QEvent::Type type, std::function<void(QEvent*)> handler);

} // namespace fr
