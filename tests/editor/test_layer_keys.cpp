// Layer switching, views and the keyboard: the key table, the caption texts,
// what the composite shows, scrolling, the game's screen size, and the
// commands and mouse events that go to the canvas.
#include "editor_fixture.h"

#include "recording_canvas.h"
#include "shell/help_form.h"
#include "shell/picker_form.h"
#include "shell/size_form.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

using namespace tstest;
using namespace tilesmith;

namespace {

constexpr QRgb EventGreen = 0xFF14C828; // the event marker's mark

// 20×15: ground everywhere, object layer 3 on cells 0..9, an event on cell 25
// (over ground), an obstacle on cell 26.
MapDocument LayeredMap(int w = 20, int h = 15)
{
    MapDocument d = EmptyMap(w, h);
    for (int i = 0; i < w * h; ++i) {
        TileRec& g = d.layers[0][i];
        g.sheet = 0;
        g.srcX = 64;
        g.mapX = (i % w) * 32;
        g.mapY = (i / w) * 32;
    }
    for (int i = 0; i < 10; ++i)
        d.layers[2][i] = TileRec{32, 32, 1, int16_t(i * 32), 0, "N", 0};
    d.layers[0][25].event = "door";
    d.layers[0][26].obstacle = 1;
    return d;
}

class LayerKeys : public EditorTest {
protected:
    void startWithMap()
    {
        start();
        main().SetCanvas(&canvas);
        openMap(writeMap("a.jmap", LayeredMap()));
    }
    void typeKeys(const char* digits)
    {
        for (const char* c = digits; *c; ++c)
            press(Qt::Key_0 + (*c - '0'));
    }
    // The pixel at the middle of the event marker on cell 25 (5, 1).
    QRgb eventProbe() { return main().Picture1->pic().pixel(5 * 32 + 16, 32 + 12); }

    RecordingCanvas canvas;
};

} // namespace

TEST_F(LayerKeys, ViewKeysShowOneLayerOrAllAndPickTheEditLayer)
{
    startWithMap();
    const QImage all = main().Picture1->pic().snapshot();
    const QImage object3 = main().Object3_Lay.snapshot();
    struct Case {
        const char* keys;
        const char* view;
        const char* edit;
        int editLay;
        int soloView;
        int soloLayer; // 0: none
        const QImage* picture;
    } cases[] = {
        {"3", "显示物体层3", "编辑物体层3", 3, -1, 3, &object3},
        {"33", "显示全部层", "编辑物体层3", 3, 0, 0, &all},
        {"353", "显示物体层3", "编辑物体层3", 3, -1, 3, &object3},
        {"898", "显示事件层8", "编辑事件层8", 8, -1, 8, nullptr},
        {"1", "显示地面层1", "编辑地面层1", 1, -1, 1, nullptr},
        {"99", "显示全部层", "编辑NPC层9", 9, 0, 0, &all},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        main().LayerSoloFlags.fill(0);
        main().SoloView = 0;
        main().hide();
        typeKeys(c.keys);
        EXPECT_EQ(M().ViewText, QString::fromUtf8(c.view));
        EXPECT_EQ(M().EditLayText, QString::fromUtf8(c.edit));
        EXPECT_EQ(M().EditLay, c.editLay);
        EXPECT_EQ(main().SoloView, c.soloView);
        for (int n = 1; n <= 9; ++n)
            EXPECT_EQ(main().LayerSoloFlags[n - 1], n == c.soloLayer ? 1 : 0) << n;
        EXPECT_TRUE(main().isVisible()); // each view shows Main again
        if (c.picture) {
            EXPECT_EQ(main().Picture1->pic().snapshot(), *c.picture);
        }
    }
    // Shift with a digit (a symbol on the key) acts like the digit.
    main().LayerSoloFlags.fill(0);
    press(Qt::Key_NumberSign, Qt::ShiftModifier);
    EXPECT_EQ(M().ViewText, QStringLiteral("显示物体层3"));
    // The keypad's digits are not view keys.
    EXPECT_FALSE(main().formKeyDown(99, 0));
    EXPECT_EQ(M().ViewText, QStringLiteral("显示物体层3"));
}

