#pragma once
// Driving windows as a user does: keys go where the keyboard would send them,
// list rows and buttons are clicked with the mouse, menu items are chosen.
#include "platform/launcher.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

namespace tstest {

// A key pressed while `window` is in front: it goes to the window's focus
// widget (or the window itself), as the keyboard delivers it.
inline void KeyTo(QWidget* window, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != window)
        target = window;
    QTest::keyClick(target, Qt::Key(key), mods);
}

// A mouse event sent straight to `w` (coordinates in `w`): what the widget
// that holds the mouse after a press receives, with the buttons held.
inline void SendMouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent e(type, QPointF(p), w->mapToGlobal(QPointF(p)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A press, one move with the button held and the release.
inline void Drag(QWidget* w, QPoint from, QPoint to, Qt::MouseButton b = Qt::LeftButton)
{
    SendMouse(w, QEvent::MouseButtonPress, from, b, b);
    SendMouse(w, QEvent::MouseMove, to, Qt::NoButton, b);
    SendMouse(w, QEvent::MouseButtonRelease, to, b, Qt::NoButton);
}

// Part of the screen as it shows: `r` in `w`'s coordinates, or the whole
// window with its frame when `r` is empty.
inline QImage GrabScreen(QWidget* w, QRect r = {})
{
    if (r.isNull())
        r = w->frameGeometry();
    else
        r.moveTopLeft(w->mapToGlobal(r.topLeft()));
    return w->screen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage();
}

// The window as the screen shows it, brought to the front and settled.
inline QImage ShootWindow(QWidget* w)
{
    w->raise();
    w->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(w));
    QTest::qWait(300);
    return GrabScreen(w);
}

// Types text into a widget key by key; '\n' is the Enter key, and
// characters without a key of their own come as text-only key events, as an
// input method delivers them.
inline void TypeText(QWidget* w, const QString& text)
{
    for (const QChar ch : text) {
        if (ch == QLatin1Char('\n')) {
            QTest::keyClick(w, Qt::Key_Return);
        } else if (ch.unicode() >= 0x20 && ch.unicode() < 0x7F) {
            QTest::keyClick(w, ch.toLatin1());
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(w, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(w, &release);
        }
    }
}

// The widget that the window's own hit testing finds at `p` of `w` (in w's
// coordinates): the one a mouse there reaches.
inline QWidget* HitAt(QWidget* w, QPoint p)
{
    QWidget* window = w->window();
    QWidget* hit = window->childAt(w->mapTo(window, p));
    return hit ? hit : window;
}

// Whether a mouse at `p` of `w` reaches `w` or one of its children.
inline bool Reaches(QWidget* w, QPoint p)
{
    QWidget* hit = HitAt(w, p);
    return hit == w || w->isAncestorOf(hit);
}

// A point of `w` in the coordinates of the widget hit there.
inline QPoint InHit(QWidget* w, QPoint p, QWidget* hit) { return hit->mapFrom(w->window(), w->mapTo(w->window(), p)); }

// Mouse actions at a point of `w`, delivered where a mouse at that point of
// the window goes: to the widget the window's hit testing finds there.
inline void ClickAt(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton)
{
    QWidget* hit = HitAt(w, p);
    QTest::mouseClick(hit, b, {}, InHit(w, p, hit));
}

inline void PressAt(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton)
{
    QWidget* hit = HitAt(w, p);
    QTest::mousePress(hit, b, {}, InHit(w, p, hit));
}

// A double click as the mouse makes it: press, release, double-click press,
// release.
inline void DoubleClickAt(QWidget* w, QPoint p)
{
    QWidget* hit = HitAt(w, p);
    const QPoint at = InHit(w, p, hit);
    QTest::mouseClick(hit, Qt::LeftButton, {}, at);
    QTest::mouseDClick(hit, Qt::LeftButton, {}, at);
    QTest::mouseRelease(hit, Qt::LeftButton, {}, at);
}

inline QListWidgetItem* Row(QListWidget* list, const QString& text)
{
    const auto found = list->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

inline QPoint RowPoint(QListWidget* list, const QString& text)
{
    QListWidgetItem* it = Row(list, text);
    EXPECT_TRUE(it) << "no row " << text.toStdString();
    if (!it)
        return QPoint(-100, -100); // hits nothing
    list->scrollToItem(it); // as a hand scrolls to a row out of sight
    return list->visualItemRect(it).center();
}

// A left click on a row (press and release), where the window's hit testing
// sends it.
inline void ClickRow(QListWidget* list, const QString& text)
{
    ClickAt(list->viewport(), RowPoint(list, text));
}

inline void DoubleClickRow(QListWidget* list, const QString& text)
{
    DoubleClickAt(list->viewport(), RowPoint(list, text));
}

// Runs `act` on the next modal window of type T as soon as it shows (one
// that the code under test opens with exec()), as a hand meets it; gives up
// after about 5 s.
template <class T>
void WhenShown(std::function<void(T*)> act)
{
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act, tries] {
        T* w = qobject_cast<T*>(QApplication::activeModalWidget());
        const bool shown = w && w->isVisible();
        if (!shown && ++*tries < 500)
            return;
        timer->stop();
        timer->deleteLater();
        if (!shown) {
            ADD_FAILURE() << "no such window showed";
            return;
        }
        // A modal window is the active one, as the window system makes it.
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w));
        act(w);
        // One left open by a failed step would hold the test for ever.
        if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible()) {
            ADD_FAILURE() << "the window is still open";
            dialog->reject();
        }
    });
    timer->start();
}

// Lets windows closed with "unload on close" go.
inline void ProcessDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Records the programs the editor starts instead of starting them.
struct LaunchRecorder {
    LaunchRecorder()
    {
        fr::setLauncherForTest([this](const QString& program, const QStringList& args) {
            started.push_back({program, args});
            return true;
        });
    }
    ~LaunchRecorder() { fr::setLauncherForTest({}); }
    std::vector<std::pair<QString, QStringList>> started;
};

// Copies a folder tree (links are left out).
inline void CopyTree(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isSymLink())
            continue;
        const QString dst = to + "/" + QDir(from).relativeFilePath(src);
        if (info.isDir())
            QDir().mkpath(dst);
        else
            QFile::copy(src, dst);
    }
}

} // namespace tstest
