// Attribute lists, placement lists and the text helpers.
#include "support.h"

#include "platform/gbk.h"
#include "shell/module2.h"
#include "tools/tool_forms.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace tstest;
using namespace tilesmith;

namespace {

class Lists : public ::testing::Test {
protected:
    void SetUp() override
    {
        m = std::make_unique<Module1>();
        m->AppDir = game.editorDir();
        procs = std::make_unique<Module2>(*m);
        tools = std::make_unique<ToolFormsImpl>(*m, *procs, [] {}, nullptr);
        procs->setTools(tools.get());
    }
    void loadAll()
    {
        procs->LoadRoleAttribList("roleattriblist.txt");
        procs->LoadNpcAttribList("npcattriblist.txt");
        procs->LoadMonsterAttribList("monsterattriblist.txt");
    }
    GameFolder game;
    ScriptedDialogs dialogs;
    std::unique_ptr<Module1> m;
    std::unique_ptr<ToolFormsImpl> tools;
    std::unique_ptr<Module2> procs;
};

QByteArray Record(int index, const QByteArray& name, const QByteArray& data, const QByteArray& var,
                  const char* editable = "#TRUE#")
{
    return QByteArray::number(index) + ",\"" + name + "\",\"textbox\",\"all\",\"" + data + "\",\"" + var + "\"," +
           editable + ",\"\"\r\n";
}

} // namespace

TEST_F(Lists, AttributeListsRoundTripByteForByte)
{
    const QByteArray role = Record(0, G("名字"), G("主角"), "name") + Record(1, G("速度"), "1.5", "speed", "#FALSE#");
    game.write("editor/RoleAttribList.txt", role);
    loadAll();
    ASSERT_EQ(m->RoleAttribCount, 2);
    EXPECT_EQ(m->RoleAttribs[1].data, "1.5");
    EXPECT_EQ(m->RoleAttribs[1].editable, fr::False);
    EXPECT_EQ(m->RoleAttribs[0].editable, fr::True);
    EXPECT_EQ(m->NpcAttribCount, 16);
    EXPECT_EQ(m->MonsterAttribCount, 29);
    ASSERT_TRUE(procs->SaveRoleAttribList());
    ASSERT_TRUE(procs->SaveNpcAttribList());
    ASSERT_TRUE(procs->SaveMonsterAttribList());
    EXPECT_EQ(ReadBytes(game.path("editor/RoleAttribList.txt")), role);
    EXPECT_EQ(ReadBytes(game.path("editor/NpcAttribList.txt")), NpcAttribListBytes());
    EXPECT_EQ(ReadBytes(game.path("editor/MonsterAttribList.txt")), MonsterAttribListBytes());
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("\n").toStdString();
}

TEST_F(Lists, ListsWithLfLineEndsReadTheSameWithOneReport)
{
    QByteArray lf = NpcAttribListBytes();
    lf.replace("\r\n", "\n");
    game.write("editor/NpcAttribList.txt", lf);
    procs->LoadNpcAttribList("NpcAttribList.txt");
    EXPECT_EQ(m->NpcAttribCount, 16);
    EXPECT_EQ(m->NpcAttribs[15].varname, "alpha");
    QByteArray list = PlacementBytes("AddNpc(", {NpcEntry(0, 1, 2, 3), NpcEntry(1, 4, 5, 6)});
    list.replace("\r\n", "\n");
    game.write("Script/demo_npc.jsr", list);
    procs->LoadMapNpcList(game.path("Map/demo.jmap"));
    EXPECT_EQ(m->NpcCount, 2);
    EXPECT_EQ(m->NpcValues[1][4], "6");
    EXPECT_EQ(dialogs.count(QStringLiteral("行尾只有 LF")), 2);
}

TEST_F(Lists, DeletedRecordsLeaveGapsUntilTheNextRead)
{
    loadAll();
    m->RoleAttribCount = 5;
    m->RoleAttribs[2].index = -1;
    ASSERT_TRUE(procs->SaveRoleAttribList());
    auto indexes = [&] {
        QList<QByteArray> out;
        for (const QByteArray& line : ReadBytes(game.path("editor/RoleAttribList.txt")).split('\n'))
            if (!line.isEmpty())
                out << line.left(line.indexOf(','));
        return out;
    };
    EXPECT_EQ(indexes(), (QList<QByteArray>{"0", "1", "3", "4"}));
    procs->LoadRoleAttribList("RoleAttribList.txt");
    ASSERT_EQ(m->RoleAttribCount, 4);
    EXPECT_EQ(m->RoleAttribs[2].index, 3);
    EXPECT_EQ(m->RoleAttribs[3].varname, "ly");
    ASSERT_TRUE(procs->SaveRoleAttribList());
    EXPECT_EQ(indexes(), (QList<QByteArray>{"0", "1", "2", "3"}));
}