TEST_F(LayerKeys, LayerMenusGiveShortTextsAndFKeysLongOnes)
{
    startWithMap();
    const char* items[] = {"Menu_GroundLay",  "Menu_ObjectLay2", "Menu_ObjectLay3", "Menu_ObjectLay4", "Menu_ObjectLay5",
                           "Menu_ObjectLay6", "Menu_SkyLay",     "Menu_IncidentLay", "Menu_NpcLay"};
    const char* shortTexts[] = {"地面层1", "物体层2", "物体层3", "物体层4", "物体层5", "物体层6", "天空层7", "事件层", "NPC层"};
    const char* longTexts[] = {"编辑地面层1", "编辑物体层2", "编辑物体层3", "编辑物体层4", "编辑物体层5",
                               "编辑物体层6", "编辑天空层7", "编辑事件层8", "编辑NPC层9"};
    for (int n = 1; n <= 9; ++n) {
        SCOPED_TRACE(n);
        M().EditLay = 0;
        main().MenuItem(items[n - 1])->trigger();
        EXPECT_EQ(M().EditLay, n);
        EXPECT_EQ(M().EditLayText, QString::fromUtf8(shortTexts[n - 1]));
        M().EditLay = 0;
        press(Qt::Key_F1 + (n - 1), n == 4 ? Qt::ControlModifier : Qt::NoModifier);
        EXPECT_EQ(M().EditLay, n);
        EXPECT_EQ(M().EditLayText, QString::fromUtf8(longTexts[n - 1]));
    }
    // Only F8 switches the obstacle tool, once; the menu item does not.
    EXPECT_EQ(canvas.calls, QStringList{"Menu_SetObstacle_Click"});
    // No view changed.
    EXPECT_EQ(M().ViewText, QStringLiteral("显示全部层"));
    EXPECT_EQ(main().SoloView, 0);
}

TEST_F(LayerKeys, ToolKeysMenusAndTheMouseReachTheCanvasOnce)
{
    startWithMap();
    struct Case {
        std::function<void()> act;
        const char* call;
    } cases[] = {
        {[&] { press(Qt::Key_Q); }, "SwitchEraser"},
        {[&] { press(Qt::Key_X, Qt::ShiftModifier); }, "Menu_FillAll_Click"},
        {[&] { press(Qt::Key_Z); }, "Menu_Spinner_Click"},
        {[&] { press(Qt::Key_E, Qt::ControlModifier); }, "Menu_SetObstacle_Click"},
        {[&] { main().MenuItem("Menu_FillAll")->trigger(); }, "Menu_FillAll_Click"},
        {[&] { main().MenuItem("Menu_SetObstacle")->trigger(); }, "Menu_SetObstacle_Click"},
        {[&] { main().MenuItem("Menu_Spinner")->trigger(); }, "Menu_Spinner_Click"},
        {[&] { main().MenuItem("Menu_SelectSmallEraser")->trigger(); }, "Menu_SelectSmallEraser_Click"},
        {[&] { main().MenuItem("Menu_SelectMiddleEraser")->trigger(); }, "Menu_SelectMiddleEraser_Click"},
        {[&] { main().MenuItem("Menu_SelectLargeEraser")->trigger(); }, "Menu_SelectLargeEraser_Click"},
        {[&] { main().MenuItem("Menu_IncidentEra")->trigger(); }, "Menu_IncidentEra_Click"},
        {[&] { QTest::mouseClick(main().MainPic, Qt::LeftButton, {}, QPoint(3, 4)); }, "MainPic_MouseDown(1,0,3,4)"},
        {[&] { QTest::mouseClick(main().Picture1, Qt::RightButton, Qt::ShiftModifier, QPoint(100, 70)); },
         "Picture1_MouseDown(2,1,100,70)"},
    };
    main().show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        canvas.calls.clear();
        c.act();
        // A click also releases the button; only the press counts here.
        QStringList rest;
        for (const QString& call : canvas.calls)
            if (!call.startsWith("MainPic_MouseUp") && !call.contains("MouseMove"))
                rest << call;
        EXPECT_EQ(rest, QStringList{QString::fromUtf8(c.call)});
    }
    // The release over the cursor box and moves go there too.
    canvas.calls.clear();
    QMouseEvent move(QEvent::MouseMove, QPointF(7, 8), QPointF(7, 8), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(main().MainPic, &move);
    QTest::mouseRelease(main().MainPic, Qt::RightButton, {}, QPoint(1, 2));
    EXPECT_EQ(canvas.calls, (QStringList{"MainPic_MouseMove(0,0,7,8)", "MainPic_MouseUp(2,0,1,2)"}));
}

