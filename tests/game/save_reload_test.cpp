// Saves made by one run of the headless game and loaded by a new one, as a
// player saves, quits and starts again; and the role at the map's edges.
// The first run is the harness program in a process of its own; the second
// is the game started in this test's process, which has run no game before.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

#include "app/globals.h"
#include "app/winmain.h"
#include "test_support.h"
#include "world_fixtures.h"

using namespace tevtest;
namespace fs = std::filesystem;

namespace {

// A copy of the demo's game folder.
fs::path DemoFolder()
{
    const fs::path root = TempDir("game");
    fs::copy(TEV_DEMO_DIR, root, fs::copy_options::recursive);
    return root;
}

// The game folder's start state: 1 the title, 2 slot 1 loaded, 3 a new game.
void SetStartState(const fs::path& root, int state)
{
    WriteFile(root / "config.jcf", "0!\r\n" + std::to_string(state) + "!\r\n0!\r\n1!\r\n0!\r\n");
}

void WriteScript(const fs::path& root, const std::string& name, const std::vector<std::string>& lines)
{
    std::string bytes;
    for (const auto& l : lines)
        bytes += G(l.c_str()) + "\r\n";
    WriteFile(root / "Script" / (name + ".jsr"), bytes);
}

// The harness's input file: "<pass> key|button|mouse ..." lines.
class Input {
public:
    Input& Key(int pass, const std::string& name, int hold)
    {
        lines_ += std::to_string(pass) + " key " + name + " down\n";
        lines_ += std::to_string(pass + hold) + " key " + name + " up\n";
        return *this;
    }
    // Moves the cursor to (x, y) two passes before a left click there.
    Input& Click(int pass, int x, int y)
    {
        lines_ += std::to_string(pass - 2) + " mouse " + std::to_string(x - cursorX_) + " " +
                  std::to_string(y - cursorY_) + "\n";
        cursorX_ = x, cursorY_ = y;
        lines_ += std::to_string(pass) + " button l down\n" + std::to_string(pass + 3) + " button l up\n";
        return *this;
    }
    // Esc at `pass` opens the menu; SAVE and slot 1 are clicked after it.
    Input& SaveToSlot1(int pass)
    {
        return Key(pass, "ESCAPE", 3).Click(pass + 25, 320, 154).Click(pass + 40, 320, 174);
    }
    fs::path Write(const fs::path& path) const
    {
        WriteFile(path, lines_);
        return path;
    }

private:
    std::string lines_;
    int cursorX_ = 320, cursorY_ = 240;
};

// One run of the harness program on `root`; its exit code.
int RunHarnessProcess(const fs::path& root, std::vector<std::string> args)
{
    args.insert(args.begin(), {TEV_HEADLESS_BIN, "--root", root.string(), "--log", (root / "run1.log").string()});
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int devnull = ::open("/dev/null", O_WRONLY);
        ::dup2(devnull, 1);
        ::dup2(devnull, 2);
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int LogCount(const fs::path& log, const std::string& part)
{
    const auto lines = ReadLines(log);
    return static_cast<int>(
        std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(part) != std::string::npos; }));
}

bool LogHas(const fs::path& log, const std::string& part) { return LogCount(log, part) > 0; }

// The game started in this process on `root` as the player starts it, for
// `passes` passes of scripted input; where the role stood after each pass.
struct Played {
    std::vector<std::pair<float, float>> at; // at[0]: after the first pass
    std::vector<std::string> boxes;          // message boxes (UTF-8)
    fs::path log;
};

Played Play(const fs::path& root, const Input& input, int passes)
{
    Played r;
    plat::headless::Options o;
    o.root = root;
    o.passes = passes;
    o.logFile = r.log = root / "run2.log";
    o.inputFile = input.Write(root / "run2.in");
    auto& p = InstallHeadless(o);
    std::string error;
    EXPECT_TRUE(p.LoadInputFile(&error)) << error;
    p.onPassEnd = [&r] { r.at.emplace_back(g_Role.x, g_Role.y); };
    EXPECT_EQ(WinMain(nullptr, nullptr, "", 1), 0);
    p.onPassEnd = nullptr;
    for (const auto& b : p.recordingDialogs().boxes)
        r.boxes.push_back(b.textUtf8);
    return r;
}