TEST_F(Lists, LookupsSearchSlotsZeroToFortyNine)
{
    loadAll();
    m->NpcAttribs[50].varname = "only50";
    m->NpcAttribs[20].varname = "twice";
    m->NpcAttribs[20].data = "lower";
    m->NpcAttribs[30].varname = "twice";
    m->NpcAttribs[30].data = "upper";
    m->NpcAttribs[1].index = -1; // deleted, still found
    m->NpcValues[3][0] = "7";
    m->NpcAttribs[0].data = "def";
    m->RoleAttribs[1].data = G("主角");
    m->MonsterAttribs[25].varname = "";
    m->MonsterAttribs[25].data = "empty var";
    struct Case {
        const char* kind;
        int inst;
        QByteArray var;
        QByteArray result;
        const char* message; // "" = none
    } cases[] = {
        {"npc", -1, "only50", "-1", "GetAttribValue没找到变量only50"},
        {"npc", -1, "twice", "lower", ""},
        {"npc", -1, "name", "0", ""},
        {"npc", 3, "id", "7", ""},
        {"npc", -1, "id", "def", ""},
        {"role", 9, "name", G("主角"), ""},
        {"monster", -1, "", "empty var", ""},
        {"NPC", -1, "id", "-1", "GetAttribValue没找到变量id"},
        {"npc", 51, "id", "-1", "超出范围"},
    };
    for (const Case& c : cases) {
        dialogs.messages.clear();
        EXPECT_EQ(procs->GetAttribValue(c.kind, c.inst, c.var), c.result) << c.kind << " " << c.var.constData();
        if (*c.message)
            EXPECT_TRUE(dialogs.saw(QString::fromUtf8(c.message))) << dialogs.messages.join("|").toStdString();
        else
            EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("|").toStdString();
    }
    dialogs.messages.clear();
    EXPECT_EQ(procs->SetAttribValue("npc", 0, "nosuch", "1"), "-1");
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("SetAttribValue没找到变量nosuch")});
    // An instance beyond the table changes the definition only.
    EXPECT_EQ(procs->SetAttribValue("npc", 51, "id", "9"), "1");
    EXPECT_EQ(m->NpcAttribs[0].data, "9");
}

TEST_F(Lists, SetAttribValueFillsTheFormRowsAndTheInstance)
{
    loadAll();
    EXPECT_EQ(procs->SetAttribValue("npc", 2, "lx", "64"), "1");
    EXPECT_EQ(procs->SetAttribValue("npc", -1, "ly", "32"), "1");
    EXPECT_EQ(m->NpcValues[2][3], "64");
    EXPECT_EQ(m->NpcValues[2][4], "");
    EXPECT_EQ(m->NpcAttribs[4].data, "32");
    ASSERT_TRUE(tools->ActiveNpc.loaded());
    EXPECT_EQ(tools->ActiveNpc.loads(), 1);
    AttribForm& form = tools->ActiveNpc.get();
    EXPECT_EQ(form.ListCaption->count(), 16);
    EXPECT_EQ(form.ListCaption->item(3)->text(), QStringLiteral("X坐标"));
    EXPECT_EQ(form.ListData->item(3)->text(), "64");
    EXPECT_FALSE(tools->ActiveMonster.loaded());
    // A record added after the form was loaded gets its row.
    m->NpcAttribs[40].varname = "late";
    m->NpcAttribs[40].name = G("后加");
    procs->SetAttribValue("npc", -1, "late", "x");
    EXPECT_EQ(form.ListCaption->count(), 41);
    EXPECT_EQ(form.ListCaption->item(40)->text(), QStringLiteral("后加"));
    procs->SetAttribValue("role", 5, "name", G("英雄"));
    EXPECT_EQ(tools->AddRole.get().ListData->item(1)->text(), QStringLiteral("英雄"));
}