TEST_F(LayerKeys, KeysWorkWithoutAMap)
{
    start();
    main().SetCanvas(&canvas);
    ASSERT_FALSE(main().EditMenusEnabled());
    press(Qt::Key_3);
    EXPECT_EQ(M().ViewText, QStringLiteral("显示物体层3"));
    EXPECT_EQ(M().EditLay, 3);
    press(Qt::Key_F);
    press(Qt::Key_X);
    press(Qt::Key_F8);
    EXPECT_EQ(M().EditLayText, QStringLiteral("编辑事件层8"));
    press(Qt::Key_Delete);
    press(Qt::Key_W);
    press(Qt::Key_D);
    EXPECT_EQ(canvas.calls, (QStringList{"Menu_FillAll_Click", "Menu_SetObstacle_Click"}));
    EXPECT_EQ(main().Picture1->pic().size(), QSize(0, 0));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    // Keys outside the table are left alone.
    for (int code : {int('K'), int('0'), 8, 13, 37})
        EXPECT_FALSE(main().formKeyDown(code, 0)) << code;
}

TEST_F(LayerKeys, ScrollKeysStopAtTheEnds)
{
    start();
    setViewport(600, 400);
    openMap(writeMap("big.jmap", LayeredMap(100, 50)));
    QScrollBar* h = main().HScroll1;
    QScrollBar* v = main().VScroll1;
    ASSERT_EQ(h->maximum(), 2600);
    ASSERT_EQ(v->maximum(), 1200);
    press(Qt::Key_A);
    EXPECT_EQ(h->value(), 0);
    press(Qt::Key_D);
    press(Qt::Key_D, Qt::ShiftModifier);
    EXPECT_EQ(h->value(), 64);
    EXPECT_EQ(main().Picture1->x(), -64);
    // Ctrl with Shift is not Ctrl alone: S scrolls, nothing is saved.
    press(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(v->value(), 32);
    EXPECT_TRUE(dialogs.fileDialogs.empty());
    press(Qt::Key_W, Qt::ControlModifier);
    press(Qt::Key_W);
    EXPECT_EQ(v->value(), 0);
    v->setValue(1190);
    press(Qt::Key_S);
    EXPECT_EQ(v->value(), 1200);
    press(Qt::Key_S);
    EXPECT_EQ(v->value(), 1200);
    EXPECT_EQ(main().Picture1->y(), -1200);
}

TEST_F(LayerKeys, EventLayerHidesAndShowsAgainWithoutTouchingTheViews)
{
    startWithMap();
    ASSERT_EQ(eventProbe(), EventGreen);
    main().LayerSoloFlags[2] = 1;
    main().MenuItem("Menu_HideIncidentLay")->trigger();
    EXPECT_EQ(M().ViewText, QStringLiteral("显示全部(除事件层)"));
    EXPECT_EQ(eventProbe(), main().Ground_Lay.pixel(5 * 32 + 16, 32 + 12));
    EXPECT_EQ(main().EventLayerHidden, 1);
    EXPECT_EQ(main().LayerSoloFlags[2], 1);
    EXPECT_EQ(main().SoloView, 0);
    main().MenuItem("Menu_HideIncidentLay")->trigger();
    EXPECT_EQ(M().ViewText, QStringLiteral("显示全部"));
    EXPECT_EQ(eventProbe(), EventGreen);
    // A refresh lays everything again and keeps the texts.
    main().MenuItem("Menu_HideIncidentLay")->trigger();
    press(Qt::Key_F);
    EXPECT_EQ(eventProbe(), EventGreen);
    EXPECT_EQ(M().ViewText, QStringLiteral("显示全部(除事件层)"));
    EXPECT_EQ(main().EventLayerHidden, 1);
}

TEST_F(LayerKeys, PanelHelpAndEsc)
{
    startWithMap();
    main().show();
    // C: the information panel off and on.
    press(Qt::Key_C);
    EXPECT_FALSE(main().InfoFrame->isVisible());
    press(Qt::Key_C);
    EXPECT_TRUE(main().InfoFrame->isVisible());
    // F10: the help window; the menu item: the help text.
    press(Qt::Key_F10);
    ASSERT_TRUE(main().HelpFormRef.loaded());
    EXPECT_TRUE(main().HelpFormRef.get().isVisible());
    EXPECT_EQ(main().HelpFormRef.get().windowTitle(), QStringLiteral("帮助(未完成)"));
    main().MenuItem("Menu_Help")->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1);
    const QStringList lines = dialogs.messages[0].split("\r\n");
    ASSERT_EQ(lines.size(), 7);
    EXPECT_TRUE(lines[1].isEmpty());
    EXPECT_EQ(lines[2], QStringLiteral("★地图是怎么构成的？"));
    EXPECT_EQ(lines[6], QStringLiteral("树的树叶部分要遮住人，所以得放第5层，树根部分则要被人挡住，所以放第4层。就是这个原理，差不多明白了吧~"));

    // Esc leaves every tool for the picker, with or without Ctrl.
    M().LargeMode = true;
    M().TakeOutMode = -1;
    M().TakeOutBrush = -1;
    M().TakeOutInfo = true;
    M().EraserMode = -1;
    main().MainPic->move(96, 64);
    main().MainPic->hide();
    main().Line2->show();
    press(Qt::Key_Escape, Qt::ControlModifier);
    EXPECT_TRUE(M().SavedLargeMode);
    EXPECT_EQ(M().TakeOutMode, 0);
    EXPECT_EQ(M().TakeOutBrush, 0);
    EXPECT_FALSE(M().TakeOutInfo);
    EXPECT_EQ(M().EraserMode, 0);
    EXPECT_EQ(main().MainPic->pos(), QPoint(0, 0));
    EXPECT_FALSE(main().MainPic->isHidden());
    EXPECT_TRUE(main().Line2->isHidden());
    EXPECT_FALSE(main().isVisible());
    ASSERT_TRUE(main().PicResourceForm.loaded());
    EXPECT_TRUE(main().PicResourceForm.get().isVisible());
}

