// Save games: round trips, damaged files refused with nothing changed, and
// failed saves that leave the old file whole.
#include "script_fixture.h"

#include <sstream>

#include "core/graph.h"
#include "script/ui.h"
#include "world/map.h"
#include "world_fixtures.h"

using namespace tevtest;

namespace {

class SaveGames : public ScriptFixture {
protected:
    void SetUp() override
    {
        ScriptFixture::SetUp();
        std::filesystem::create_directories(root_ / "Save");
        std::filesystem::create_directories(root_ / "ui");
        for (const char* f : {"title_frame", "main_frame", "loading_frame", "saved_frame", "dead_frame",
                              "selectload_frame"})
            WriteFile(root_ / "ui" / (std::string(f) + ".jui"),
                      "\"frame\",1,\"" + std::string(f) + "\"\r\n\"EOF\"\r\n");
        Script("MagicKindList", {"EOF"});
        WriteMap(root_, "m", MapText(20, 15, "20,15,1,0,0"));
        WriteMap(root_, "m2", MapText(10, 10, "10,10,1,0,0"));
    }

    // A game with something in every section.
    void MakeGame()
    {
        ASSERT_EQ(g_Map.ChangeMap("m"), 1);
        g_GameState = 3;
        g_DialogOpen = 0;
        g_Control.keyEnabled[17] = 0;
        g_Control.keyEnabled[29] = 7;
        g_Script.SetStaticVar("sint", "a", 5);
        g_Script.SetStaticVar("int", G("怪_dead"), 1);
        g_Script.clockEnabled = 1;
        g_Script.clockScripts = {"c1", "c2"};
        g_Role.name = G("主角");
        g_Role.x = 123;
        g_Role.itemCount = 1;
        g_Role.items[0] = G("剑");
        Npc n;
        n.name = "npc1";
        n.x = 40;
        g_Npcs = {n};
        g_TalkNpcIndex = 0;
        Monster m;
        m.name = "mon1";
        m.hp = 9;
        g_Monsters = {m, m};
        g_hitMonsterIndex = 1;
        g_Magics.resize(2);
    }

    // The values a load must bring back (or leave alone when it fails).
    std::string Snapshot()
    {
        std::ostringstream o;
        o << g_DialogOpen << '|' << g_Control.keyEnabled[17] << g_Control.keyEnabled[29] << '|';
        for (size_t i = 0; i < g_Script.staticNames.size(); ++i)
            o << g_Script.staticTypes[i] << ' ' << g_Script.staticNames[i] << '=' << g_Script.staticValues[i] << ',';
        o << '|' << g_Script.clockEnabled;
        for (const auto& c : g_Script.clockScripts)
            o << c << ',';
        o << '|' << g_Role.name << ' ' << g_Role.x << ' ' << g_Role.itemCount << ' ' << g_Role.items[0] << '|'
          << g_Npcs.size() << g_TalkNpcIndex;
        for (const auto& n : g_Npcs)
            o << n.name << n.x;
        o << '|' << g_Monsters.size() << g_hitMonsterIndex;
        for (const auto& m : g_Monsters)
            o << m.name << m.hp;
        return o.str();
    }

    void ChangeEverything()
    {
        g_DialogOpen = 1;
        g_Control.keyEnabled[17] = 1;
        g_Control.keyEnabled[29] = 1;
        g_Script.staticTypes = {"sint"};
        g_Script.staticNames = {"other"};
        g_Script.staticValues = {1};
        g_Script.clockEnabled = 0;
        g_Script.clockScripts = {"x"};
        g_Role.name = "someone";
        g_Role.x = 1;
        g_Role.itemCount = 0;
        g_Role.items[0].clear();
        g_Npcs.clear();
        g_TalkNpcIndex = -1;
        g_Monsters.resize(1);
        g_hitMonsterIndex = -1;
    }

    // A game saved into `slot`, then changed, and the title on screen.
    void SaveAndGoToTheTitle(int slot)
    {
        MakeGame();
        ASSERT_EQ(g_Ui.SaveGame(slot), 1);
        ChangeEverything();
        g_GameState = 1;
        g_Ui.UnloadAll();
        g_Ui.LoadFrame("title_frame");
    }