TEST_F(Lists, ListFilesMatchAnyLetterCase)
{
    procs->LoadRoleAttribList("roleattriblist.txt");
    EXPECT_EQ(m->RoleAttribCount, 21);
    m->RoleAttribs[0].data = "5";
    ASSERT_TRUE(procs->SaveRoleAttribList());
    QStringList variants;
    for (const QString& f : QDir(game.editorDir()).entryList(QDir::Files))
        if (f.compare("roleattriblist.txt", Qt::CaseInsensitive) == 0)
            variants << f;
    EXPECT_EQ(variants, QStringList{"RoleAttribList.txt"});
}

TEST_F(Lists, MalformedListsKeepTheRecordsBeforeAndRefuseTheSave)
{
    const QByteArray good = Record(0, "a", "1", "id") + Record(1, "b", "2", "name");
    struct Case {
        const char* what;
        QByteArray bad;
        const char* message;
    } cases[] = {
        {"missing fields", "2,\"c\",\"textbox\"\r\n", "只有 3 个"},
        {"extra field", "2,\"c\",\"t\",\"all\",\"0\",\"v\",#TRUE#,\"\",\"more\"\r\n", "多于 8 个"},
        {"index text", "x,\"c\",\"t\",\"all\",\"0\",\"v\",#TRUE#,\"\"\r\n", "编号“x”"},
        {"editable", "2,\"c\",\"t\",\"all\",\"0\",\"v\",yes,\"\"\r\n", "#TRUE# 或 #FALSE#"},
        {"cut at the end", "2,\"c\",\"t\",\"all\"", "只有 4 个"},
        // A double quote, comma or line break inside a value would end its
        // field early.
        {"quote inside", Record(2, "hp", "1\"0", "hp"), "属性“hp”的数据含有双引号"},
        {"quote then comma", Record(2, "hp", "1\",0", "hp"), "属性“hp”的变量名含有双引号"},
        {"quote at the end", Record(2, "hp", "10\"", "hp"), "属性“hp”的数据含有双引号"},
        {"quote in the name", Record(2, "h\"p", "10", "hp"), "这条记录的名称含有双引号"},
        {"comma", Record(2, "hp", "1,0", "hp"), "属性“hp”的数据含有逗号"},
        {"line break", Record(2, "hp", "1\r\n0", "hp"), "属性“hp”的数据含有换行"},
        {"other", "2,\"hp\",\"textbox\",\"all\",\"1\",\"hp\",#TRUE#,\"x\"y\"\r\n", "属性“hp”的其他含有双引号"},
        {"no closing quote", "2,\"hp\",\"textbox\",\"all\",\"1\",\"hp\",#TRUE#,\"x", "属性“hp”的其他含有双引号"},
    };
    for (const Case& c : cases) {
        const bool atEnd = !c.bad.endsWith('\n');
        const QByteArray bytes = good + c.bad + (atEnd ? QByteArray() : Record(3, "d", "4", "lx"));
        game.write("editor/NpcAttribList.txt", bytes);
        dialogs.messages.clear();
        procs->LoadNpcAttribList("NpcAttribList.txt");
        EXPECT_EQ(m->NpcAttribCount, 2) << c.what;
        EXPECT_TRUE(dialogs.saw(QString::fromUtf8(c.message)))
            << c.what << ": " << dialogs.messages.join("|").toStdString();
        EXPECT_TRUE(dialogs.saw(QStringLiteral("第 3 行"))) << c.what;
        EXPECT_FALSE(procs->SaveNpcAttribList()) << c.what;
        EXPECT_EQ(ReadBytes(game.path("editor/NpcAttribList.txt")), bytes) << c.what;
    }
    // Blank lines at the end are no record.
    game.write("editor/NpcAttribList.txt", good + "\r\n  \r\n");
    dialogs.messages.clear();
    procs->LoadNpcAttribList("NpcAttribList.txt");
    EXPECT_EQ(m->NpcAttribCount, 2);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(procs->SaveNpcAttribList());
    // More records than the list holds: the first 51, and no save.
    QByteArray many;
    for (int i = 0; i < 60; ++i)
        many += Record(i, "n", "0", "v" + QByteArray::number(i));
    game.write("editor/NpcAttribList.txt", many);
    procs->LoadNpcAttribList("NpcAttribList.txt");
    EXPECT_EQ(m->NpcAttribCount, 51);
    EXPECT_EQ(m->NpcAttribs[50].varname, "v50");
    EXPECT_TRUE(dialogs.saw(QStringLiteral("记录超过 51 条")));
    EXPECT_FALSE(procs->SaveNpcAttribList());
    // A missing list: a message and an empty list.
    QFile::remove(game.path("editor/MonsterAttribList.txt"));
    dialogs.messages.clear();
    procs->LoadMonsterAttribList("monsterattriblist.txt");
    EXPECT_EQ(m->MonsterAttribCount, 0);
    EXPECT_TRUE(dialogs.saw(QStringLiteral("monsterattriblist.txt")));
}