// ---------------------------------------------------------------- talks
enum class SavedBy { SavePointScript, MenuDuringTalk, InsideLock, InsideLockAfterATalk, StartUpScript };
enum class LoadedBy { StartState2, TitleLoad, MenuLoadInPlay };

// The game started so that it loads slot 1: at start-up (state 2), from the
// title (LOAD, slot 1) or in a new game from the menu (LOAD, slot 1, then
// BACK closes the menu). Returns the pass from which the loaded game is the
// player's.
int LoadSlot1(const fs::path& root, LoadedBy loaded, Input& input)
{
    switch (loaded) {
    case LoadedBy::StartState2: SetStartState(root, 2); return 5;
    case LoadedBy::TitleLoad:
        SetStartState(root, 1);
        input.Click(10, 320, 314).Click(25, 320, 174);
        return 40;
    case LoadedBy::MenuLoadInPlay:
        SetStartState(root, 3);
        input.Key(5, "ESCAPE", 3).Click(30, 320, 200).Click(45, 320, 174).Click(60, 320, 292);
        return 75;
    }
    return 0;
}

struct TalkSaveCase {
    const char* what;
    SavedBy saved;
    LoadedBy loaded;
};

void PrintTo(const TalkSaveCase& c, std::ostream* os) { *os << c.what; }

class TalkSave : public ::testing::TestWithParam<TalkSaveCase> {};

// Saved while a talk, a script's "LockKeyMouse" or the start-up script
// held the input, the game loads in a new process with the role free to
// walk and Esc opening the menu, whether or not a talk ran earlier in the
// saving process.
TEST_P(TalkSave, LoadsWithTheRoleFree)
{
    const TalkSaveCase& c = GetParam();
    const fs::path root = DemoFolder();
    Input first;
    if (c.saved == SavedBy::SavePointScript) {
        // The talk, answered after its second; then the script saves.
        WriteScript(root, "savepoint", {"Talk(\"石碑\",\"旅途劳顿\",\"在此记录进度\",\"\")", "SaveGame(1)",
                                        "DelayTime(2000)", "EOF"});
        first.Key(90, "SPACE", 3);
    } else if (c.saved == SavedBy::MenuDuringTalk) {
        // The menu opened, then a talk starts under it; SAVE and slot 1 are
        // clicked while the talk shows.
        WriteScript(root, "savepoint", {"DelayTime(200)", "Talk(\"村长\",\"且慢\",\"\",\"\")", "EOF"});
        first.Key(3, "ESCAPE", 3).Click(30, 320, 154).Click(45, 320, 174);
    } else if (c.saved == SavedBy::StartUpScript) {
        // The new game's start-up script saves before it lets the input go.
        std::string init = ReadFile(root / "Script" / "gameinit.jsr");
        const size_t unlock = init.find("UnlockKeyMouse()");
        ASSERT_NE(unlock, std::string::npos);
        init.insert(unlock, "SaveGame(1)\r\n");
        WriteFile(root / "Script" / "gameinit.jsr", init);
    } else {
        // A cut scene saves while it holds the input and lets it go after;
        // in one case a talk, answered, comes first.
        std::vector<std::string> lines = {"LockKeyMouse()", "SaveGame(1)", "UnlockKeyMouse()", "EOF"};
        if (c.saved == SavedBy::InsideLockAfterATalk) {
            lines.insert(lines.begin(), "Talk(\"石碑\",\"旅途劳顿\",\"\",\"\")");
            first.Key(90, "SPACE", 3);
        }
        WriteScript(root, "savepoint", lines);
    }
    SetStartState(root, 3);
    std::vector<std::string> args = {"--passes", "120", "--input", first.Write(root / "run1.in").string()};
    if (c.saved != SavedBy::StartUpScript)
        args.insert(args.begin(), {"--open", "savepoint"});
    ASSERT_EQ(RunHarnessProcess(root, args), 0);
    ASSERT_TRUE(LogHas(root / "run1.log", "save write 1"));
    ASSERT_TRUE(fs::exists(root / "Save" / "tev1.jsv"));
    if (c.saved == SavedBy::MenuDuringTalk)
        ASSERT_EQ(ReadLines(root / "Save" / "tev1.jsv")[0], "1") << "saved while the talk showed";

    // The second run: Esc opens the menu and BACK closes it, then D is held
    // for 20 passes (the village's first NPC stands further on).
    Input second;
    const int start = LoadSlot1(root, c.loaded, second);
    second.Key(start, "ESCAPE", 3).Click(start + 20, 320, 292).Key(start + 40, "D", 20);
    const Played r = Play(root, second, start + 90);
    ASSERT_TRUE(LogHas(r.log, "save load 1"));
    ASSERT_TRUE(LogHas(r.log, "ui load loading_frame"));
    EXPECT_EQ(LogCount(r.log, "ui load mainmenu_frame"), c.loaded == LoadedBy::MenuLoadInPlay ? 2 : 1)
        << "Esc opens the menu";
    ASSERT_GT(r.at.size(), static_cast<size_t>(start + 85));
    const float before = r.at[static_cast<size_t>(start + 35)].first;
    const float after = r.at[static_cast<size_t>(start + 85)].first;
    EXPECT_GT(after, before) << "D held moves the role to the right";
}