    std::filesystem::path SavePath(int slot) { return root_ / "Save" / ("tev" + std::to_string(slot) + ".jsv"); }
    bool HasFrame(const std::string& name)
    {
        for (const auto& f : g_Ui.frames)
            if (f.name == name)
                return true;
        return false;
    }
};

TEST_F(SaveGames, SaveChangeLoadBringsEverythingBack)
{
    MakeGame();
    const std::string saved = Snapshot();
    g_Npcs[0].path = {30000, 2};
    g_Npcs[0].pathStep = 1;
    ASSERT_EQ(g_Ui.SaveGame(3), 1);
    EXPECT_TRUE(HasFrame("saved_frame"));
    const auto lines = ReadLines(SavePath(3));
    ASSERT_GT(lines.size(), 280u);
    EXPECT_EQ(lines[0], "0");
    EXPECT_EQ(lines[2], "1"); // the current slot, not the one saved into
    EXPECT_FALSE(std::filesystem::exists(SavePath(3).string() + ".tmp"));

    // Saving again replaces the file whole.
    g_Role.x = 124;
    ASSERT_EQ(g_Ui.SaveGame(3), 1);
    ChangeEverything();
    ASSERT_EQ(g_Ui.LoadGame(3), 1);
    g_Role.x = 123;
    EXPECT_EQ(Snapshot(), saved);
    EXPECT_TRUE(g_Magics.empty());
    // No map holds the saved path's cells: the path is dropped.
    EXPECT_TRUE(g_Npcs[0].path.empty());
    EXPECT_EQ(g_Npcs[0].pathStep, 0);
    EXPECT_FALSE(HasFrame("loading_frame"));
    EXPECT_EQ(g_GameState, 3);

    // A game without statics or clock scripts: its script section is three lines.
    g_Script.staticNames.clear();
    g_Script.staticTypes.clear();
    g_Script.staticValues.clear();
    g_Script.clockScripts.clear();
    ASSERT_EQ(g_Ui.SaveGame(4), 1);
    const auto l4 = ReadLines(SavePath(4));
    EXPECT_EQ(l4[3 + 268], "0");
    EXPECT_EQ(l4[3 + 268 + 1], "1");
    EXPECT_EQ(l4[3 + 268 + 2], "0");
    EXPECT_EQ(l4[3 + 268 + 3], "NULL");
}

TEST_F(SaveGames, LoadCommandFromTheTitleStartsPlayAndGoesOn)
{
    SaveAndGoToTheTitle(2);
    g_Ui.LoadFrame("dead_frame");
    Script("l", {"LoadGame(9)", "LoadGame(2)", "static int after = 1;", "EOF"});
    Run("l");
    // Slot 9 has no file: nothing changed, the frames stayed; slot 2 loaded.
    EXPECT_EQ(g_Script.LookupVariable("after", 1) >= 0, true);
    EXPECT_EQ(g_GameState, 3);
    EXPECT_EQ(g_Paused, 0);
    EXPECT_EQ(g_Ui.g_LoadSlot, 1); // read back from the file
    EXPECT_TRUE(HasFrame("main_frame"));
    EXPECT_FALSE(HasFrame("title_frame"));
    EXPECT_FALSE(HasFrame("dead_frame"));
    EXPECT_EQ(g_Role.name, G("主角"));
    EXPECT_EQ(CountAlerts("存档"), 0);
}

TEST_F(SaveGames, LoadFromACalledScriptAtTheTitleRunsTheMagicListAndGoesOn)
{
    SaveAndGoToTheTitle(2);
    Script("MagicKindList",
           {"AddToMagicList(,magic0,0,fire,32,32,4,2,150,fire,300,6,0,0,1,3000,25,0,0,0,0,0,2,3,30,31,0,0,40,3,1,5,);",
            "EOF"});
    Script("title", {"ReadAScriptFile(\"b\")", "static int titleAfter = 1;", "EOF"});
    Script("b", {"LoadGame(2)", "static int bAfter = 1;", "EOF"});
    Run("title");
    EXPECT_EQ(g_MagicKinds.size(), 1u) << "the magic list ran";
    EXPECT_EQ(g_GameState, 3);
    // The called script goes on after its LoadGame, then returns to its caller.
    const auto statics = Statics();
    EXPECT_EQ(statics.count("a"), 1u) << "the saved statics";
    EXPECT_EQ(statics.count("bAfter"), 1u);
    EXPECT_EQ(statics.count("titleAfter"), 1u);
    EXPECT_EQ(g_Script.running, 0);
}

TEST_F(SaveGames, DamagedFilesAreRefusedAndNothingChanges)
{
    MakeGame();
    g_Npcs.clear();
    g_Monsters.clear();
    g_TalkNpcIndex = -1;
    g_hitMonsterIndex = -1;
    ASSERT_EQ(g_Ui.SaveGame(5), 1);
    const std::string good = ReadFile(SavePath(5));
    auto lines = ReadLines(SavePath(5));
    auto join = [](std::vector<std::string> ls) {
        std::string s;
        for (auto& l : ls)
            s += l + "\n";
        return s;
    };
    auto with = [&](size_t at, const std::string& v) {
        auto ls = lines;
        ls[at] = v;
        return join(ls);
    };
    const size_t n = lines.size();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"empty", ""},
        {"half", good.substr(0, good.size() / 2)},
        {"last line cut", good.substr(0, good.size() - 3)},
        {"not a number", with(5, "abc")},
        {"statics huge", with(3 + 268, "2000000000")},
        {"statics negative", with(3 + 268, "-1")},
        {"npcs huge", with(n - 4, "1000000000")},
        {"npcs more than there", with(n - 4, "3")},
        {"monsters huge", with(n - 2, "2147483647")},
        {"not a save", "hello\r\nworld\r\n"},
    };
    ChangeEverything();
    g_Magics.resize(1);
    const std::string before = Snapshot();
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        Fresh();
        g_Script.staticTypes = {"sint"};
        g_Script.staticNames = {"other"};
        g_Script.staticValues = {1};
        WriteFile(SavePath(6), bytes);
        const size_t frames = g_Ui.frames.size();
        EXPECT_EQ(g_Ui.LoadGame(6), 0);
        EXPECT_EQ(Snapshot(), before);
        EXPECT_EQ(g_Magics.size(), 1u);
        EXPECT_EQ(g_Ui.frames.size(), frames);
        EXPECT_EQ(g_Ui.saveFile, nullptr);
        EXPECT_EQ(CountAlerts("存档文件已损坏"), 1);
    }
    // The good file still loads.
    EXPECT_EQ(g_Ui.LoadGame(5), 1);
}

