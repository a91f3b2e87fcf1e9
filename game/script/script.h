#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/filehelper.h"

// One entry of the interpreter's call stack: the calling script and the
// position in it just after the closing quote of its ReadAScriptFile name.
struct ScriptFileInfo {
    std::string name;
    int32_t offset = 0;
};

// The script interpreter: one statement per Step. A running script is held
// whole in memory and read through a FILE* over those bytes, so the
// FileHelper readers work on it; after a close the stream is empty and
// every read gives end of file.
class script : public FileHelper {
public:
    script();
    ~script();
    script(const script&) = delete;
    script& operator=(const script&) = delete;

    // ---- files, the statement step, calls and the end of a script
    int32_t OpenScript(std::string name);
    void Step();
    void Control(std::string word);
    void EndOfFile();
    void ReadAScriptFile();
    void Reset();
    // Ends the whole run as the outermost "EOF" would, whatever called the
    // running script.
    void EndRun();
    // Opens a script and steps it until no script runs, as start-up and the
    // save loader do, without painting. A cap on executed statements ends a
    // runaway run as "EOF" would, with a report naming the script.
    void RunToEnd(const std::string& name);

    // The running file's position; a position outside the file reads as its
    // end (positions come from saves and the stacks).
    int32_t TellFile();
    void SeekFile(int32_t offset);

    // ---- variables, assignments, conditions
    int32_t LookupVariable(const std::string& name, int32_t kind);
    void DefineLocal();
    void DefineStatic();
    bool IsAssignment(const std::string& text);
    void Assign(const std::string& text);
    int32_t CheckCondition(char endChar);
    void SetLocalVar(std::string type, std::string name, int32_t value);
    void SetStaticVar(std::string type, std::string name, int32_t value);

    // ---- blocks
    void DoIf();
    void DoElse();
    void DoWhile();
    void DoFor();
    void DoBreak();

    // ---- the dispatcher and the commands, in the dispatcher's order
    void Dispatch();
    void SelectSave();
    void ExitGame();
    void SaveGame();
    void LoadGame();
    void CloseClockScript();
    void OpenClockScript();
    void KillSVar();
    void SetNpcPos();
    void SetMonsterPos();
    void PauseMidi();
    void ResumeMidi();
    void SetMonsterProp();
    void SetNpcProp();
    void GetMeProp();
    void FindVar();
    void AddItem();
    void KeyTable();
    void LaunchTitle();
    void KillNpc();
    void KillMonster();
    void SetWalkMode();
    void ShowTextAtOnce();
    void LaunchGame();
    void LoadUIFrame();
    void UnloadUIFrame();
    void debug();
    void StopMidi();
    void PlayMidi();
    void StopWave();
    void PlayWave();
    void MoveNpcTo();
    void MoveMonsterTo();
    void SetScreenBlack();
    void PlayerTalk();
    void FadeIn();
    void FadeOut();
    void NpcTalk();
    void Talk();
    void ChangeMap();
    void SetMePos();
    void AddToMagicList();
    void AddRole();
    void AddNpc();
    void AddMonster();
    // ReadAScriptFile (above)
    void DelayTime();
    void MoveMap();
    void MoveMapTo();
    void SetMeProp();
    void LockKeyMouse();
    void UnlockKeyMouse();
    // EOF: EndOfFile (above)

    // The command names in the dispatcher's order.
    static const std::vector<std::string>& CommandNames();

    // The clock turn at the start of every step.
    void ClockTurn();

    // The script state of a save game: the static variables and the clock
    // scripts. Load reads the whole section or changes nothing and returns
    // false; with apply false it only checks that the section reads.
    void Save(FILE* f);
    bool Load(FILE* f, bool apply = true);
    // Lists read from a save may hold at most this many entries.
    static constexpr int32_t kMaxSavedCount = 1 << 20;

