// Script files, the statement step, calls between scripts, the end of a
// script and the run to the end used at start-up.
#include "script.h"

#include <algorithm>
#include <utility>

#include "core/alert.h"
#include "core/control.h"
#include "core/game_state.h"
#include "platform/gbk.h"
#include "platform/platform.h"
#include "world/monster.h"
#include "world/npc.h"
#include "world/role.h"

using plat::GBK;

namespace {
// The stream of a closed script: empty, so every read gives end of file.
char g_noBytes[1];
} // namespace

script::script() { file = fmemopen(g_noBytes, 0, "rb"); }

script::~script()
{
    Alert("~script");
    Reset();
    if (file)
        std::fclose(file);
    file = nullptr;
}

void script::Trace(const std::string& eventGbk)
{
    if (plat::PlatformInstalled())
        plat::P().Trace(eventGbk);
}

// ---------------------------------------------------------------- the stream
bool script::LoadScriptBytes(const std::string& name, std::string* bytes, std::string* path, bool* refused)
{
    *path = MakePath("Script\\", name.c_str(), "jsr");
    return ReadDataFile(*path, DataKind::Script, bytes, refused);
}

void script::UseBytes(std::string bytes)
{
    DropTalkWaits();
    DropPresentationWaits();
    if (file)
        std::fclose(file);
    bytes_ = std::move(bytes);
    file = fmemopen(bytes_.empty() ? g_noBytes : bytes_.data(), bytes_.size(), "rb");
    ++fileSerial_;
}

void script::CloseFile() { UseBytes(std::string()); }

bool script::AtFileEnd()
{
    if (!file)
        return true;
    const int c = std::getc(file);
    if (c == EOF)
        return true;
    std::ungetc(c, file);
    return false;
}

int32_t script::TellFile()
{
    if (!file)
        return 0;
    const long p = std::ftell(file);
    return p < 0 ? 0 : static_cast<int32_t>(p);
}

void script::SeekFile(int32_t offset)
{
    if (!file)
        return;
    // Outside the file means its end: the next read ends the script.
    const size_t size = bytes_.size();
    const size_t pos = offset < 0 || static_cast<size_t>(offset) > size ? size : static_cast<size_t>(offset);
    std::fseek(file, static_cast<long>(pos), SEEK_SET);
}

// ---------------------------------------------------------------- opening
int32_t script::OpenScript(std::string name)
{
    // A script that nothing called is running: the request is dropped.
    if (running == 1 && callStack.empty())
        return 0;
    // While a called script runs, a successful open replaces it; a failed
    // one leaves it running as it was.
    if (running == 0)
        scriptName = name;
    std::string bytes, path;
    bool refused = false;
    if (!LoadScriptBytes(name, &bytes, &path, &refused)) {
        Trace("script open " + name + " failed");
        // A refused file was reported with its reason; only a file that
        // could not be opened gets the open failure's report.
        if (!refused) {
            Alert(GBK("打开SCRIPT文件出错！"));
            AlertStr(ShownPath(path));
        }
        return 0;
    }
    scriptName = name;
    UseBytes(std::move(bytes));
    running = 1;
    readNext = 1;
    Trace("script open " + name);
    return 1;
}

// ---------------------------------------------------------------- the step
namespace {
// The text up to its first blank.
std::string FirstWord(const std::string& text) { return text.substr(0, text.find(' ')); }
} // namespace

bool script::ReadKeyword()
{
    keyword = ReadToken(file, '0', ' ');
    // Nothing but blanks and line ends up to the end of the file: going back
    // to the line start here would read the last statement again.
    if (keyword.empty() && AtFileEnd())
        return false;
    if (keyword != "static" && keyword != "int") {
        GoLineStart(file);
        keyword = ReadToken(file, '0', '(');
        // Where the first read stopped on a blank line, this read has passed
        // over it; a definition found there is read as one, not as a line
        // that would assign to nothing.
        const std::string word = FirstWord(keyword);
        if (word != "static" && word != "int") {
            const int32_t after = TellFile();
            GoLineStart(file);
            statementStart = TellFile();
            SeekFile(after);
            return !(keyword.empty() && AtFileEnd());
        }
        GoLineStart(file);
        keyword = ReadToken(file, '0', ' ');
    }
    // The statement's own line, after any blank lines passed over.
    const int32_t after = TellFile();
    GoLineStart(file);
    statementStart = TellFile();
    SeekFile(after);
    if (keyword == "static")
        keyword = "static " + ReadToken(file, '0', ' ');
    return true;
}

void script::Step()
{
    ClockTurn();
    if (running == 0)
        return;
    if (readNext == 1) {
        const bool read = ReadKeyword();
        readNext = 0;
        if (!read) {
            // The file ended without its "EOF" line.
            EndAtFileEnd("脚本在文件末尾没有EOF，已按EOF结束：");
            SetDebugLineStr(keyword, 0);
            return;
        }
    }
    Trace("stmt " + scriptName + " " + keyword);
    Dispatch();
    SetDebugLineStr(keyword, 0);
}

// ---------------------------------------------------------------- calls
void script::ReadAScriptFile()
{
    const std::string name = ReadToken(file, '"', '"');
    if (callStack.size() >= kMaxCallDepth) {
        Alert((GBK("脚本调用的层数太多，已结束：") + scriptName + " -> " + name).c_str());
        EndRun();
        return;
    }
    callStack.push_back(ScriptFileInfo{scriptName, TellFile()});
    Trace("script call " + name);
    if (OpenScript(name) == 0) {
        // The called script is missing: the caller cannot go on sensibly.
        EndRun();
    }
}