// Every string field is quoted, so a comma inside one is part of its value;
// only the data, which the statements write unquoted, may hold none.
TEST_F(Lists, CommasInsideQuotedFieldsAreReadAndSavedBack)
{
    const QByteArray bytes = Record(0, "a", "1", "id") +
                             "1,\"h,p\",\"textbox\",\"all,one\",\"10\",\"hp,max\",#TRUE#,\"x,y\"\r\n" +
                             Record(2, "d", "4", "lx");
    game.write("editor/NpcAttribList.txt", bytes);
    procs->LoadNpcAttribList("NpcAttribList.txt");
    ASSERT_EQ(m->NpcAttribCount, 3) << dialogs.messages.join("|").toStdString();
    EXPECT_EQ(m->NpcAttribs[1].name, "h,p");
    EXPECT_EQ(m->NpcAttribs[1].restrict, "all,one");
    EXPECT_EQ(m->NpcAttribs[1].varname, "hp,max");
    EXPECT_EQ(m->NpcAttribs[1].other, "x,y");
    EXPECT_EQ(m->NpcAttribs[2].varname, "lx");
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("|").toStdString();
    EXPECT_EQ(procs->GetAttribValue("npc", -1, "hp,max"), "10");
    QFile::remove(game.path("editor/NpcAttribList.txt"));
    ASSERT_TRUE(procs->SaveNpcAttribList());
    EXPECT_EQ(ReadBytes(game.path("editor/NpcAttribList.txt")), bytes);
}

// The saver refuses a value set in memory that the file could not hold
// back: a double quote, comma or line break would end its field early.
TEST_F(Lists, ValuesThatWouldEndTheirFieldAreRefusedByTheSaver)
{
    game.write("editor/NpcAttribList.txt", NpcAttribListBytes());
    procs->LoadNpcAttribList("NpcAttribList.txt");
    for (const char* value : {"a\"b", "a,b", "a\nb", "a\rb"}) {
        dialogs.messages.clear();
        EXPECT_EQ(procs->SetAttribValue("npc", -1, "speed", value), "1");
        EXPECT_FALSE(procs->SaveNpcAttribList()) << value;
        EXPECT_TRUE(dialogs.saw(QStringLiteral("属性“速度”的数据"))) << dialogs.messages.join("|").toStdString();
        EXPECT_EQ(ReadBytes(game.path("editor/NpcAttribList.txt")), NpcAttribListBytes()) << value;
    }
    procs->SetAttribValue("npc", -1, "speed", "3");
    EXPECT_TRUE(procs->SaveNpcAttribList());
    procs->LoadNpcAttribList("NpcAttribList.txt");
    EXPECT_EQ(m->NpcAttribs[6].data, "3");
}