INSTANTIATE_TEST_SUITE_P(
    SaveLoad, TalkSave,
    ::testing::Values(TalkSaveCase{"save_point_script_then_start_state_2", SavedBy::SavePointScript, LoadedBy::StartState2},
                      TalkSaveCase{"save_point_script_then_title_load", SavedBy::SavePointScript, LoadedBy::TitleLoad},
                      TalkSaveCase{"menu_during_talk_then_start_state_2", SavedBy::MenuDuringTalk, LoadedBy::StartState2},
                      TalkSaveCase{"menu_during_talk_then_title_load", SavedBy::MenuDuringTalk, LoadedBy::TitleLoad},
                      TalkSaveCase{"inside_lock_then_start_state_2", SavedBy::InsideLock, LoadedBy::StartState2},
                      TalkSaveCase{"inside_lock_then_title_load", SavedBy::InsideLock, LoadedBy::TitleLoad},
                      TalkSaveCase{"inside_lock_after_a_talk_then_start_state_2", SavedBy::InsideLockAfterATalk,
                                   LoadedBy::StartState2},
                      TalkSaveCase{"inside_lock_after_a_talk_then_title_load", SavedBy::InsideLockAfterATalk,
                                   LoadedBy::TitleLoad},
                      TalkSaveCase{"start_up_script_then_start_state_2", SavedBy::StartUpScript, LoadedBy::StartState2},
                      TalkSaveCase{"start_up_script_then_title_load", SavedBy::StartUpScript, LoadedBy::TitleLoad},
                      TalkSaveCase{"inside_lock_then_menu_load_in_play", SavedBy::InsideLock, LoadedBy::MenuLoadInPlay},
                      TalkSaveCase{"save_point_script_then_menu_load_in_play", SavedBy::SavePointScript,
                                   LoadedBy::MenuLoadInPlay}),
    [](const auto& info) { return std::string(info.param.what); });

// ---------------------------------------------------------------- the map's edge
// A square map `side` cells wide whose cells are obstacles where
// `obstacle(column, row)` says so.
std::string ObstacleMap(int side, const std::function<bool(int, int)>& obstacle)
{
    const std::string size = std::to_string(side), middle = std::to_string(side * 16);
    return MapText(side, side, size + "," + size + ",1," + middle + "," + middle, [&](int i) {
        const int column = i % side, row = i / side;
        return "0,0," + std::to_string(column * 32) + "," + std::to_string(row * 32) + "," +
               (obstacle(column, row) ? "1" : "0") + ",-1,N";
    });
}

// A 15 x 15 map, open or with obstacles all round its border.
std::string SmallMap(bool walled)
{
    return ObstacleMap(15, [walled](int column, int row) {
        return walled && (column == 0 || row == 0 || column == 14 || row == 14);
    });
}

// A first process saves the game into slot 1 with the role put at (x, y)
// (SetMePos, which names its box's centre) on the 30 x 30 map `map`.
void SaveTheRoleAt(const fs::path& root, const std::string& map, int x, int y)
{
    WriteMap(root, map, MapText(30, 30, "30,30,1,320,240"));
    WriteScript(root, "place", {"AddRole(,0,勇者,1,320,240,2,4,4,10,28,46,100,50,12,8,1,0,25,footstep,0,-1,);",
                                "SetMePos(" + std::to_string(x) + "," + std::to_string(y) + ")", "SaveGame(1)",
                                "EOF"});
    ASSERT_EQ(RunHarnessProcess(root, {"--map", map, "--script", "place", "--passes", "2"}), 0);
    ASSERT_TRUE(fs::exists(root / "Save" / "tev1.jsv"));
}

