// The magic kind editor: the list loaded, pruned and written back.
#include "editor_fixture.h"

#include "tools/statements.h"

#include <QLabel>
#include <QListWidget>

using namespace tstest;
using namespace tilesmith;

using MagicEditorTest = EditorTest;

namespace {

QByteArray ThreeKinds()
{
    MagicTable recs;
    recs.fill(InitStruct());
    for (int i = 0; i < 3; ++i) {
        recs[i].FileName = "magic" + QByteArray::number(i);
        recs[i].ID = int16_t(i);
        recs[i].Name = "m" + QByteArray::number(i);
    }
    return MagicListStatements(recs, 3).text;
}

} // namespace

TEST_F(MagicEditorTest, LoadDeleteAndInsertIntoTheMagicList)
{
    game.write("Script/MagicKindList.jsr", ThreeKinds() + "\r\n");
    start();
    MagicEditor& f = session->tools.MagicEditorForm.get();
    ASSERT_EQ(f.List1->count(), 3);
    EXPECT_EQ(M().MagicCount, 3);
    // Delete asks first.
    f.List1->setCurrentRow(1);
    dialogs.yesNo.push_back(fr::vbNo);
    f.Command5_Click();
    EXPECT_EQ(M().MagicCount, 3);
    dialogs.yesNo.push_back(fr::vbYes);
    f.Command5_Click();
    EXPECT_EQ(M().MagicCount, 2);
    EXPECT_EQ(f.MagicRecs[1].FileName, "magic2");
    EXPECT_EQ(f.MagicRecs[2].Name, "NULL");
    // Insert only into the magic list file.
    ScriptEditor& s = session->tools.ScriptEditorForm.get();
    s.setScriptText("keep");
    s.CurScriptPath = game.path("Script/other.jsr");
    f.Command7_Click();
    QByteArray text;
    ASSERT_TRUE(s.scriptText(text));
    EXPECT_EQ(text, "keep");
    EXPECT_EQ(dialogs.count(QStringLiteral("MagicKindList.jsr")), 1);
    s.CurScriptPath = game.path("Script/MagicKindList.jsr");
    f.Command7_Click();
    ASSERT_TRUE(s.scriptText(text));
    EXPECT_TRUE(text.startsWith("AddToMagicList(,magic0,0,m0,"));
    EXPECT_TRUE(text.contains("\r\nAddToMagicList(,magic2,2,m2,"));
    EXPECT_TRUE(text.endsWith("\r\nEOF"));
    EXPECT_FALSE(f.isVisible());
}

TEST_F(MagicEditorTest, ADamagedListLoadsNoKindsAndSaysWhy)
{
    game.write("Script/magickindlist.jsr", "AddToMagicList(,a,1,n,64\r\n");
    start();
    MagicEditor& f = session->tools.MagicEditorForm.get();
    EXPECT_EQ(f.List1->count(), 0);
    EXPECT_EQ(M().MagicCount, 0);
    EXPECT_EQ(dialogs.count(QStringLiteral("魔法列表第1行")), 1);
}