    // ---- fields, in their declared order
    FILE* file = nullptr;
    std::string keyword;
    int32_t running = 0;
    int32_t readNext = 1;
    std::string scriptName = "NULL";
    std::vector<std::string> staticTypes;
    std::vector<std::string> staticNames;
    std::vector<int32_t> staticValues;
    std::vector<ScriptFileInfo> callStack;
    int32_t talkDismissed = 0;
    int32_t talkMinShown = 0;
    int32_t dialogOpening = 0;
    int32_t dialogStarted = 0;
    int32_t clockEnabled = 0;
    std::vector<std::string> localTypes;
    std::vector<std::string> localNames;
    std::vector<int32_t> localValues;
    std::vector<int32_t> ifStack;
    std::vector<int32_t> whileStarts;
    std::vector<int32_t> forStarts;
    std::vector<std::string> forSteps;
    std::vector<std::string> clockScripts;
    int32_t loopIsFor = 0;
    int32_t whileFirstEntry = 1;
    int32_t forFirstEntry = 1;
    int32_t inputLocked = 0;
    int32_t clockInterval = 500;

    // Start of the current statement's own line (after skipped blank lines):
    // where a statement that waits goes back to.
    int32_t statementStart = 0;
    // 1 while RunToEnd steps the interpreter.
    int32_t runToEnd = 0;
    // Set by a statement that re-runs only to let time pass (a delay); such
    // steps do not count towards the run-to-end cap.
    int32_t timedWaitStep = 0;
    // Set by a statement that re-runs because it waits on the player (a
    // talk, a search for a variable). A run to the end, where no frame is
    // painted and no input read, gives up on such a wait after
    // kPlayerWaitLimitMs of game time without progress.
    int32_t playerWaitStep = 0;
    // Where such a statement's own text ends (it may run over several
    // lines): giving the wait up goes on after that line.
    int32_t waitEnd = 0;
    static constexpr uint32_t kPlayerWaitLimitMs = 2000;
    // How often (game time) a run to the end looks at the window's close box.
    static constexpr uint32_t kCloseLookMs = 10;

    // Executed statements after which a run to the end is cut off, and the
    // deepest chain of ReadAScriptFile calls.
    static constexpr int32_t kRunToEndCap = 1000000;
    int32_t runToEndCap = kRunToEndCap;
    static constexpr size_t kMaxCallDepth = 64;

    // True while a talk statement holds the running script (shown or
    // waiting to be dismissed).
    bool TalkShown() const;

private:
    // One open loop: its kind (0 while, 1 for) and the if entries at its entry.
    struct OpenLoop {
        int32_t isFor = 0;
        size_t ifMark = 0;
    };

    bool LoadScriptBytes(const std::string& name, std::string* bytes, std::string* path, bool* refused);
    // A statement that waits belongs to the file it stands in: when that
    // file is left for any reason before the statement finished, its
    // dialog, delay, fade or scroll state is dropped with it.
    void DropTalkWaits();
    // Leaves the statement that waits on the player, whole, for the next.
    void GiveUpWait();
    // The line (from 1) of a byte offset in the running file.
    int32_t LineAt(int32_t offset) const;
    void DropPresentationWaits();
    void UseBytes(std::string bytes);
    void CloseFile();
    bool AtFileEnd();
    // Reads the next statement's keyword; false at the end of the file.
    bool ReadKeyword();
    // The outermost end of a run (steps 1-6 of "EOF").
    void EndOutermost();
    // Empties the locals, the block stacks and the run-to-end flag.
    void ClearLocalState();
    // A block scan or a statement read met the end of the file: report it,
    // then act as "EOF".
    void EndAtFileEnd(const char* whyUtf8);
    // Reads the next line's keyword for a block scan; false at the end of
    // the file (the run has then been ended as "EOF").
    bool ScanKeyword(std::string* kw);
    void PopIf();
    void LeaveLoop();
    void Trace(const std::string& eventGbk);

    // Argument readers of the commands.
    std::string ArgQuoted();
    std::string ArgAfterQuoted(char end);
    std::string ArgUpTo(char end);
    std::vector<std::string> ArgRecord(int count);

    int32_t ValueOf(const std::string& text, bool staticFirst, bool* found);
    void Define(bool isStatic);

    std::string bytes_;
    uint32_t fileSerial_ = 0;
    std::vector<OpenLoop> openLoops_;
    int runToEndDepth_ = 0;
};

// The interpreter.
extern script g_Script;
