// What a hand reaches: in every tool window, each control a user clicks is
// the widget that the window's own hit testing finds at the control's
// centre (the centre of the part its parents show), or a child of it.
#include "demo_fixture.h"

#include "tools/attrib_dialog.h"
#include "tools/magic_editor.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>

using namespace tstest;
using namespace tilesmith;

namespace {

using HitTesting = DemoEditorTest;

bool IsControl(QWidget* w)
{
    return qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractItemView*>(w) || qobject_cast<QLineEdit*>(w) ||
           qobject_cast<QComboBox*>(w) || qobject_cast<QTabBar*>(w) || qobject_cast<QPlainTextEdit*>(w) ||
           qobject_cast<QScrollBar*>(w) || dynamic_cast<fr::PicBox*>(w);
}

// The part of `w` its parents show, in w's coordinates.
QRect ShownPart(QWidget* w)
{
    QWidget* window = w->window();
    const QPoint origin = w->mapTo(window, QPoint());
    QRect r(origin, w->size());
    for (QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        r &= QRect(p->mapTo(window, QPoint()), p->size());
    r &= window->rect();
    return r.translated(-origin);
}

// The controls of `window` that are on screen with it.
std::vector<QWidget*> Controls(QWidget* window)
{
    std::vector<QWidget*> out;
    for (QWidget* w : window->findChildren<QWidget*>())
        if (w->window() == window && w->isVisibleTo(window) && IsControl(w) && !ShownPart(w).isEmpty())
            out.push_back(w);
    return out;
}

QString Describe(QWidget* w)
{
    if (!w)
        return QStringLiteral("nothing");
    QString text = w->metaObject()->className() + QStringLiteral(" ") + w->objectName();
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        text += QStringLiteral(" \"%1\"").arg(b->text());
    return text;
}

} // namespace

TEST_F(HitTesting, EveryControlOfEveryToolWindowIsWhatTheMouseReaches)
{
    startOnDemo();
    ToolFormsImpl& t = session->tools;
    struct Row {
        const char* window;
        std::function<QWidget*()> show;
        // Controls that must be among those checked.
        std::function<std::vector<QWidget*>()> named;
    };
    auto tab = [&](int i) {
        press(Qt::Key_Space);
        se().TabStrip->setCurrentIndex(i);
        return &se();
    };
    const Row rows[] = {
        {"script editor, scripts", [&] { return tab(0); },
         [&] { return std::vector<QWidget*>{se().FileTable, se().Text1, se().Command2, se().Command5, se().TabStrip}; }},
        {"script editor, event list", [&] { return tab(1); }, [&] { return std::vector<QWidget*>{se().EventTable}; }},
        {"script editor, maps", [&] { return tab(2); }, [&] { return std::vector<QWidget*>{se().FileTable2}; }},
        {"NPC editor",
         [&] {
             seKey(Qt::Key_F1);
             return &t.ActiveNpc.get();
         },
         [&] {
             PlacementForm& f = t.ActiveNpc.get();
             return std::vector<QWidget*>{f.ListCaption, f.ListData, f.List1, f.ImageCombo1, f.SonPicture,
                                          f.InitPicture, f.Command1, f.Command4};
         }},
        {"NPC editor, value box open",
         [&] {
             PlacementForm& f = t.ActiveNpc.get();
             f.ListData->setCurrentRow(1);
             f.openTextInput();
             return &f;
         },
         [&] { return std::vector<QWidget*>{t.ActiveNpc.get().TextInput}; }},
        {"monster editor",
         [&] {
             seKey(Qt::Key_F2);
             return &t.ActiveMonster.get();
         },
         [&] {
             PlacementForm& f = t.ActiveMonster.get();
             return std::vector<QWidget*>{f.ListCaption, f.ListData, f.List1, f.SonPicture, f.InitPicture, f.Command5};
         }},
        {"role editor",
         [&] {
             seKey(Qt::Key_Escape);
             press(Qt::Key_Space);
             seKey(Qt::Key_F4);
             return &t.AddRole.get();
         },
         [&] {
             RoleForm& f = t.AddRole.get();
             return std::vector<QWidget*>{f.ListCaption, f.ListData, f.Picture1, f.Command1, f.Command5, f.Command7};
         }},
        {"definition dialog",
         [&] {
             t.AddRole.get().MenuItem("Menu_AddNewAttrib")->trigger();
             return &t.AddNewAttributeForm.get();
         },
         [&] {
             AddNewAttribute& d = t.AddNewAttributeForm.get();
             return std::vector<QWidget*>{d.AttribNameBox, d.ControlTypeBox, d.EnableBox, d.OtherBox, d.Command1,
                                          d.Command3};
         }},
        {"magic editor",
         [&] {
             t.AddNewAttributeForm.get().close();
             t.AddRole.get().returnToScript();
             seKey(Qt::Key_F3);
             return &t.MagicEditorForm.get();
         },
         [&] {
             MagicEditor& f = t.MagicEditorForm.get();
             return std::vector<QWidget*>{f.List1, f.MagicIDBox, f.MagicCostMpBox, f.MagicAnimiTypeBox, f.Command1,
                                          f.Command4, f.Command7};
         }},
        {"magic picture window",
         [&] {
             dialogs.files = {demo("Resource/bmp/magic0.bmp")};
             t.MagicEditorForm.get().Command6->click();
             return &t.MagicPicture.get();
         },
         [&] { return std::vector<QWidget*>{t.MagicPicture.get().Picture1}; }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.window);
        QWidget* window = r.show();
        ASSERT_TRUE(window->isVisible());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        const std::vector<QWidget*> controls = Controls(window);
        for (QWidget* w : r.named())
            EXPECT_NE(std::find(controls.begin(), controls.end(), w), controls.end()) << Describe(w).toStdString();
        for (QWidget* w : controls) {
            const QPoint centre = ShownPart(w).center();
            EXPECT_TRUE(Reaches(w, centre)) << Describe(w).toStdString() << " is covered by "
                                            << Describe(HitAt(w, centre)).toStdString();
        }
    }
}
