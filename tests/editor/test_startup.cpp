// Start-up: sheets, lists, Main shown and the splash hidden; what happens
// when a sheet or a list is missing.
#include "editor_fixture.h"

#include "platform/blit.h"

#include <QLabel>

using namespace tstest;
using namespace tilesmith;

namespace {

// Notes what the shared data held when Main's load handler ran.
class ProbeMain : public Main {
public:
    using Main::Main;
    void formLoad() override
    {
        appDirAtLoad = M.AppDir;
        sheetLoadedAtLoad = ReTempPic[0].width() > 0;
        Main::formLoad();
    }
    QString appDirAtLoad;
    bool sheetLoadedAtLoad = true;
};

} // namespace

TEST_F(EditorTest, StartUpLoadsSheetsAndListsThenShowsMain)
{
    ProbeMain* probe = nullptr;
    session = std::make_unique<Session>([&](Module1& m, Module2& p, ToolForms* t, std::function<void()> s) {
        return probe = new ProbeMain(m, p, t, s);
    });
    session->start();
    // The loader runs from the start-up form's timer.
    ASSERT_TRUE(QTest::qWaitFor([&] { return session->main.loaded() && main().isVisible(); }, 5000));
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(probe->appDirAtLoad, game.editorDir());
    EXPECT_FALSE(probe->sheetLoadedAtLoad);
    EXPECT_FALSE(session->boot.isVisible());
    EXPECT_FALSE(session->boot.Label1->isVisible());
    EXPECT_FALSE(session->boot.Timer1.enabled());
    const QSize sizes[5] = {{256, 256}, {256, 256}, {256, 256}, {256, 192}, {192, 1024}};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(main().ReTempPic[i].size(), sizes[i]) << i;
    EXPECT_EQ(main().ReTempPic[3].pixel(0, 48), SheetColour(3, 8, true));
    EXPECT_EQ(M().NpcSheetHeight, 192);
    EXPECT_EQ(M().MonsterSheetHeight, 1024);
    EXPECT_EQ(M().RoleAttribCount, 21);
    EXPECT_EQ(M().NpcAttribCount, 16);
    EXPECT_EQ(M().MonsterAttribCount, 29);
    EXPECT_EQ(M().MagicCount, 0);
    EXPECT_EQ(M().NpcPlacing, 0);
    EXPECT_EQ(M().ScreenWidth, 1024);
    EXPECT_EQ(M().ScreenHeight, 768);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("|").toStdString();
    EXPECT_TRUE(ends.codes.empty());
}

TEST_F(EditorTest, MissingSheetEndsTheProgramWithItsName)
{
    QFile::remove(game.path("Resource/bmp/monster.bmp"));
    start();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(game.path("Resource/bmp/monster.bmp")))
        << dialogs.messages[0].toStdString();
    EXPECT_EQ(ends.codes, std::vector<int>{1});
    EXPECT_FALSE(main().isVisible());
}

TEST_F(EditorTest, MissingAttributeListGivesAnEmptyListAndStartUpGoesOn)
{
    QFile::remove(game.path("editor/NpcAttribList.txt"));
    start();
    EXPECT_TRUE(dialogs.saw(QStringLiteral("npcattriblist.txt")));
    EXPECT_EQ(M().NpcAttribCount, 0);
    EXPECT_EQ(M().MonsterAttribCount, 29);
    EXPECT_TRUE(main().isVisible());
    EXPECT_TRUE(ends.codes.empty());
}

TEST_F(EditorTest, SixteenBitSheetKeepsItsTransparentBlue)
{
    // 565 bitfields, 64×32: the left tile blue, the right one red.
    QByteArray b(14 + 40 + 12 + 64 * 32 * 2, '\0');
    auto put32 = [&](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = char(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, b.size());
    put32(10, 66);
    put32(14, 40);
    put32(18, 64);
    put32(22, 32);
    b[26] = 1;
    b[28] = 16;
    put32(30, 3);
    put32(54, 0xF800);
    put32(58, 0x07E0);
    put32(62, 0x001F);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) {
            const uint16_t p = x < 32 ? 0x001F : 0xF800;
            b[66 + (y * 64 + x) * 2] = char(p & 0xFF);
            b[66 + (y * 64 + x) * 2 + 1] = char(p >> 8);
        }
    game.write("Resource/bmp/map1.bmp", b);
    start();
    ASSERT_TRUE(ends.codes.empty());
    EXPECT_EQ(main().ReTempPic[0].pixel(5, 5), 0xFF0000FFu);
    fr::PicImage dst(qRgb(1, 2, 3));
    dst.resize(32, 32);
    dst.cls();
    fr::transparentBlt(dst, 0, 0, 32, 32, main().ReTempPic[0], 0, 0);
    EXPECT_EQ(dst.pixel(5, 5), qRgb(1, 2, 3));
    fr::transparentBlt(dst, 0, 0, 32, 32, main().ReTempPic[0], 32, 0);
    EXPECT_EQ(dst.pixel(5, 5), qRgb(255, 0, 0));
}

TEST_F(EditorTest, SplashShowsAgainWithoutReloading)
{
    start();
    QFile::remove(game.path("Resource/bmp/map2.bmp"));
    main().MenuItem("Menu_Logo")->trigger();
    EXPECT_TRUE(session->boot.isVisible());
    EXPECT_FALSE(session->boot.Label1->isVisible());
    EXPECT_EQ(main().ReTempPic[1].size(), QSize(256, 256));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    // Losing the focus hides it again.
    session->boot.formLostFocus();
    EXPECT_FALSE(session->boot.isVisible());
}

TEST_F(EditorTest, LoaderThatFailsEndsTheProgram)
{
    // Main's load handler fails: the splash alone must not be left running.
    class FailingMain : public Main {
    public:
        using Main::Main;
        void formLoad() override { throw fr::RuntimeError(QStringLiteral("坏了")); }
    };
    session = std::make_unique<Session>([](Module1& m, Module2& p, ToolForms* t, std::function<void()> s) {
        return new FailingMain(m, p, t, s);
    });
    session->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ends.codes.empty(); }, 5000));
    EXPECT_EQ(ends.codes.front(), 1);
    EXPECT_TRUE(dialogs.saw(QStringLiteral("坏了")));
}