TEST(TextHelpers, Table)
{
    EXPECT_EQ(GetParentPath("/g/editor/", 1), "/g/");
    EXPECT_EQ(GetParentPath("/g/editor", 1), "/g/");
    EXPECT_EQ(GetParentPath("/g/Map/a.jmap", 2), "/g/");
    EXPECT_EQ(GetParentPath("/g/Map/a.jmap", 0), "/g/Map/a.jmap");
    EXPECT_EQ(GetParentPath("a.jmap", 1), "");
    EXPECT_EQ(GetParentPath("", 2), "");
    EXPECT_EQ(GetFileName("/g/Map/a.jmap"), "a.jmap");
    EXPECT_EQ(GetFileName("/g/d/"), "d/");
    EXPECT_EQ(GetFileName("a.jmap"), "a.jmap");
    EXPECT_EQ(GetFileName(""), "");
    EXPECT_EQ(StripExtension("a.b.jmap"), "a.b");
    EXPECT_EQ(StripExtension("noext"), "noext");
    EXPECT_EQ(StripExtension("a."), "a.");
    EXPECT_EQ(GetFileTitle(""), "");
    EXPECT_EQ(GetFileTitle("/g/Map/demo.jmap"), "demo");
    struct Sheet {
        const char* name;
        int index;
    } sheets[] = {{"map1", 0}, {"map2", 1}, {"map3", 2}, {"anpc", 3}, {"monster", 4},
                  {"MAP2", 0}, {"ANPC", 0}, {"npc", 0},  {"", 0}};
    for (const Sheet& s : sheets)
        EXPECT_EQ(GetSheetIndex(s.name), s.index) << s.name;
    EXPECT_EQ(GetNumber(QByteArray(",12,a")), 12);
    EXPECT_EQ(GetNumber(QByteArray("3,4")), 34);
    EXPECT_EQ(GetNumber(QByteArray("abc")), -1);
    EXPECT_EQ(GetNumber(QByteArray("99999")), -1);
    EXPECT_EQ(GetNumber(QStringLiteral("第7个")), 7);
    EXPECT_EQ(FindNthString("aaa", "aa", 2, 1), 4);
    EXPECT_EQ(FindNthString("aaa", "aa", 3, 1), 1);
    EXPECT_EQ(FindNthString("x(y(z", "(", 1, 3), 5);
    EXPECT_EQ(FindNthString("abc", "", 1, 1), 1);
}

TEST(TextHelpers, CutStatementRemovesTheStatementLine)
{
    const QByteArray text = "A(,1,);\r\nB(,2,);\r\nC(,3,);\r\nEOF";
    EXPECT_EQ(CutStatement(text, 3), "\nB(,2,);\r\nC(,3,);\r\nEOF");
    EXPECT_EQ(CutStatement(text, 12), "A(,1,);\r\nC(,3,);\r\nEOF");
    EXPECT_EQ(CutStatement(text, 21), "A(,1,);\r\nB(,2,);\r\nEOF");
    EXPECT_EQ(CutStatement("A(,1,", 3), "");
    EXPECT_EQ(CutStatement("A(;xy", 1), "y");
}

namespace {

class Placement : public Lists {
protected:
    QString list(const char* name) const { return game.path(QStringLiteral("Script/") + name); }
    QString mapPath() const { return game.path("Map/demo.jmap"); }
};

} // namespace

TEST_F(Placement, RemoveScriptEntryCutsExactlyTheStatement)
{
    m->AppDir = game.editorDir();
    game.write("Script/one_npc.jsr", "AddNpc(,1,x,);\r\nEOF");
    procs->RemoveScriptEntry("one_npc", 1);
    EXPECT_EQ(ReadBytes(list("one_npc.jsr")), "\nEOF\r\n");

    game.write("Script/two_npc.jsr", "AddNpc(,1,a,);\r\nAddNpc(,2,b,);\r\nEOF");
    procs->RemoveScriptEntry("two_npc", 2);
    EXPECT_EQ(ReadBytes(list("two_npc.jsr")), "AddNpc(,1,a,);\r\nEOF\r\n");

    // Id 3 followed by a value starting with 4 is not id 34; a '(' inside a
    // value is not a statement.
    const QByteArray tricky = "AddNpc(,3,4a(,);\r\nAddNpc(,34,b,);\r\nEOF";
    game.write("Script/tricky_npc.jsr", tricky);
    procs->RemoveScriptEntry("TRICKY_NPC", 34);
    EXPECT_EQ(ReadBytes(list("tricky_npc.jsr")), "AddNpc(,3,4a(,);\r\nEOF\r\n");
}

TEST_F(Placement, RemoveScriptEntryLeavesTheFileAloneWhenItCannot)
{
    const QByteArray bytes = "AddNpc(,1,a,);\r\nAddNpc(,2,b,);\r\nEOF";
    game.write("Script/x_npc.jsr", bytes);
    const QDateTime mtime = QFileInfo(list("x_npc.jsr")).lastModified();
    QTest::qWait(20);
    procs->RemoveScriptEntry("x_npc", 7);
    EXPECT_EQ(ReadBytes(list("x_npc.jsr")), bytes);
    EXPECT_EQ(QFileInfo(list("x_npc.jsr")).lastModified(), mtime);
    EXPECT_TRUE(dialogs.saw(QStringLiteral("没有编号为 7 的语句")));
    procs->RemoveScriptEntry("missing_npc", 1);
    EXPECT_TRUE(dialogs.saw(QStringLiteral("找不到放置列表")));
}

