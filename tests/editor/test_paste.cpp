// Pasting into the editor's text boxes: only text comes from the clipboard.
// A clipboard that offers no formats at all is what the X clipboard looks
// like when no program owns it.
#include "editor_fixture.h"
#include "ui_support.h"

#include "tools/tool_forms.h"

#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>

using namespace tstest;
using namespace tilesmith;

using Paste = EditorTest;

namespace {

// What a text box shows, whichever kind it is.
QString TextOf(QWidget* box)
{
    if (auto* plain = qobject_cast<QPlainTextEdit*>(box))
        return plain->toPlainText();
    return qobject_cast<QLineEdit*>(box)->text();
}

// Puts `text` in the box, shown and in front, with all of it selected, as a
// hand leaves it before pressing the paste key.
void Prepare(QWidget* box, const QString& text)
{
    QWidget* window = box->window();
    window->show();
    window->raise();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    box->show();
    box->setFocus();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(box)) {
        plain->setPlainText(text);
        plain->selectAll();
    } else {
        auto* line = qobject_cast<QLineEdit*>(box);
        line->setText(text);
        line->selectAll();
    }
}

} // namespace

// Ctrl+V and Shift+Insert in the script text, a value box, a definition box
// and a magic box: with nothing on the clipboard the text stays as it was
// (selection and all); with text on it the text is pasted.
TEST_F(Paste, OnlyTextOnTheClipboardIsPastedAndNothingElseChangesABox)
{
    start();
    ToolFormsImpl& t = session->tools;
    ScriptEditor& se = t.ScriptEditorForm.get();
    PlacementForm& npc = t.ActiveNpc.get();
    t.showAddNewAttribute(AttribKind::Npc, -1);
    MagicEditor& magic = t.MagicEditorForm.get();
    const struct {
        const char* name;
        QWidget* box;
    } boxes[] = {
        {"script text", se.Text1},
        {"value box", npc.TextInput},
        {"definition name", t.AddNewAttributeForm.get().AttribNameBox},
        {"magic name", magic.MagicNameBox},
    };
    const struct {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
    } keys[] = {{"Ctrl+V", Qt::Key_V, Qt::ControlModifier}, {"Shift+Insert", Qt::Key_Insert, Qt::ShiftModifier}};
    QClipboard* clipboard = QGuiApplication::clipboard();
    for (const auto& b : boxes)
        for (const auto& k : keys) {
            SCOPED_TRACE(std::string(b.name) + ", " + k.name);
            Prepare(b.box, QStringLiteral("AddNpc(1,门卫)"));
            clipboard->setMimeData(new QMimeData); // no formats at all
            KeyTo(b.box->window(), k.key, k.mods);
            EXPECT_EQ(TextOf(b.box), QStringLiteral("AddNpc(1,门卫)"));

            auto* image = new QMimeData; // something, but no text
            image->setData(QStringLiteral("image/png"), QByteArray("\x89PNG", 4));
            clipboard->setMimeData(image);
            KeyTo(b.box->window(), k.key, k.mods);
            EXPECT_EQ(TextOf(b.box), QStringLiteral("AddNpc(1,门卫)"));

            clipboard->setText(QStringLiteral("粘贴"));
            KeyTo(b.box->window(), k.key, k.mods);
            EXPECT_EQ(TextOf(b.box), QStringLiteral("粘贴"));
        }
}