struct EdgeCase {
    const char* what;
    int placeX, placeY; // where the role was put on a 30 x 30 map
    bool walled;        // the 15 x 15 map it is loaded on
    const char* keys[2];
    int sign; // how x and y change under those keys
};

void PrintTo(const EdgeCase& c, std::ostream* os) { *os << c.what; }

class RoleOutsideTheMap : public ::testing::TestWithParam<EdgeCase> {};

// A game saved on a map that was then made smaller loads with the role's
// whole frame on the map, on a cell it can stand on, and it can walk.
TEST_P(RoleOutsideTheMap, LoadsOntoACellItCanWalkFrom)
{
    const EdgeCase& c = GetParam();
    const fs::path root = DemoFolder();
    ASSERT_NO_FATAL_FAILURE(SaveTheRoleAt(root, "wide", c.placeX, c.placeY));

    WriteMap(root, "wide", SmallMap(c.walled));
    SetStartState(root, 2);
    Input input;
    input.Key(5, c.keys[0], 10).Key(20, c.keys[1], 10);
    const Played r = Play(root, input, 35);
    ASSERT_TRUE(LogHas(r.log, "save load 1"));
    EXPECT_EQ(std::count_if(r.boxes.begin(), r.boxes.end(),
                            [](const std::string& b) { return b.find("存档中主角的位置在地图之外") != std::string::npos; }),
              1);
    ASSERT_GE(r.at.size(), 31u);
    const auto [x, y] = r.at[0];
    // The whole 32 x 48 frame on the map; the box (4..28 across, 10..46
    // down) clear of the border's obstacles.
    EXPECT_GE(x, 0);
    EXPECT_GE(y, 0);
    EXPECT_LE(x + 32, 480);
    EXPECT_LE(y + 48, 480);
    if (c.walled) {
        EXPECT_GE(x + 4, 32);
        EXPECT_GE(y + 10, 32);
        EXPECT_LT(x + 28, 448);
        EXPECT_LT(y + 46, 448);
    }
    EXPECT_EQ(r.at[3], r.at[0]) << "nothing moves it before the keys";
    const auto [x1, y1] = r.at[17];
    const auto [x2, y2] = r.at[31];
    EXPECT_GT((x1 - x) * static_cast<float>(c.sign), 0) << c.keys[0] << " moves it";
    EXPECT_EQ(y1, y);
    EXPECT_GT((y2 - y1) * static_cast<float>(c.sign), 0) << c.keys[1] << " moves it";
}

INSTANTIATE_TEST_SUITE_P(
    SaveLoad, RoleOutsideTheMap,
    ::testing::Values(EdgeCase{"right_open", 700, 200, false, {"A", "W"}, -1},
                      EdgeCase{"right_walled", 700, 200, true, {"A", "W"}, -1},
                      EdgeCase{"below_walled", 200, 700, true, {"A", "W"}, -1},
                      EdgeCase{"far_corner_open", 900, 900, false, {"A", "W"}, -1},
                      EdgeCase{"far_corner_walled", 900, 900, true, {"A", "W"}, -1},
                      EdgeCase{"just_past_the_corner_open", 470, 470, false, {"A", "W"}, -1},
                      EdgeCase{"just_past_the_corner_walled", 470, 470, true, {"A", "W"}, -1},
                      EdgeCase{"above_and_left_walled", -100, -100, true, {"D", "S"}, 1}),
    [](const auto& info) { return std::string(info.param.what); });

// ---------------------------------------------------------------- walled in
// The role saved at (320, 240) on a 30 x 30 map (SetMePos names its box's
// centre): its box (4..28 across, 10..46 down) covers column 10, rows 7 and
// 8, and the probes of its steps reach the cells next to those. The map
// is then edited so that obstacles fill the given block of cells.
struct WalledInCase {
    const char* what;
    LoadedBy loaded;
    int left, top, right, bottom; // the obstacle block, in cells
    bool moves;                   // no step is left, so the load moves it
};

void PrintTo(const WalledInCase& c, std::ostream* os) { *os << c.what; }

class RoleWalledIn : public ::testing::TestWithParam<WalledInCase> {};