TEST_F(Placement, LoadersReadWhatTheToolsWrite)
{
    loadAll();
    QStringList first = NpcEntry(2, 9, 64, 32);
    first[1] = QStringLiteral("张 三");
    first[5] = "";
    game.write("Script/demo_npc.jsr", PlacementBytes("AddNpc(", {first, NpcEntry(1, 0, 0, 0)}));
    procs->LoadMapNpcList(mapPath());
    ASSERT_EQ(m->NpcCount, 2);
    for (int a = 0; a < 16; ++a) {
        QByteArray expected;
        fr::gbk::encode(first[a], expected);
        EXPECT_EQ(m->NpcValues[0][a], expected) << a;
    }
    EXPECT_EQ(m->NpcListPath, list("demo_npc.jsr"));
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("|").toStdString();

    // No list: count and values stay.
    procs->LoadMapMonsterList(mapPath());
    m->MonsterCount = 3;
    m->MonsterValues[0][0] = "keep";
    procs->LoadMapMonsterList(mapPath());
    EXPECT_EQ(m->MonsterCount, 3);
    EXPECT_EQ(m->MonsterValues[0][0], "keep");
}

TEST_F(Placement, FiftyEntriesAreTheLimit)
{
    loadAll();
    std::vector<QStringList> entries;
    for (int i = 0; i < 50; ++i)
        entries.push_back(NpcEntry(i, 0, i, i));
    game.write("Script/demo_npc.jsr", PlacementBytes("AddNpc(", entries));
    procs->LoadMapNpcList(mapPath());
    EXPECT_EQ(m->NpcCount, 50);
    EXPECT_EQ(dialogs.count(QStringLiteral("npc数目超过额定!")), 1);
    EXPECT_FALSE(m->PartlyReadFiles.contains(list("demo_npc.jsr")));

    // One more entry is left unread: the file may not be rewritten.
    entries.push_back(NpcEntry(77, 0, 0, 0));
    const QByteArray bytes = PlacementBytes("AddNpc(", entries);
    game.write("Script/demo_npc.jsr", bytes);
    procs->LoadMapNpcList(mapPath());
    EXPECT_EQ(m->NpcCount, 50);
    EXPECT_TRUE(m->PartlyReadFiles.contains(list("demo_npc.jsr")));
    procs->RemoveScriptEntry("demo_npc", 0);
    EXPECT_EQ(ReadBytes(list("demo_npc.jsr")), bytes);
    EXPECT_TRUE(dialogs.saw(QStringLiteral("只读入了一部分")));
}

TEST_F(Placement, ShortAndOddEntries)
{
    loadAll();
    // Written under another attribute count: the cut entry is not counted.
    QStringList shortEntry = NpcEntry(1, 0, 0, 0);
    shortEntry.removeLast();
    shortEntry.removeLast();
    QByteArray bytes = PlacementBytes("AddNpc(", {NpcEntry(0, 0, 0, 0), shortEntry});
    bytes.chop(3); // no "EOF": the file ends inside the second entry
    game.write("Script/demo_npc.jsr", bytes);
    procs->LoadMapNpcList(mapPath());
    EXPECT_EQ(m->NpcCount, 1);
    EXPECT_TRUE(dialogs.saw(QStringLiteral("第 2 条记录")));
    EXPECT_TRUE(m->PartlyReadFiles.contains(list("demo_npc.jsr")));

    // Entries that do not close with ");" are read and warned about once.
    dialogs.messages.clear();
    QByteArray unclosed = PlacementBytes("AddNpc(", {NpcEntry(0, 0, 0, 0), NpcEntry(1, 0, 0, 0)});
    unclosed.replace(");", ")");
    game.write("Script/demo_npc.jsr", unclosed);
    procs->LoadMapNpcList(mapPath());
    EXPECT_EQ(m->NpcCount, 2);
    EXPECT_EQ(dialogs.count(QStringLiteral("没有以“);”结束")), 1);
    EXPECT_FALSE(m->PartlyReadFiles.contains(list("demo_npc.jsr")));
}