TEST_F(SaveGames, FailedSaveLeavesTheOldFileAndSaysSo)
{
    MakeGame();
    ASSERT_EQ(g_Ui.SaveGame(7), 1);
    const std::string old = ReadFile(SavePath(7));
    g_Ui.UnloadAll();
    g_Role.x = 999;
    // The temporary file can't be made: a folder stands in its place.
    std::filesystem::create_directories(SavePath(7).string() + ".tmp");
    EXPECT_EQ(g_Ui.SaveGame(7), 0);
    EXPECT_EQ(ReadFile(SavePath(7)), old);
    EXPECT_FALSE(HasFrame("saved_frame"));
    EXPECT_EQ(CountAlerts("存档失败"), 1);

    EXPECT_EQ(CountAlerts("是一个文件夹"), 1) << "the system's reason, in Chinese";
    EXPECT_EQ(CountAlerts("存档失败，原来的存档未改动：Save\\tev7.jsv.tmp（是一个文件夹）"), 1)
        << "the folder stands at the temporary file's name";

    // No save folder at all.
    std::filesystem::remove_all(root_ / "Save");
    EXPECT_EQ(g_Ui.SaveGame(1), 0);
    EXPECT_EQ(CountAlerts("存档失败"), 2);
    EXPECT_EQ(CountAlerts("存档失败，原来的存档未改动：Save\\tev1.jsv（文件夹不存在）"), 1);
    EXPECT_EQ(g_Ui.LoadGame(1), 0);
}


