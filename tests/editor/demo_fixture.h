#pragma once
// The editor started on a copy of the generated demo game folder, the way a
// map maker starts it there, with the demo map open (Ctrl+D on the recent
// map).
#include "editor_fixture.h"
#include "ui_support.h"

#include "shell/recent_map.h"
#include "tools/placement_form.h"
#include "tools/role_form.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QPlainTextEdit>

#include <map>

namespace tstest {

class DemoEditorTest : public EditorTest {
protected:
    // Copies the demo folder to `root` (a folder of the test's own unless
    // given), starts the editor from its editor folder and opens the demo
    // map.
    void startOnDemo(const QString& root = {})
    {
        demoRoot = root.isEmpty() ? temp.path() + "/game" : root;
        QDir(demoRoot).removeRecursively();
        CopyTree(QStringLiteral(TEV_DEMO_DIR), demoRoot);
        QString error;
        ASSERT_TRUE(tilesmith::WriteRecentMap(demoRoot + "/editor/", demo("Map/demo.jmap"), error));
        fr::setAppDir(demoRoot + "/editor/");
        start();
        main().show();
        press(Qt::Key_D, Qt::ControlModifier);
        ASSERT_EQ(M().MapPath, demo("Map/demo.jmap")) << dialogs.messages.join("|").toStdString();
    }
    QString demo(const QString& rel) const { return demoRoot + "/" + rel; }

    tilesmith::ScriptEditor& se() { return session->tools.ScriptEditorForm.get(); }
    void seKey(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) { KeyTo(&se(), k, mods); }
    // Types into the script text, after what is there.
    void typeScript(const QString& text)
    {
        se().Text1->moveCursor(QTextCursor::End);
        TypeText(se().Text1, text);
    }
    // Replaces the whole script text by typing.
    void retypeScript(const QString& text)
    {
        se().Text1->selectAll();
        QTest::keyClick(se().Text1, Qt::Key_Delete);
        TypeText(se().Text1, text);
    }
    // A left click on the map with the cursor box at (x, y).
    void clickMapAt(int x, int y)
    {
        main().MainPic->move(x, y);
        QTest::mouseClick(main().MainPic, Qt::LeftButton, {}, QPoint(4, 4));
    }
    // Chooses item i of a drop-down list with the mouse.
    static void chooseItem(QComboBox* box, int i)
    {
        box->showPopup();
        QAbstractItemView* v = box->view();
        const QRect r = v->visualRect(v->model()->index(i, 0));
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, r.center());
    }
    // Every file of the game folder by its path relative to the folder,
    // with a digest of its bytes.
    std::map<QString, QByteArray> snapshot() const
    {
        std::map<QString, QByteArray> out;
        QDirIterator it(demoRoot, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString p = it.next();
            if (it.fileInfo().isSymLink())
                continue;
            QFile f(p);
            if (f.open(QIODevice::ReadOnly))
                out[QDir(demoRoot).relativeFilePath(p)] =
                    QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
        }
        return out;
    }
    // Files added, removed or changed between two snapshots.
    static QStringList changed(const std::map<QString, QByteArray>& a, const std::map<QString, QByteArray>& b)
    {
        QStringList out;
        for (const auto& [k, v] : a)
            if (!b.count(k) || b.at(k) != v)
                out << k;
        for (const auto& [k, v] : b)
            if (!a.count(k))
                out << k;
        out.sort();
        return out;
    }

    QTemporaryDir temp;
    QString demoRoot;
};

} // namespace tstest
