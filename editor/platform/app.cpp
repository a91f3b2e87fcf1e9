#include "app.h"

#include "convert.h"
#include "dialogs.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QSet>
#include <QTextEdit>

#include <new>

namespace fr {
namespace {

int g_depth = 0;
QSet<QString> g_shown;
bool g_endRequested = false;
std::function<void(int)> g_endHook;
QSize g_screenOverride;

// Stops the pastes that would take nothing from the clipboard: the paste
// keys in a text box, and the middle button (which pastes the X selection)
// in a multi-line one. Everything else passes on unchanged.
class PasteGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::KeyPress) {
            if (!static_cast<QKeyEvent*>(e)->matches(QKeySequence::Paste) || !isTextBox(o))
                return false;
            return !holdsText(QClipboard::Clipboard);
        }
        // A multi-line box takes the middle button on its viewport.
        if (e->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(e)->button() == Qt::MiddleButton &&
            o->isWidgetType() && isTextBox(static_cast<QWidget*>(o)->parentWidget()))
            return QGuiApplication::clipboard()->supportsSelection() && !holdsText(QClipboard::Selection);
        return false;
    }

private:
    static bool isTextBox(QObject* o)
    {
        return qobject_cast<QLineEdit*>(o) || qobject_cast<QPlainTextEdit*>(o) || qobject_cast<QTextEdit*>(o);
    }
    static bool holdsText(QClipboard::Mode mode) { return !QGuiApplication::clipboard()->text(mode).isEmpty(); }
};

} // namespace

void guardPastes()
{
    static QPointer<QObject> installed;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || installed)
        return;
    installed = new PasteGuard(app);
    app->installEventFilter(installed);
}

void guarded(const std::function<void()>& fn)
{
    if (g_depth == 0)
        g_shown.clear();
    ++g_depth;
    struct Leave {
        ~Leave()
        {
            if (--g_depth == 0)
                g_shown.clear();
        }
    } leave;
    try {
        fn();
    } catch (const RuntimeError& e) {
        msgBox(QStringLiteral("运行时错误：%1").arg(e.text()), vbCritical);
    } catch (const std::bad_alloc&) {
        msgBox(QStringLiteral("内存不足，操作未能完成。"), vbCritical);
    } catch (const std::exception& e) {
        msgBox(QStringLiteral("运行时错误：%1").arg(QString::fromUtf8(e.what())), vbCritical);
    } catch (...) {
        msgBox(QStringLiteral("运行时错误：未知错误。"), vbCritical);
    }
}

bool inCommand()
{
    return g_depth > 0;
}

bool firstInCommand(const QString& text)
{
    if (g_depth == 0)
        return true;
    if (g_shown.contains(text))
        return false;
    g_shown.insert(text);
    return true;
}

void endProgram(int code)
{
    g_endRequested = true;
    if (g_endHook)
        g_endHook(code);
    else
        QCoreApplication::exit(code);
}

bool endRequested()
{
    return g_endRequested;
}

void setEndProgramHook(std::function<void(int)> hook)
{
    g_endHook = std::move(hook);
    g_endRequested = false;
}

QSize screenSize()
{
    if (g_screenOverride.isValid())
        return g_screenOverride;
    if (QScreen* s = QGuiApplication::primaryScreen())
        return s->size();
    return {800, 600};
}

void setScreenSizeForTest(QSize size)
{
    g_screenOverride = size;
}

} // namespace fr