TEST_F(SaveGames, WhatStandsAtTheTemporaryNameIsNeverWrittenThrough)
{
    namespace fs = std::filesystem;
    const fs::path outside = TempDir("outside") / "precious.txt";
    enum class Stands { Nothing, StaleFile, LinkToOutside, LinkToFullDevice, Folder };
    struct Case {
        const char* what;
        Stands stands;
        bool saves;
    } cases[] = {
        {"nothing", Stands::Nothing, true},
        {"a stale file", Stands::StaleFile, true},
        {"a link to an outside file", Stands::LinkToOutside, true},
        {"a link to a full device", Stands::LinkToFullDevice, true},
        {"a folder", Stands::Folder, false},
    };
    MakeGame();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        g_Ui.UnloadAll();
        g_Role.x = 100;
        ASSERT_EQ(g_Ui.SaveGame(8), 1);
        const std::string old = ReadFile(SavePath(8));
        WriteFile(outside, "keep me");
        const fs::path temp = SavePath(8).string() + ".tmp";
        switch (c.stands) {
        case Stands::Nothing: break;
        case Stands::StaleFile: WriteFile(temp, "half a save"); break;
        case Stands::LinkToOutside: fs::create_symlink(outside, temp); break;
        case Stands::LinkToFullDevice: fs::create_symlink("/dev/full", temp); break;
        case Stands::Folder: fs::create_directories(temp); break;
        }
        g_Ui.UnloadAll();
        g_Role.x = 200;
        EXPECT_EQ(g_Ui.SaveGame(8), c.saves ? 1 : 0);
        EXPECT_EQ(ReadFile(outside), "keep me");
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(SavePath(8))));
        EXPECT_EQ(HasFrame("saved_frame"), c.saves);
        EXPECT_EQ(CountAlerts("存档失败"), c.saves ? 0 : 1);
        if (c.saves) {
            EXPECT_NE(ReadFile(SavePath(8)), old);
            EXPECT_FALSE(fs::exists(fs::symlink_status(temp)));
            g_Role.x = 0;
            ASSERT_EQ(g_Ui.LoadGame(8), 1);
            EXPECT_EQ(g_Role.x, 200);
        } else {
            EXPECT_EQ(ReadFile(SavePath(8)), old);
            fs::remove_all(temp);
        }
    }
}

