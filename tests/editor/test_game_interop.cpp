// A map made in the editor and saved there, for the game's map reader: the
// game's own test reads the file and compares its layers with the cells
// listed here (tests/game/interop_test.cpp).
#include "editor_fixture.h"

#include "shell/size_form.h"

#include <QDir>
#include <QFile>
#include <QPushButton>

using namespace tstest;
using namespace tilesmith;

namespace {

class GameInterop : public EditorTest {};

} // namespace

TEST_F(GameInterop, EditorMadeMapForTheGame)
{
    // Run as the first half of the pair "interop.*" in CTest, which orders it
    // before the game's half; on its own it has nothing to hand over.
    if (qEnvironmentVariableIsEmpty("TEV_INTEROP"))
        GTEST_SKIP() << "runs as interop.editor_saves_map";
    start();
    // A new 20x15 map through the size dialog.
    main().Menu_NewMap_Click();
    ASSERT_TRUE(main().SizeForm.loaded());
    QTest::mouseClick(main().SizeForm.get().Command1, Qt::LeftButton);
    ASSERT_FALSE(main().SizeForm.loaded()) << dialogs.messages.join("|").toStdString();
    ASSERT_EQ(M().TileCount, 300);

    // Cells as painting writes them: sheet, source and the cell's own place;
    // an obstacle, a GBK event name and a cell on every layer.
    for (int i = 0; i < 300; ++i) {
        TileRec& g = M().LayData(1)[i];
        g.sheet = static_cast<int16_t>(i % 3);
        g.srcX = static_cast<int16_t>((i % 8) * 32);
        g.srcY = static_cast<int16_t>((i / 8 % 8) * 32);
        g.mapX = static_cast<int16_t>((i % 20) * 32);
        g.mapY = static_cast<int16_t>((i / 20) * 32);
    }
    M().LayData(1)[21].obstacle = 1;
    M().LayData(1)[22].event = G("宝箱");
    for (int layer = 2; layer <= 7; ++layer)
        M().LayData(layer)[40 + layer] =
            TileRec{32, 64, int16_t(layer % 3), int16_t(32 * ((40 + layer) % 20)), int16_t(32 * ((40 + layer) / 20)),
                    "N", 0};
    M().RoleX = 64;
    M().RoleY = 96;
    main().markEdited();

    const QString dir = QStringLiteral(TEV_INTEROP_DIR);
    QDir().mkpath(dir);
    const QString path = dir + "/editor_made.jmap";
    QFile::remove(path);
    dialogs.files = {path};
    main().Menu_SaveAsAnotherMap_Click();
    ASSERT_EQ(main().MapSaved, -1) << dialogs.messages.join("|").toStdString();
    ASSERT_TRUE(QFile::exists(path));
    WriteBytes(dir + "/editor_made.cells", MapCellList(M()));
}