// A role left with no step in any direction by an edited map loads on the
// nearest cell where it can stand, with one message, and walks from there;
// one that can still step out stays where it was saved.
TEST_P(RoleWalledIn, LoadsWhereItCanWalk)
{
    const WalledInCase& c = GetParam();
    const fs::path root = DemoFolder();
    ASSERT_NO_FATAL_FAILURE(SaveTheRoleAt(root, "field", 336, 268));

    auto inBlock = [&c](int column, int row) {
        return column >= c.left && column <= c.right && row >= c.top && row <= c.bottom;
    };
    WriteMap(root, "field", ObstacleMap(30, inBlock));
    Input input;
    const int start = LoadSlot1(root, c.loaded, input);
    // Each walking key held in turn.
    const char* keys[4] = {"W", "S", "A", "D"};
    for (int k = 0; k < 4; ++k)
        input.Key(start + 15 * k, keys[k], 10);
    const Played r = Play(root, input, start + 65);
    ASSERT_TRUE(LogHas(r.log, "save load 1"));
    ASSERT_TRUE(LogHas(r.log, "ui load loading_frame"));
    ASSERT_GE(r.at.size(), static_cast<size_t>(start + 62));
    const auto landed = r.at[static_cast<size_t>(start - 3)]; // before the keys
    const auto reports = std::count_if(r.boxes.begin(), r.boxes.end(), [](const std::string& b) {
        return b.find("存档中主角被障碍围住，无法走动") != std::string::npos;
    });
    if (!c.moves) {
        EXPECT_EQ(landed, std::make_pair(320.0f, 240.0f));
        EXPECT_EQ(reports, 0);
    } else {
        EXPECT_NE(landed, std::make_pair(320.0f, 240.0f));
        EXPECT_EQ(reports, 1);
        // Its box clear of the block.
        const int boxLeft = static_cast<int>(landed.first) + 4, boxRight = static_cast<int>(landed.first) + 28;
        const int boxTop = static_cast<int>(landed.second) + 10, boxBottom = static_cast<int>(landed.second) + 46;
        for (int row = boxTop / 32; row <= boxBottom / 32; ++row)
            for (int column = boxLeft / 32; column <= boxRight / 32; ++column)
                EXPECT_FALSE(inBlock(column, row)) << "cell " << column << "," << row;
        // The nearest such cell: no further than the block's nearest edge
        // and a frame.
        EXPECT_LT(std::hypot(landed.first - 320, landed.second - 240), 3 * 32 + 48);
    }
    // Every key that moves the role, and at least one does.
    int moved = 0;
    for (int k = 0; k < 4; ++k)
        if (r.at[static_cast<size_t>(start + 15 * k + 11)] != r.at[static_cast<size_t>(start + 15 * k - 1)])
            ++moved;
    EXPECT_GE(moved, 1) << "the role takes a step";
}

INSTANTIATE_TEST_SUITE_P(
    SaveLoad, RoleWalledIn,
    ::testing::Values(WalledInCase{"walled_in_then_start_state_2", LoadedBy::StartState2, 8, 5, 12, 10, true},
                      WalledInCase{"walled_in_then_title_load", LoadedBy::TitleLoad, 8, 5, 12, 10, true},
                      WalledInCase{"walled_in_then_menu_load_in_play", LoadedBy::MenuLoadInPlay, 8, 5, 12, 10, true},
                      WalledInCase{"walled_in_at_the_corner_then_start_state_2", LoadedBy::StartState2, 0, 0, 12, 10,
                                   true},
                      WalledInCase{"box_on_obstacles_can_step_out", LoadedBy::StartState2, 10, 7, 10, 8, false}),
    [](const auto& info) { return std::string(info.param.what); });

// ---------------------------------------------------------------- a failed save
// SAVE and slot 1 clicked while a folder stands at the name the save is
// first written to: the message names that temporary file.
TEST(FailedSave, NamesTheFolderAtTheTemporaryName)
{
    const fs::path root = DemoFolder();
    SetStartState(root, 3);
    fs::create_directories(root / "Save" / "tev1.jsv.tmp");
    Input input;
    input.SaveToSlot1(5);
    const fs::path in = input.Write(root / "run1.in");
    ASSERT_EQ(RunHarnessProcess(root, {"--passes", "60", "--input", in.string()}), 0);
    EXPECT_TRUE(LogHas(root / "run1.log", "save write 1"));
    EXPECT_TRUE(LogHas(root / "run1.log", "text=\"存档失败，原来的存档未改动：Save\\tev1.jsv.tmp（是一个文件夹）\""));
    EXPECT_FALSE(LogHas(root / "run1.log", "ui load saved_frame"));
}

