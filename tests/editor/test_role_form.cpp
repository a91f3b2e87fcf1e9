// The role form: start direction, placing and the appended statement.
#include "editor_fixture.h"

#include "tools/role_form.h"
#include "ui_support.h"

#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>

#include <algorithm>
#include <set>

using namespace tstest;
using namespace tilesmith;

namespace {

class RoleFormTest : public EditorTest {
protected:
    void startWithMap()
    {
        start();
        openMap(writeMap("town.jmap", EmptyMap(20, 15, 1, 64, 96)));
    }
    RoleForm& role() { return session->tools.AddRole.get(); }
    ScriptEditor& script() { return session->tools.ScriptEditorForm.get(); }
    QByteArray text()
    {
        QByteArray out;
        EXPECT_TRUE(script().scriptText(out));
        return out;
    }
    QByteArray value(const char* var) { return session->procs.GetAttribValue("role", 0, var); }
};

// Which way the 32×48 cell at `origin` of the role picture faces, told by
// its eyes (the only black pixels of a cell): 0 up (seen from behind, no
// eyes), 1 down (from the front, both eyes), 2 left, 3 right (one eye, on
// the side the role looks to).
int Facing(const QImage& picture, QPoint origin)
{
    std::vector<int> eyes;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 32; ++x)
            if (picture.pixel(origin + QPoint(x, y)) == qRgb(0, 0, 0))
                eyes.push_back(x);
    if (eyes.empty())
        return 0;
    const auto [lo, hi] = std::minmax_element(eyes.begin(), eyes.end());
    if (*hi - *lo > 3)
        return 1;
    return *lo < 16 ? 2 : 3;
}

} // namespace

// Each cell of the facings picture shows the role facing the way a press on
// that cell chooses, and the cursor box of a placement shows the facing of
// the role's direction.
TEST_F(RoleFormTest, EachCellFacesTheDirectionAPressOnItChooses)
{
    startWithMap();
    RoleForm& f = role();
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    const QImage picture = f.Picture1->pic().snapshot();
    std::set<int> chosen;
    for (const QPoint origin : {QPoint(0, 0), QPoint(32, 0), QPoint(0, 48), QPoint(32, 48)}) {
        ClickAt(f.Picture1, origin + QPoint(16, 24));
        const int d = value("direction").toInt();
        chosen.insert(d);
        EXPECT_EQ(Facing(picture, origin), d) << "cell at " << origin.x() << "," << origin.y();
    }
    EXPECT_EQ(chosen.size(), 4u);
    for (int16_t dir : {0, 1, 2, 3}) {
        M().RoleDir = dir;
        f.placeOnMap();
        EXPECT_EQ(Facing(main().MainPic->pic().snapshot(), QPoint(0, 0)), dir);
        f.show();
    }
}

