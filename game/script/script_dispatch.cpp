// The dispatcher: the command table, then the statements of the language.
#include <string_view>
#include <unordered_map>
#include <utility>

#include "core/alert.h"
#include "platform/gbk.h"
#include "script.h"
#include "ui.h"

using plat::GBK;

namespace {
using Handler = void (script::*)();

struct Command {
    const char* name;
    Handler handler;
};

// The dispatcher's order. The four commands that keep their keyword until
// they are done are marked: they set readNext themselves.
const Command kCommands[] = {
    {"SelectSave", &script::SelectSave},
    {"ExitGame", &script::ExitGame},
    {"SaveGame", &script::SaveGame},
    {"LoadGame", &script::LoadGame},
    {"CloseClockScript", &script::CloseClockScript},
    {"OpenClockScript", &script::OpenClockScript},
    {"KillSVar", &script::KillSVar},
    {"SetNpcPos", &script::SetNpcPos},
    {"SetMonsterPos", &script::SetMonsterPos},
    {"PauseMidi", &script::PauseMidi},
    {"ResumeMidi", &script::ResumeMidi},
    {"SetMonsterProp", &script::SetMonsterProp},
    {"SetNpcProp", &script::SetNpcProp},
    {"GetMeProp", &script::GetMeProp},
    {"FindVar", &script::FindVar},
    {"AddItem", &script::AddItem},
    {"KeyTable", &script::KeyTable},
    {"LaunchTitle", &script::LaunchTitle},
    {"KillNpc", &script::KillNpc},
    {"KillMonster", &script::KillMonster},
    {"SetWalkMode", &script::SetWalkMode},
    {"ShowTextAtOnce", &script::ShowTextAtOnce},
    {"LaunchGame", &script::LaunchGame},
    {"LoadUIFrame", &script::LoadUIFrame},
    {"UnloadUIFrame", &script::UnloadUIFrame},
    {"debug", &script::debug},
    {"StopMidi", &script::StopMidi},
    {"PlayMidi", &script::PlayMidi},
    {"StopWave", &script::StopWave},
    {"PlayWave", &script::PlayWave},
    {"MoveNpcTo", &script::MoveNpcTo},
    {"MoveMonsterTo", &script::MoveMonsterTo},
    {"SetScreenBlack", &script::SetScreenBlack},
    {"PlayerTalk", &script::PlayerTalk},
    {"FadeIn", &script::FadeIn},
    {"FadeOut", &script::FadeOut},
    {"NpcTalk", &script::NpcTalk},
    {"Talk", &script::Talk},
    {"ChangeMap", &script::ChangeMap},
    {"SetMePos", &script::SetMePos},
    {"AddToMagicList", &script::AddToMagicList},
    {"AddRole", &script::AddRole},
    {"AddNpc", &script::AddNpc},
    {"AddMonster", &script::AddMonster},
    {"ReadAScriptFile", &script::ReadAScriptFile},
    {"DelayTime", &script::DelayTime},
    {"MoveMap", &script::MoveMap},
    {"MoveMapTo", &script::MoveMapTo},
    {"SetMeProp", &script::SetMeProp},
    {"LockKeyMouse", &script::LockKeyMouse},
    {"UnlockKeyMouse", &script::UnlockKeyMouse},
    {"EOF", &script::EndOfFile},
};

bool KeepsKeyword(Handler h)
{
    return h == &script::FadeIn || h == &script::FadeOut || h == &script::MoveMap || h == &script::MoveMapTo;
}
} // namespace

const std::vector<std::string>& script::CommandNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (const Command& c : kCommands)
            n.emplace_back(c.name);
        return n;
    }();
    return names;
}

void script::Dispatch()
{
    // The names are distinct, so a lookup finds what a search in table
    // order would.
    static const std::unordered_map<std::string_view, Handler> byName = [] {
        std::unordered_map<std::string_view, Handler> m;
        for (const Command& c : kCommands)
            m.emplace(c.name, c.handler);
        return m;
    }();
    const auto it = byName.find(keyword);
    if (it != byName.end()) {
        (this->*(it->second))();
        if (!KeepsKeyword(it->second))
            readNext = 1;
        return;
    }

    readNext = 1;
    // A handler that ended the file (a scan that met its end) leaves the
    // position alone: it may already stand in the caller's file.
    const uint32_t serial = fileSerial_;
    auto skipIfSameFile = [&] {
        if (serial == fileSerial_)
            SkipLine(file);
    };
    if (keyword.empty()) {
        SkipLine(file);
    } else if (IsAssignment(keyword)) {
        Assign(keyword);
        SkipLine(file);
    } else if (keyword == "static int") {
        DefineStatic();
        SkipLine(file);
    } else if (keyword == "int") {
        DefineLocal();
        SkipLine(file);
    } else if (keyword == "if") {
        DoIf();
    } else if (keyword == "else") {
        DoElse();
        skipIfSameFile();
    } else if (keyword == "end if") {
        // The if's entry ends here.
        PopIf();
        SkipLine(file);
    } else if (keyword == "while") {
        DoWhile();
    } else if (keyword == "break") {
        DoBreak();
    } else if (keyword == "loop") {
        if (whileStarts.empty()) {
            // No open while (a script resumed in the middle of one): passed over.
            SkipLine(file);
            return;
        }
        SeekFile(whileStarts.back());
        whileFirstEntry = 0;
    } else if (keyword == "for") {
        DoFor();
    } else if (keyword == "next") {
        if (forStarts.empty() || forSteps.empty()) {
            SkipLine(file);
            return;
        }
        Assign(forSteps.back());
        SeekFile(forStarts.back());
        forFirstEntry = 0;
    } else {
        Alert(GBK("找不到METHOD_ID,无法继续进行事件！转到下一事件"));
        AlertStr(keyword);
        SkipLine(file);
    }
}

// ---------------------------------------------------------------- arguments
std::string script::ArgQuoted() { return ReadToken(file, '"', '"'); }

std::string script::ArgAfterQuoted(char end) { return ReadToken(file, ',', end); }

std::string script::ArgUpTo(char end) { return ReadToken(file, '0', end); }

std::vector<std::string> script::ArgRecord(int count)
{
    std::vector<std::string> values;
    if (count <= 0)
        return values;
    values.push_back(ReadToken(file, ',', ','));
    for (int i = 1; i < count; ++i)
        values.push_back(ReadToken(file, '0', ','));
    return values;
}

// ---------------------------------------------------------------- SelectSave
void script::SelectSave()
{
    g_Ui.LoadFrame("selectsave_frame");
    SkipLine(file);
}