// ---------------------------------------------------------------- links
// A game saved by a first process from the menu; then a link is planted
// and a fresh process saves or loads through the menu or at start-up.
enum class Link { FolderOut, FolderInside, FileOut };

struct SaveLinkCase {
    const char* what;
    Link link;
    std::optional<LoadedBy> loaded; // none: saved from the menu in play
    const char* report;             // the message the player gets, "" none
    bool done;          // the save was written / the game loaded
};

void PrintTo(const SaveLinkCase& c, std::ostream* os) { *os << c.what; }

class SaveLink : public ::testing::TestWithParam<SaveLinkCase> {};

// Saves are written and read only inside the game folder: a Save folder a
// link takes out of it is refused, naming it, for saving and loading alike,
// as is a save file linked from outside; a link that stays inside works.
TEST_P(SaveLink, StaysInsideTheGameFolder)
{
    const SaveLinkCase& c = GetParam();
    const fs::path root = DemoFolder();
    SetStartState(root, 3);
    Input first;
    first.SaveToSlot1(5);
    ASSERT_EQ(RunHarnessProcess(root, {"--passes", "60", "--input", first.Write(root / "run1.in").string()}), 0);
    ASSERT_TRUE(fs::is_regular_file(root / "Save" / "tev1.jsv"));

    const fs::path outside = TempDir("outside");
    fs::path reached; // the save file the link leads to
    switch (c.link) {
    case Link::FolderOut:
        fs::rename(root / "Save", outside / "Save");
        fs::create_directory_symlink(outside / "Save", root / "Save");
        reached = outside / "Save" / "tev1.jsv";
        break;
    case Link::FolderInside:
        fs::rename(root / "Save", root / "Saves");
        fs::create_directory_symlink("Saves", root / "Save");
        reached = root / "Saves" / "tev1.jsv";
        break;
    case Link::FileOut:
        fs::rename(root / "Save" / "tev1.jsv", outside / "tev1.jsv");
        fs::create_symlink(outside / "tev1.jsv", root / "Save" / "tev1.jsv");
        reached = outside / "tev1.jsv";
        break;
    }
    const std::string saved = ReadFile(reached);

    Input second;
    if (!c.loaded) {
        // The role walks first, so a save written anywhere would differ.
        second.Key(3, "D", 10).SaveToSlot1(15);
    }
    const int start = c.loaded ? LoadSlot1(root, *c.loaded, second) : 0;
    const Played r = Play(root, second, std::max(start, 60) + 20);
    const auto reports = std::count_if(r.boxes.begin(), r.boxes.end(), [&](const std::string& b) {
        return *c.report != '\0' && b.find(c.report) != std::string::npos;
    });
    EXPECT_EQ(reports, *c.report != '\0' ? 1 : 0);
    if (!c.loaded) {
        ASSERT_TRUE(LogHas(r.log, "save write 1"));
        EXPECT_EQ(LogHas(r.log, "ui load saved_frame"), c.done);
        if (c.link == Link::FolderOut) {
            EXPECT_TRUE(ReadFile(reached) == saved) << "nothing is written outside";
            EXPECT_EQ(std::distance(fs::directory_iterator(outside / "Save"), fs::directory_iterator()), 1);
        }
        if (c.link == Link::FileOut) {
            EXPECT_TRUE(ReadFile(reached) == saved) << "nothing is written outside";
            EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(root / "Save" / "tev1.jsv")));
        }
        if (c.link == Link::FolderInside) {
            EXPECT_TRUE(ReadFile(reached) != saved) << "the save is written through the link";
        }
    } else {
        ASSERT_TRUE(LogHas(r.log, "save load 1"));
        EXPECT_EQ(LogHas(r.log, "ui load loading_frame"), c.done) << "the save is read";
        if (!c.done && *c.loaded != LoadedBy::MenuLoadInPlay) {
            EXPECT_TRUE(LogHas(r.log, "ui load title_frame")) << "the title stays to start from";
            EXPECT_FALSE(LogHas(r.log, "ui load main_frame")) << "no play begins";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    SaveLoad, SaveLink,
    ::testing::Values(
        SaveLinkCase{"folder_out_menu_save", Link::FolderOut, std::nullopt,
                     "存档失败，原来的存档未改动：Save（经链接通到游戏文件夹之外）", false},
        SaveLinkCase{"folder_out_start_state_2", Link::FolderOut, LoadedBy::StartState2,
                     "未读取存档：Save（经链接通到游戏文件夹之外）", false},
        SaveLinkCase{"folder_out_title_load", Link::FolderOut, LoadedBy::TitleLoad,
                     "未读取存档：Save（经链接通到游戏文件夹之外）", false},
        SaveLinkCase{"folder_out_menu_load_in_play", Link::FolderOut, LoadedBy::MenuLoadInPlay,
                     "未读取存档：Save（经链接通到游戏文件夹之外）", false},
        SaveLinkCase{"file_out_menu_save", Link::FileOut, std::nullopt, "", true},
        SaveLinkCase{"file_out_title_load", Link::FileOut, LoadedBy::TitleLoad,
                     "未读取存档：Save\\tev1.jsv（经链接通到游戏文件夹之外）", false},
        SaveLinkCase{"folder_inside_menu_save", Link::FolderInside, std::nullopt, "", true},
        SaveLinkCase{"folder_inside_start_state_2", Link::FolderInside, LoadedBy::StartState2, "", true},
        SaveLinkCase{"folder_inside_title_load", Link::FolderInside, LoadedBy::TitleLoad, "", true},
        SaveLinkCase{"folder_inside_menu_load_in_play", Link::FolderInside, LoadedBy::MenuLoadInPlay, "", true}),
    [](const auto& info) { return std::string(info.param.what); });

// ---------------------------------------------------------------- events
struct EventEdgeCase {
    const char* what;
    // Where the role is put on a 10 x 10 map: a push against the left or
    // top edge slides it up or left, so those start far from cell 0.
    int placeX, placeY;
    const char* key; // held for a second
    bool opens;         // the event of cell 0 (the top-left one) opens
};

void PrintTo(const EventEdgeCase& c, std::ostream* os) { *os << c.what; }

class EventAtTheEdge : public ::testing::TestWithParam<EventEdgeCase> {};

// Pushing against the map's edge finds no cell and so no event; only
// walking onto cell 0 opens cell 0's script.
TEST_P(EventAtTheEdge, OnlyCellZeroOpensItsScript)
{
    const EventEdgeCase& c = GetParam();
    const fs::path root = DemoFolder();
    SetStartState(root, 3);
    WriteMap(root, "edge", MapText(10, 10, "10,10,1,160,160", [](int i) {
                 return i == 0 ? std::string("0,0,0,0,0,-1,corner") : std::string();
             }));
    WriteScript(root, "corner", {"EOF"});
    WriteScript(root, "gameinit",
                {"ChangeMap(\"edge\")", "AddRole(,0,勇者,1,160,160,2,4,4,10,28,46,100,50,12,8,1,0,25,footstep,0,-1,);",
                 "SetMePos(" + std::to_string(c.placeX) + "," + std::to_string(c.placeY) + ")",
                 "LoadUIFrame(\"main_frame\")", "UnlockKeyMouse()", "LaunchGame()", "EOF"});
    Input input;
    input.Key(5, c.key, 60);
    const fs::path in = input.Write(root / "run1.in");
    ASSERT_EQ(RunHarnessProcess(root, {"--passes", "80", "--input", in.string()}), 0);
    ASSERT_TRUE(LogHas(root / "run1.log", "script end gameinit"));
    EXPECT_EQ(LogHas(root / "run1.log", "script open corner"), c.opens);
}

INSTANTIATE_TEST_SUITE_P(SaveLoad, EventAtTheEdge,
                         ::testing::Values(EventEdgeCase{"right_edge", 300, 160, "D", false},
                                           EventEdgeCase{"bottom_edge", 160, 290, "S", false},
                                           EventEdgeCase{"left_edge", 20, 290, "A", false},
                                           EventEdgeCase{"top_edge", 300, 30, "W", false},
                                           EventEdgeCase{"onto_cell_0", 40, 30, "A", true}),
                         [](const auto& info) { return std::string(info.param.what); });

} // namespace
