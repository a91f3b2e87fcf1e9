// An edited map is never thrown away unasked: Ctrl+D, the open dialog and
// "建立" in the size dialog ask first when the map holds unsaved edits, and
// the default answer keeps it; an unedited map is replaced without a question.
// Keys go where the keyboard sends them, clicks where the window's hit
// testing finds the widget under the pointer.
#include "editor_fixture.h"
#include "ui_support.h"

#include "shell/size_form.h"

#include <QPushButton>

#include <functional>

using namespace tstest;
using namespace tilesmith;

namespace {

// 20×15, every ground cell the tile (32, 32) of "map2": the brush at start-up
// ("map1" at (0, 0)) paints something else, and a clear empties it.
MapDocument TiledMap()
{
    MapDocument d = EmptyMap(20, 15, 1, 64, 64);
    for (int i = 0; i < 300; ++i)
        d.layers[0][size_t(i)] = TileRec{32, 32, 1, int16_t((i % 20) * 32), int16_t((i / 20) * 32), "N", 0};
    return d;
}

const QString kOpenQuestion = QStringLiteral("地图修改后还没有保存，打开另一张地图会丢掉这些修改。确定打开吗？");
const QString kCreateQuestion = QStringLiteral("地图修改后还没有保存，建立新地图会丢掉这些修改。确定建立吗？");

class EditedMap : public EditorTest {
public: // the hand's steps below are lambdas taking the fixture
    // Map a opened afresh (in the same session after the first time).
    void begin()
    {
        if (!session)
            start();
        writeMap("a.jmap", TiledMap());
        writeMap("b.jmap", EmptyMap(30, 10));
        game.write("editor/RecentMap.txt", "\"Map\\b.jmap\"\r\n");
        openMap(a);
        main().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main()));
    }
    // A click on the cursor box, which stands on cell 0: paints the brush.
    void paint() { ClickAt(main().MainPic, QPoint(16, 16)); }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) { KeyTo(&main(), k, mods); }

    struct Path {
        const char* name;
        QString question;
        std::function<void(EditedMap&)> run; // what the hand does
        QString replacedBy;                  // MapPath after the map was replaced ("" = a new map)
    };
    std::vector<Path> paths()
    {
        return {
            {"Ctrl+D", kOpenQuestion, [](EditedMap& t) { t.key(Qt::Key_D, Qt::ControlModifier); }, b},
            {"open dialog", kOpenQuestion,
             [](EditedMap& t) {
                 t.dialogs.files = {t.b};
                 t.key(Qt::Key_A, Qt::ControlModifier);
             },
             b},
            {"建立", kCreateQuestion,
             [](EditedMap& t) {
                 t.main().MenuItem("Menu_NewMap")->trigger();
                 ASSERT_TRUE(t.main().SizeForm.loaded());
                 QPushButton* create = t.main().SizeForm.get().Command1;
                 ClickAt(create, create->rect().center());
             },
             QString()},
        };
    }

    const QString a = game.path("Map/a.jmap");
    const QString b = game.path("Map/b.jmap");
};

} // namespace

TEST_F(EditedMap, AnEditIsKeptByTheDefaultAnswerAndSavedAfterwards)
{
    struct Edit {
        const char* name;
        std::function<void(EditedMap&)> run;
        TileRec cell0; // the ground's first cell after it
    };
    const Edit edits[] = {
        {"a click on the map", [](EditedMap& t) { t.paint(); }, TileRec{0, 0, 0, 0, 0, "N", 0}},
        {"Delete", [](EditedMap& t) { t.key(Qt::Key_Delete); }, TileRec{}},
    };
    for (const Edit& edit : edits) {
        for (const Path& path : paths()) {
            SCOPED_TRACE(std::string(edit.name) + ", then " + path.name);
            begin();
            edit.run(*this);
            ASSERT_EQ(M().GroundLayData[0], edit.cell0);
            dialogs.messages.clear();
            dialogs.styles.clear();
            dialogs.yesNo = {fr::vbNo};
            path.run(*this);
            ASSERT_EQ(dialogs.messages, QStringList{path.question});
            // Yes/No with No, which keeps the map, as the default button.
            EXPECT_EQ(dialogs.styles[0], fr::vbYesNo + fr::vbExclamation + fr::vbDefaultButton2);
            EXPECT_EQ(M().MapPath, a);
            EXPECT_EQ(M().GroundLayData[0], edit.cell0);
            EXPECT_FALSE(main().SizeForm.loaded() && main().SizeForm.get().isVisible());
            EXPECT_TRUE(main().isVisible());

            key(Qt::Key_S, Qt::ControlModifier);
            MapDocument saved;
            ASSERT_TRUE(ParseMapFile(ReadBytes(a), saved).ok);
            EXPECT_EQ(saved.layers[0][0], edit.cell0);
            // Saved, the map goes without a question.
            path.run(*this);
            EXPECT_EQ(dialogs.messages.size(), 1);
            EXPECT_EQ(M().MapPath, path.replacedBy);
        }
    }
}

TEST_F(EditedMap, YesReplacesTheEditedMapAndTheNextOneIsUnedited)
{
    for (const Path& path : paths()) {
        SCOPED_TRACE(path.name);
        begin();
        paint();
        dialogs.messages.clear();
        dialogs.yesNo = {fr::vbYes};
        path.run(*this);
        EXPECT_EQ(dialogs.messages, QStringList{path.question});
        EXPECT_EQ(M().MapPath, path.replacedBy);
        EXPECT_EQ(M().GroundLayData[0], TileRec{});
        EXPECT_TRUE(main().isVisible());
        // Nothing of the map replaced counts as an edit of the new one.
        dialogs.files = {a};
        key(Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(M().MapPath, a);
        EXPECT_EQ(dialogs.messages.size(), 1);
    }
}

TEST_F(EditedMap, AnUneditedMapIsReplacedWithoutAQuestion)
{
    // Opened and not touched, or touched only by what changes no cell (a
    // layer or view key, a scroll).
    for (const Path& path : paths()) {
        SCOPED_TRACE(path.name);
        begin();
        key(Qt::Key_F2);
        key(Qt::Key_3);
        key(Qt::Key_S);
        dialogs.messages.clear();
        path.run(*this); // a question would fail here: none is queued
        EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("|").toStdString();
        EXPECT_EQ(M().MapPath, path.replacedBy);
    }
}

TEST_F(EditedMap, DeleteWithNoMapOpenLeavesNothingToAskAbout)
{
    start();
    writeMap("b.jmap", EmptyMap(30, 10));
    game.write("editor/RecentMap.txt", "\"Map\\b.jmap\"\r\n");
    main().show();
    key(Qt::Key_Delete);
    key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(M().MapPath, b);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("|").toStdString();
}