TEST_F(LayerKeys, GameScreenSizeIsKeptUnlessBothAnswersAreWholeNumbers)
{
    start();
    struct Case {
        std::vector<std::optional<QString>> answers;
        int prompts; // input boxes shown
        bool message;
    } refused[] = {
        {{std::nullopt}, 1, false},                     // cancel: silently, no second box
        {{QString("800"), std::nullopt}, 2, false},    // cancel the height
        {{QString("abc")}, 1, true},
        {{QString("")}, 1, true},
        {{QString("0")}, 1, true},
        {{QString("-640")}, 1, true},
        {{QString(" 800")}, 1, true},
        {{QString("800"), QString("32768")}, 2, true},
        {{QString("800"), QString("4.5")}, 2, true},
    };
    for (const Case& c : refused) {
        dialogs.messages.clear();
        dialogs.inputs.assign(c.answers.begin(), c.answers.end());
        main().Menu_SetScreenSize_Click();
        EXPECT_EQ(M().GameWidth.print(), "640");
        EXPECT_EQ(M().GameHeight, 480);
        EXPECT_EQ(dialogs.messages.size(), c.prompts + (c.message ? 1 : 0)) << dialogs.messages.join("|").toStdString();
    }
    dialogs.messages.clear();
    dialogs.inputs = {QString("800"), QString("600")};
    main().Menu_SetScreenSize_Click();
    EXPECT_EQ(dialogs.messages, (QStringList{QStringLiteral("宽(像素):"), QStringLiteral("高(像素):")}));
    EXPECT_EQ(M().GameWidth.print(), "800");
    EXPECT_EQ(M().GameHeight, 600);
    // The size dialog proposes one game screen: 18.75 tiles round to 19.
    main().Menu_NewMap_Click();
    Size& size = main().SizeForm.get();
    EXPECT_EQ(size.windowTitle(), QStringLiteral("游戏分辨率为：800×600"));
    EXPECT_EQ(size.Text1->text(), "25");
    EXPECT_EQ(size.Text2->text(), "19");
}