TEST_F(SaveGames, ATalkFlagHoldsOnlyWhileATalkIsLive)
{
    // Saved from the menu while a talk was shown; the talk itself is not in
    // the file, so a game loaded without it must not stay paused.
    struct Case {
        const char* what;
        bool talkAtLoad;
        int32_t flag;
    } cases[] = {
        {"loaded from the title, the talk gone", false, 0},
        {"loaded in game while the talk still shows", true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        g_Ui.UnloadAll();
        MakeGame();
        Script("t", {"Talk(\"s\", \"a\", \"b\", \"c\")", "EOF"});
        ASSERT_EQ(g_Script.OpenScript("t"), 1);
        g_Script.Step();
        ASSERT_EQ(g_DialogOpen, 1);
        ASSERT_EQ(g_Ui.SaveGame(2), 1);
        EXPECT_EQ(ReadLines(SavePath(2))[0], "1");
        g_Ui.UnloadAll();
        if (!c.talkAtLoad) {
            g_Script.EndRun();
            g_GameState = 1;
            g_Ui.LoadFrame("title_frame");
        }
        ASSERT_EQ(g_Ui.LoadGame(2), 1);
        EXPECT_EQ(g_DialogOpen, c.flag);
        g_Script.EndRun();
    }
}

TEST_F(SaveGames, ARoleSavedOutsideASmallerMapComesOntoItsNearestCell)
{
    struct Case {
        const char* what;
        float x, y;         // saved on a 20 x 15 map
        float wantX, wantY; // loaded on it cut to 10 x 10: the 32 x 48
                            // frame wholly on it, centred on a cell
        bool said;
    } cases[] = {
        {"inside", 100, 50, 100, 50, false},
        {"right of it", 600, 50, 288, 48, true},
        {"below and right", 600, 400, 288, 272, true},
        {"left of it", -286, 200, 0, 208, true},
        {"above it", 10, -5, 0, 16, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        WriteMap(root_, "m", MapText(20, 15, "20,15,1,0,0"));
        g_Ui.UnloadAll();
        MakeGame();
        g_Role.x = c.x;
        g_Role.y = c.y;
        ASSERT_EQ(g_Ui.SaveGame(2), 1);
        WriteMap(root_, "m", MapText(10, 10, "10,10,1,0,0"));
        g_GameState = 1;
        g_Ui.UnloadAll();
        g_Ui.LoadFrame("title_frame");
        ASSERT_EQ(g_Ui.LoadGame(2), 1);
        EXPECT_EQ(g_Role.x, c.wantX);
        EXPECT_EQ(g_Role.y, c.wantY);
        EXPECT_EQ(CountAlerts("存档中主角的位置在地图之外，已移到地图上最近的格子：Save\\tev2.jsv (m)"), c.said ? 1 : 0);
        if (c.said) {
            // Placed as a change of map places it: the camera stays on the map.
            EXPECT_FLOAT_EQ(g_Role.viewX, g_Role.x * 593.0f / 320.0f);
            EXPECT_FLOAT_EQ(g_Role.viewY, g_Role.y * 321.0f / 320.0f);
        }
    }
}

TEST_F(SaveGames, ASaveWhoseMapCantBeReadIsRefusedAndNothingChanges)
{
    MakeGame();
    ASSERT_EQ(g_Ui.SaveGame(2), 1);
    struct Case {
        const char* what;
        int32_t state;
        std::string mapText;   // empty: the map file is gone
    } cases[] = {
        {"from the title, map gone", 1, ""},
        {"from the title, map damaged", 1, "20,x,1,0,0\r\n"},
        {"at start-up, map gone", 2, ""},
        {"in game on another map, map gone", 3, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        WriteMap(root_, "m", MapText(20, 15, "20,15,1,0,0"));
        ChangeEverything();
        g_Ui.UnloadAll();
        g_GameState = c.state;
        if (c.state == 1)
            g_Ui.LoadFrame("title_frame");
        if (c.state != 1) {
            ASSERT_EQ(g_Map.ChangeMap("m2"), 1);
        }
        if (c.mapText.empty())
            std::filesystem::remove(root_ / "Map" / "m.jmap");
        else
            WriteFile(root_ / "Map" / "m.jmap", c.mapText);
        const std::string before = Snapshot();
        const std::string mapBefore = g_Map.name;
        const int32_t loadedBefore = g_Map.loaded;
        const size_t frames = g_Ui.frames.size();
        EXPECT_EQ(g_Ui.LoadGame(2), 0);
        EXPECT_EQ(g_Ui.loadRefused, 1);
        EXPECT_EQ(Snapshot(), before);
        EXPECT_EQ(g_GameState, c.state);
        EXPECT_EQ(g_Map.name, mapBefore);
        EXPECT_EQ(g_Map.loaded, loadedBefore);
        EXPECT_EQ(g_Ui.frames.size(), frames);
        EXPECT_FALSE(HasFrame("main_frame"));
        EXPECT_EQ(CountAlerts("存档中的地图无法读取，未读取存档：m"), 1);
    }
    // With its map back the same save loads and starts play.
    WriteMap(root_, "m", MapText(20, 15, "20,15,1,0,0"));
    g_GameState = 1;
    EXPECT_EQ(g_Ui.LoadGame(2), 1);
    EXPECT_EQ(g_Ui.loadRefused, 0);
    EXPECT_EQ(g_Map.name, "m");
    EXPECT_EQ(g_GameState, 3);
}

TEST_F(SaveGames, ASaveReachesTheDiskBeforeAndAfterItsRename)
{
    MakeGame();
    ASSERT_EQ(g_Ui.SaveGame(3), 1);
    std::vector<std::string> steps;
    for (const auto& line : ReadLines(root_ / "log.txt"))
        for (const char* step : {"save write", "save sync file", "save sync folder"})
            if (line.find(step) != std::string::npos)
                steps.push_back(step);
    EXPECT_EQ(steps, (std::vector<std::string>{"save write", "save sync file", "save sync folder"}));
}

} // namespace