void script::EndOfFile()
{
    if (running == 0)
        return;
    if (!callStack.empty()) {
        const ScriptFileInfo caller = callStack.back();
        if (OpenScript(caller.name) == 0) {
            // The caller's file went away: nothing to return to.
            EndRun();
            return;
        }
        SeekFile(caller.offset);
        callStack.pop_back();
        SkipLine(file);
        Trace("script return " + caller.name);
        return;
    }
    EndOutermost();
}

void script::EndOutermost()
{
    CloseFile();
    running = 0;
    Trace("script end " + scriptName);
    whileFirstEntry = 1;
    forFirstEntry = 1;
    if (g_TalkNpcIndex >= 0 && g_TalkNpcIndex < static_cast<int32_t>(g_Npcs.size())) {
        Npc& npc = g_Npcs[static_cast<size_t>(g_TalkNpcIndex)];
        npc.active = npc.initialActive;
        g_TalkNpcIndex = -1;
    }
    if (g_hitMonsterIndex >= 0 && g_hitMonsterIndex < static_cast<int32_t>(g_Monsters.size())) {
        Monster& monster = g_Monsters[static_cast<size_t>(g_hitMonsterIndex)];
        monster.active = monster.initialActive;
        g_hitMonsterIndex = -1;
    }
    if (inputLocked == 1)
        g_Control.SetInputEnabled(1);
    ClearLocalState();
}

void script::ClearLocalState()
{
    localTypes.clear();
    localNames.clear();
    localValues.clear();
    ifStack.clear();
    whileStarts.clear();
    forStarts.clear();
    forSteps.clear();
    openLoops_.clear();
    runToEnd = 0;
}

void script::EndRun()
{
    if (running == 0)
        return;
    callStack.clear();
    EndOutermost();
}

void script::GiveUpWait()
{
    DropTalkWaits();
    SeekFile(std::max(waitEnd, statementStart));
    SkipLine(file);
}

int32_t script::LineAt(int32_t offset) const
{
    const size_t end = offset < 0 ? 0 : std::min(static_cast<size_t>(offset), bytes_.size());
    return 1 + static_cast<int32_t>(std::count(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
}

void script::EndAtFileEnd(const char* whyUtf8)
{
    Alert((GBK(whyUtf8) + scriptName).c_str());
    EndOfFile();
}

void script::Control(std::string word)
{
    if (word == "clock") {
        clockEnabled = 0;
        clockScripts.clear();
    } else if (word == "eof") {
        EndOfFile();
    }
}

void script::Reset()
{
    staticTypes.clear();
    staticNames.clear();
    staticValues.clear();
    callStack.clear();
    ClearLocalState();
}

// ---------------------------------------------------------------- run to the end
void script::RunToEnd(const std::string& name)
{
    // A run to the end inside another one (a save loaded by a start-up
    // script) is fine; a chain of them that keeps going is not.
    if (runToEndDepth_ >= 4) {
        Alert((GBK("脚本调用的层数太多，已结束：") + name).c_str());
        return;
    }
    // Only a script this run opened is stepped: when the open fails, or a
    // running script refuses it, there is nothing of ours to run.
    if (running == 1) {
        Alert((GBK("另一个脚本正在运行，未能运行：") + name).c_str());
        return;
    }
    if (OpenScript(name) == 0)
        return;
    ++runToEndDepth_;
    const int32_t outerRunToEnd = runToEnd;
    int32_t executed = 0;
    auto naming = [&] { return name + (scriptName != name ? " (" + scriptName + ")" : std::string()); };
    // The statement that waits on the player, and since when.
    bool waiting = false;
    uint32_t waitFile = 0, waitSince = 0;
    int32_t waitAt = 0;
    uint32_t closeLooked = plat::P().clock().Ticks();
    while (running == 1) {
        if (executed >= runToEndCap) {
            Alert((GBK("脚本执行的语句太多，已按EOF结束：") + naming()).c_str());
            EndRun();
            break;
        }
        runToEnd = 1;
        timedWaitStep = 0;
        playerWaitStep = 0;
        Step();
        if (timedWaitStep == 0)
            ++executed;
        if (playerWaitStep == 1 && running == 1) {
            // Nothing can answer while the run lasts: the same wait that
            // makes no progress for long is given up.
            const uint32_t now = plat::P().clock().Ticks();
            if (!waiting || waitFile != fileSerial_ || waitAt != statementStart) {
                waiting = true;
                waitFile = fileSerial_;
                waitAt = statementStart;
                waitSince = now;
            } else if (now - waitSince > kPlayerWaitLimitMs) {
                // Only that statement is given up, as if the player had
                // answered at once; the script goes on with its next line.
                Alert((GBK("脚本在等待玩家，但此时无人能回应，已跳过这一句：") + naming() + GBK(" 第") +
                       std::to_string(LineAt(statementStart)) + GBK("行"))
                          .c_str());
                GiveUpWait();
                waiting = false;
            }
        } else {
            waiting = false;
        }
        // Nothing is painted meanwhile, but time must still pass.
        plat::P().clock().Spin();
        // No frame is painted either, so the window's close box is looked at
        // here: closing it ends the run and the game at once, whatever the
        // script waits on.
        const uint32_t now = plat::P().clock().Ticks();
        if (now - closeLooked >= kCloseLookMs) {
            closeLooked = now;
            if (plat::P().CloseRequested()) {
                g_Quit = 1;
                EndRun();
                break;
            }
        }
    }
    runToEnd = outerRunToEnd;
    --runToEndDepth_;
}