TEST_F(RoleFormTest, APressOnThePicturePicksTheDirection)
{
    startWithMap();
    RoleForm& f = role();
    struct Case {
        int x, y;
        const char* dir;
    };
    for (const Case& c : {Case{32, 48, "3"}, Case{33, 48, "0"}, Case{32, 49, "2"}, Case{33, 49, "1"}}) {
        f.pictureMouseDown(c.x, c.y);
        EXPECT_EQ(value("direction"), c.dir) << c.x << "," << c.y;
        EXPECT_EQ(f.ListData->item(2)->text(), QString::fromLatin1(c.dir));
    }
    // Any button picks: the press arrives through the picture box.
    QTest::mouseClick(f.Picture1, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(value("direction"), "3");
    EXPECT_EQ(M().RoleDir, 1); // only the insert sets the map's role start
}

TEST_F(RoleFormTest, InsertAppendsOnItsOwnLineAndStoresTheStart)
{
    startWithMap();
    RoleForm& f = role();
    script().setScriptText("AddNpc(,1,);\r\nEOF");
    f.pictureMouseDown(40, 10); // up
    session->procs.SetAttribValue("role", 0, "lx", "62.5");
    session->procs.SetAttribValue("role", 0, "ly", "96");
    session->procs.SetAttribValue("role", 0, "name", G("阿强"));
    f.insertStatement();
    EXPECT_EQ(M().RoleDir, 0);
    EXPECT_EQ(M().RoleX, 62); // halves go to the even neighbour
    EXPECT_EQ(M().RoleY, 96);
    const QByteArray first = text();
    ASSERT_TRUE(first.startsWith("AddNpc(,1,);\r\nEOF\r\nAddRole(,")) << first.constData();
    EXPECT_TRUE(first.endsWith(",);\r\n"));
    EXPECT_EQ(first.count("AddRole(,"), 1);
    EXPECT_TRUE(first.contains(G(",阿强,0,62.5,96,")));
    // The role's values reach its list file.
    QFile list(game.path("editor/RoleAttribList.txt"));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    EXPECT_TRUE(list.readAll().contains(G("\"阿强\"")));

    // A second insert appends another statement after the first.
    f.insertStatement();
    EXPECT_TRUE(text().startsWith(first));
    EXPECT_EQ(text().count("AddRole(,"), 2);

    // A start value that is no 16-bit number keeps the old start.
    session->procs.SetAttribValue("role", 0, "lx", "abc");
    session->procs.SetAttribValue("role", 0, "ly", "70000");
    f.insertStatement();
    EXPECT_EQ(M().RoleX, 62);
    EXPECT_EQ(M().RoleY, 96);
    EXPECT_EQ(dialogs.count(QStringLiteral("不是有效的数字")), 2);

    // A value holding a comma is refused: the text stays as it was.
    const QByteArray before = text();
    session->procs.SetAttribValue("role", 0, "name", "a,b");
    f.insertStatement();
    EXPECT_EQ(text(), before);
    EXPECT_EQ(dialogs.count(QStringLiteral("含有逗号")), 1);
}

TEST_F(RoleFormTest, PlacingUsesTheStoredDirectionAndStaysArmedAcrossReturn)
{
    startWithMap();
    RoleForm& f = role();
    Main& m = main();
    f.placeOnMap();
    EXPECT_EQ(M().RolePlacing, -1);
    EXPECT_EQ(m.MainPic->size(), QSize(32, 48));
    EXPECT_EQ(M().BrushHeight, 48);
    // RoleDir 1 (from the map header): the cell seen from the front.
    EXPECT_EQ(m.MainPic->pic().pixel(10, 10), f.Picture1->pic().pixel(42, 58));
    f.returnToScript();
    EXPECT_EQ(M().RolePlacing, -1);
    m.show();
    m.MainPic->move(128, 64);
    QTest::mouseClick(m.MainPic, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(value("lx"), "128");
    EXPECT_EQ(value("ly"), "64");
}

TEST_F(RoleFormTest, ThePictureShowsItsCellLinesAndClosingComesBackToTheScriptEditor)
{
    startWithMap();
    script().show();
    KeyTo(&script(), Qt::Key_F4);
    RoleForm& f = role();
    ASSERT_TRUE(f.isVisible());
    EXPECT_FALSE(script().isVisible());
    const QImage shown = f.Picture1->grab().toImage();
    EXPECT_EQ(shown.pixel(10, 47), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(31, 80), qRgb(0, 0, 0));
    f.placeOnMap();
    press(Qt::Key_Space);
    KeyTo(&script(), Qt::Key_F4);
    EXPECT_EQ(M().RolePlacing, -1);
    // The close box unloads the form; with nothing else on screen the
    // script editor comes back and the placement is disarmed.
    const int loads = session->tools.AddRole.loads();
    role().close();
    ProcessDeletes();
    EXPECT_TRUE(script().isVisible());
    EXPECT_EQ(M().RolePlacing, 0);
    EXPECT_FALSE(session->tools.AddRole.loaded());
    KeyTo(&script(), Qt::Key_F4);
    EXPECT_EQ(session->tools.AddRole.loads(), loads + 1);
}
