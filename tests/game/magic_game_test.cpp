// Magic kinds over whole games played on the headless backend with scripted
// input: where a game lists its kinds, kinds added in play, returns to the
// title and loads.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "app/globals.h"
#include "app/winmain.h"
#include "core/filehelper.h"
#include "test_support.h"
#include "world_fixtures.h"

using namespace tevtest;
namespace fs = std::filesystem;

namespace {

void WriteScript(const fs::path& root, const std::string& name, const std::vector<std::string>& lines)
{
    std::string bytes;
    for (const auto& l : lines)
        bytes += G(l.c_str()) + "\r\n";
    WriteFile(root / "Script" / (name + ".jsr"), bytes);
}

// Where a game lists its magic kinds (the demo's "MagicKindList": magic0 to
// magic2).
enum class Listed { StartScript, TitleScript, OnlyASave };
// What the game went through before the play that is checked.
enum class Before { FirstGame, ReturnToTitle, Load };

struct KindsCase {
    const char* name;
    Listed listed;
    Before before;
    bool addInPlay;
};

void PrintTo(const KindsCase& c, std::ostream* os) { *os << c.name; }

// The game's folder: the demo's pictures, frames and kind list; a title
// whose left half is START and right half loads slot 1; a 40 x 15 map whose
// column 7 saves and returns to the title and whose column 13 adds a fourth
// kind, "magic3", once.
fs::path KindsGame(Listed listed)
{
    const fs::path root = TempDir("game");
    const fs::path demo = TEV_DEMO_DIR;
    fs::copy(demo / "Resource", root / "Resource", fs::copy_options::recursive);
    fs::copy(demo / "ui", root / "ui", fs::copy_options::recursive);
    fs::create_directories(root / "Script");
    fs::create_directories(root / "Save");
    fs::copy_file(demo / "Script" / "MagicKindList.jsr", root / "Script" / "MagicKindList.jsr");
    fs::copy_file(root / "Resource" / "bmp" / "magic0.bmp", root / "Resource" / "bmp" / "magic3.bmp");
    WriteFile(root / "config.jcf", "0!\r\n1!\r\n0!\r\n1!\r\n0!\r\n");
    WriteFile(root / "ui" / "title_frame.jui",
              "\"frame\",1,\"title_frame\"\r\n"
              "\"button\",1,\"start\",\"ui_btn_start\",0,2,0,0,320,480,0,0,320,480,\"True\",\"True\",\"s_gameinit\","
              "\"NULL\",\"NULL\"\r\n"
              "\"button\",2,\"load\",\"ui_btn_load\",0,2,320,0,320,480,0,0,320,480,\"True\",\"True\","
              "\"d_sys_loadgame_1\",\"NULL\",\"NULL\"\r\n\"EOF\"\r\n");
    WriteMap(root, "m", MapText(40, 15, "40,15,1,0,0", [](int i) {
                 if (i % 40 == 7)
                     return std::string("0,0,0,0,0,-1,totitle");
                 if (i % 40 == 13)
                     return std::string("0,0,0,0,0,-1,addkind");
                 return std::string();
             }));
    const std::string kinds = "ReadAScriptFile(\"MagicKindList\")";
    std::vector<std::string> title = {"LaunchTitle()", "EOF"};
    if (listed == Listed::TitleScript)
        title.insert(title.begin(), kinds);
    WriteScript(root, "title", title);
    std::vector<std::string> start = {"UnloadUIFrame(\"title_frame\")", "ChangeMap(\"m\")",
                                      "AddRole(,0,勇者,1,320,240,2,4,4,10,28,46,100,500,12,8,1,0,25,footstep,0,-1,);",
                                      "SetMePos(336,240)", "static int added = 0;", "LoadUIFrame(\"main_frame\")",
                                      "UnlockKeyMouse()", "LaunchGame()", "EOF"};
    if (listed == Listed::StartScript)
        start.insert(start.begin() + 4, kinds);
    WriteScript(root, "gameinit", start);
    WriteScript(root, "totitle", {"SaveGame(1)", "LaunchTitle()", "EOF"});
    WriteScript(root, "addkind",
                {"if(added==0)",
                 "AddToMagicList(,magic3,3,火球二,64,64,4,2,100,fire,300,6,0,0,1,1500,25,0,0,0,0,0,16,16,48,48,0,0,"
                 "40,1,0,5,);",
                 "added = 1;", "end if", "EOF"});
    return root;
}

// The harness's input file, written phase by phase.
class Input {
public:
    int pass = 5;

    void Click(int x, int y)
    {
        Line(pass, "mouse " + std::to_string(x - cursorX_) + " " + std::to_string(y - cursorY_));
        cursorX_ = x, cursorY_ = y;
        Line(pass + 2, "button l down");
        Line(pass + 4, "button l up");
        pass += 40; // the start-up script runs a statement a pass
    }
    void Hold(const std::string& key, int passes)
    {
        Line(pass, "key " + key + " down");
        Line(pass + passes, "key " + key + " up");
        pass += passes + 20;
    }
    void Start() { Click(100, 240); }
    void Load() { Click(500, 240); }
    // Walks left onto the column that saves and returns to the title.
    void ToTitle() { Hold("A", 60); }
    // Walks right onto the column that adds a kind.
    void AddKind() { Hold("D", 80); }
    // Chooses each kind by its digit and holds Ctrl past the longest
    // cooldown of the list.
    void CastEach(int kinds)
    {
        for (int k = 0; k < kinds; ++k) {
            Line(pass, "key " + std::to_string(k + 1) + " down");
            Line(pass + 2, "key " + std::to_string(k + 1) + " up");
            pass += 4;
            Hold("LCTRL", 110);
        }
    }
    std::string Text() const { return lines_; }

private:
    void Line(int at, const std::string& event) { lines_ += std::to_string(at) + " " + event + "\n"; }
    std::string lines_;
    int cursorX_ = 320, cursorY_ = 240;
};

class MagicKindsInPlay : public ::testing::TestWithParam<KindsCase> {};

// Every kind the game had before a kind was added in play still casts with
// its own sheet after it, and the added kind casts too.
TEST_P(MagicKindsInPlay, EveryKindSeenBeforeAnAddStillCasts)
{
    const KindsCase& c = GetParam();
    const fs::path root = KindsGame(c.listed);
    Input in;
    // The game that is checked begins the way the kinds reach it: a game
    // listing them only in a save begins by loading that save.
    auto begin = [&] {
        if (c.listed == Listed::OnlyASave) {
            in.Start();
            in.ToTitle();
            in.Load();
        } else {
            in.Start();
        }
    };
    begin();
    if (c.before == Before::ReturnToTitle) {
        in.ToTitle();
        in.Start();
    } else if (c.before == Before::Load) {
        in.ToTitle();
        in.Load();
    }
    const int playFrom = in.pass;
    if (c.addInPlay)
        in.AddKind();
    const int castFrom = in.pass;
    const int kinds = c.addInPlay ? 4 : 3;
    in.CastEach(kinds);

    plat::headless::Options o;
    o.root = root;
    o.passes = in.pass + 10;
    o.logFile = root / "log.txt";
    o.inputFile = root / "input.txt";
    WriteFile(o.inputFile, in.Text());
    auto& p = InstallHeadless(o);
    std::string error;
    ASSERT_TRUE(p.LoadInputFile(&error)) << error;
    int passNo = 0;
    int32_t stateInPlay = -1;
    std::vector<std::string> kindsInPlay;            // the list when play began
    std::set<std::pair<int32_t, std::string>> casts; // kind number, its picture
    std::set<int32_t> castWithoutSheet;
    p.onPassEnd = [&] {
        ++passNo;
        if (passNo == playFrom) {
            stateInPlay = g_GameState;
            for (const MagicKind& k : g_MagicKinds)
                kindsInPlay.push_back(k.picture);
        }
        if (passNo < castFrom)
            return;
        for (const Magic& m : g_Magics) {
            const MagicKind* k = MagicKindAt(m.kindIndex);
            casts.emplace(m.kindIndex, k ? k->picture : "");
            const bool sheet = std::any_of(g_Graph.pictures.begin(), g_Graph.pictures.end(), [&](const auto& pic) {
                return pic.name == 100 + m.kindIndex && pic.surface != nullptr;
            });
            if (!sheet)
                castWithoutSheet.insert(m.kindIndex);
        }
    };
    ASSERT_EQ(WinMain(nullptr, nullptr, "", 1), 0);
    p.onPassEnd = nullptr;

    ASSERT_EQ(stateInPlay, 3) << "in play";
    const std::vector<std::string> listed = {"magic0", "magic1", "magic2"};
    ASSERT_EQ(kindsInPlay, listed) << "the kinds when play began";
    std::set<std::pair<int32_t, std::string>> expected = {{0, "magic0"}, {1, "magic1"}, {2, "magic2"}};
    if (c.addInPlay)
        expected.emplace(3, "magic3");
    EXPECT_EQ(casts, expected);
    EXPECT_TRUE(castWithoutSheet.empty());
    std::vector<std::string> boxes;
    for (const auto& b : p.recordingDialogs().boxes)
        boxes.push_back(b.textUtf8);
    EXPECT_TRUE(std::none_of(boxes.begin(), boxes.end(),
                             [](const std::string& b) { return b.find("资源图库中没有此资源") != std::string::npos; }))
        << ::testing::PrintToString(boxes);
}

INSTANTIATE_TEST_SUITE_P(
    Game, MagicKindsInPlay,
    ::testing::Values(KindsCase{"StartScript_FirstGame", Listed::StartScript, Before::FirstGame, false},
                      KindsCase{"StartScript_FirstGame_Add", Listed::StartScript, Before::FirstGame, true},
                      KindsCase{"StartScript_AfterTitle", Listed::StartScript, Before::ReturnToTitle, false},
                      KindsCase{"StartScript_AfterTitle_Add", Listed::StartScript, Before::ReturnToTitle, true},
                      KindsCase{"StartScript_AfterLoad", Listed::StartScript, Before::Load, false},
                      KindsCase{"StartScript_AfterLoad_Add", Listed::StartScript, Before::Load, true},
                      KindsCase{"TitleScript_FirstGame", Listed::TitleScript, Before::FirstGame, false},
                      KindsCase{"TitleScript_FirstGame_Add", Listed::TitleScript, Before::FirstGame, true},
                      KindsCase{"TitleScript_AfterTitle", Listed::TitleScript, Before::ReturnToTitle, false},
                      KindsCase{"TitleScript_AfterTitle_Add", Listed::TitleScript, Before::ReturnToTitle, true},
                      KindsCase{"TitleScript_AfterLoad", Listed::TitleScript, Before::Load, false},
                      KindsCase{"TitleScript_AfterLoad_Add", Listed::TitleScript, Before::Load, true},
                      KindsCase{"OnlyASave_FirstGame", Listed::OnlyASave, Before::FirstGame, false},
                      KindsCase{"OnlyASave_FirstGame_Add", Listed::OnlyASave, Before::FirstGame, true},
                      KindsCase{"OnlyASave_AfterTitle", Listed::OnlyASave, Before::ReturnToTitle, false},
                      KindsCase{"OnlyASave_AfterTitle_Add", Listed::OnlyASave, Before::ReturnToTitle, true},
                      KindsCase{"OnlyASave_AfterLoad", Listed::OnlyASave, Before::Load, false},
                      KindsCase{"OnlyASave_AfterLoad_Add", Listed::OnlyASave, Before::Load, true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

namespace {

// A game started straight into play (start state 3) on a small map "m"; its
// start-up script then runs `rest` (UTF-8 lines). `prepare` may add files.
struct Started {
    std::vector<std::string> boxes; // every report, in order (UTF-8)
    std::vector<std::string> kinds; // the pictures of the magic kinds at the end
    std::map<int32_t, int> sheets;  // the picture table: entries of each number
    int32_t magicSheetsWithPicture = 0;
};

Started StartInPlay(const std::vector<std::string>& rest, const std::function<void(const fs::path&)>& prepare = nullptr)
{
    const fs::path root = TempDir("game");
    fs::copy(fs::path(TEV_DEMO_DIR) / "Resource", root / "Resource", fs::copy_options::recursive);
    fs::create_directories(root / "Script");
    fs::copy_file(fs::path(TEV_DEMO_DIR) / "Script" / "MagicKindList.jsr", root / "Script" / "MagicKindList.jsr");
    WriteFile(root / "config.jcf", "0!\r\n3!\r\n0!\r\n1!\r\n0!\r\n");
    WriteMap(root, "m", MapText(20, 15, "20,15,1,0,0"));
    std::vector<std::string> start = {"ChangeMap(\"m\")"};
    start.insert(start.end(), rest.begin(), rest.end());
    start.push_back("EOF");
    WriteScript(root, "gameinit", start);
    if (prepare)
        prepare(root);
    plat::headless::Options o;
    o.root = root;
    o.passes = 3;
    o.logFile = root / "log.txt";
    auto& p = InstallHeadless(o);
    Started s;
    // What the game holds at the end of its last pass, before it shuts down.
    p.onPassEnd = [&] {
        s.kinds.clear();
        for (const MagicKind& k : g_MagicKinds)
            s.kinds.push_back(k.picture);
        s.sheets.clear();
        s.magicSheetsWithPicture = 0;
        for (const PICRESOURCESTRUCT& pic : g_Graph.pictures) {
            ++s.sheets[pic.name];
            if (pic.magicSheet && pic.surface)
                ++s.magicSheetsWithPicture;
        }
    };
    EXPECT_EQ(WinMain(nullptr, nullptr, "", 1), 0);
    p.onPassEnd = nullptr;
    for (const std::string& l : p.recordingDialogs().debugLines)
        if (l.rfind("跳", 0) != 0) // the window's focus changes, not reports
            s.boxes.push_back(l);
    return s;
}

struct RefusalCase {
    const char* name;
    std::vector<std::string> script; // the start-up script's lines after its map
    std::vector<std::string> reports;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class OneReportPerCause : public ::testing::TestWithParam<RefusalCase> {};

// A file the game refuses, or can't find, is reported once, by what refused
// it; nothing after that reports the same failure again in other words.
TEST_P(OneReportPerCause, OnlyTheCauseIsReported)
{
    const RefusalCase& c = GetParam();
    const Started s = StartInPlay(c.script, [](const fs::path& root) {
        const std::pair<const char*, DataKind> bigFiles[] = {{"Script/big.jsr", DataKind::Script},
                                                             {"Map/big.jmap", DataKind::Map}};
        for (const auto& [big, kind] : bigFiles) {
            WriteFile(root / big, "");
            fs::resize_file(root / big, FileHelper::CapOf(kind) + 1);
        }
    });
    std::vector<std::string> reports;
    for (const std::string& b : s.boxes)
        reports.push_back(b.substr(0, b.find("（")));
    EXPECT_EQ(reports, c.reports);
}

const std::string kRecordTail = ",0,火球,64,64,4,2,100,fire,300,6,0,0,1,1500,25,0,0,0,0,0,16,16,48,48,0,0,40,1,0,5,);";

INSTANTIATE_TEST_SUITE_P(
    Refusals, OneReportPerCause,
    ::testing::Values(
        RefusalCase{"MagicPictureLeavingTheFolder",
                    {"AddToMagicList(,..\\..\\magic0" + kRecordTail},
                    {"文件名指向游戏目录之外，已拒绝！", "Resource\\bmp\\..\\..\\magic0.bmp"}},
        RefusalCase{"MagicPictureMissing",
                    {"AddToMagicList(,magic9" + kRecordTail},
                    {"加载BMP出错！文件不存在!", "Resource\\bmp\\magic9.bmp"}},
        RefusalCase{"ScriptLeavingTheFolder",
                    {"ReadAScriptFile(\"..\\MagicKindList\")"},
                    {"文件名指向游戏目录之外，已拒绝！", "Script\\..\\MagicKindList.jsr"}},
        RefusalCase{"ScriptOverItsCap", {"ReadAScriptFile(\"big\")"}, {"文件太大，不能读入！", "Script\\big.jsr"}},
        RefusalCase{"ScriptMissing", {"ReadAScriptFile(\"nosuch\")"}, {"打开SCRIPT文件出错！", "Script\\nosuch.jsr"}},
        RefusalCase{"MapLeavingTheFolder",
                    {"ChangeMap(\"..\\m\")"},
                    {"文件名指向游戏目录之外，已拒绝！", "Map\\..\\m.jmap"}},
        RefusalCase{"MapOverItsCap", {"ChangeMap(\"big\")"}, {"文件太大，不能读入！", "Map\\big.jmap"}},
        RefusalCase{"MapMissing", {"ChangeMap(\"nosuch\")"}, {"打开MAP文件出错！", "Map\\nosuch.jmap"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A list read again and again in one game appends its kinds each time, as
// the scripts ask, and every kind of one picture shares its one sheet.
TEST(MagicKindsInOneGame, KindsOfOnePictureShareItsSheet)
{
    const Started s = StartInPlay({"static int n = 0;", "while(n<200)", "ReadAScriptFile(\"MagicKindList\")",
                                   "n = n + 1;", "loop"});
    ASSERT_EQ(s.kinds.size(), 600u);
    for (size_t i = 0; i < s.kinds.size(); ++i)
        ASSERT_EQ(s.kinds[i], "magic" + std::to_string(i % 3)) << i;
    EXPECT_EQ(s.magicSheetsWithPicture, 3);
    for (int32_t id : {100, 101, 102})
        EXPECT_EQ(s.sheets.at(id), 1) << id;
    EXPECT_TRUE(s.boxes.empty()) << ::testing::PrintToString(s.boxes);
}

} // namespace
