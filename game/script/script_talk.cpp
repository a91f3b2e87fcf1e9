// Dialogue commands. Each shows the dialog frame with a speaker's name and
// three lines, holds its script on the statement and ends no sooner than one
// second after its first step, once the player has pressed Space or clicked.
#include <array>

#include "core/alert.h"
#include "core/control.h"
#include "core/game_state.h"
#include "core/graph.h"
#include "platform/gbk.h"
#include "script.h"
#include "world/npc.h"
#include "world/role.h"

namespace {

// What one talk command keeps between its steps.
struct TalkState {
    std::string name;
    std::array<std::string, 3> lines;
    int32_t parsed = 0;
    // Where the statement's last text ends: a talk may be written over
    // several lines, and it is left from there.
    int32_t textEnd = 0;
    int32_t timerStart = 1;
    int32_t timerArmed = 0;
};

TalkState g_playerTalk;
TalkState g_npcTalk;
TalkState g_talk;

enum class Speaker { Role, Npc, Given };

} // namespace

// One step of a dialog; `speaker` says where the name comes from.
static void TalkStep(script& s, TalkState& st, Speaker speaker)
{
    g_Control.SetInputEnabled(0);
    g_Role.walking = 0;
    s.inputLocked = 1;
    g_DialogOpen = 1;
    g_Graph.PaintDialog();

    if (s.dialogOpening == 0) {
        if (st.parsed == 0) {
            if (speaker == Speaker::Given)
                st.name = s.ReadToken(s.file, '"', '"');
            for (auto& l : st.lines)
                l = s.ReadToken(s.file, '"', '"');
            st.textEnd = s.TellFile();
            st.parsed = 1;
        }
        const PICRESOURCESTRUCT& pic = g_Graph.getpicre(PIC_DIALOGFRAME);
        const int32_t w = pic.width;
        const int32_t h = pic.height;
        const int32_t x = (640 - w) / 2 + (speaker == Speaker::Role ? 75 : 100);
        const int32_t y = 480 - h + 10;
        std::string name;
        bool hasName = true;
        Rect nameRect{x - 90, y - 10, x + w - 90, y + h - 10};
        if (speaker == Speaker::Role) {
            name = g_Role.name;
            nameRect = Rect{x - 65, y - 10, x + 10, y + 10};
        } else if (speaker == Speaker::Npc) {
            hasName = g_TalkNpcIndex >= 0 && static_cast<size_t>(g_TalkNpcIndex) < g_Npcs.size();
            if (hasName)
                name = g_Npcs[static_cast<size_t>(g_TalkNpcIndex)].name;
        } else {
            name = st.name;
        }
        const std::string face = plat::GBK("黑体");
        if (hasName)
            g_Graph.PaintText(g_Graph.BUF, name.c_str(), nameRect, face.c_str(), 16, 0, 0, 0xFFFFFF);
        for (int i = 0; i < 3; ++i)
            g_Graph.PaintText(g_Graph.BUF, st.lines[static_cast<size_t>(i)].c_str(),
                              Rect{x, y + 20 * i, x + w, y + 20 * i + h}, face.c_str(), 16, 0, 0, 0xFFFFFF);
    }

    if (IntervalElapsed(&st.timerStart, &st.timerArmed, 1000)) {
        s.talkMinShown = 1;
        if (s.talkDismissed == 1) {
            s.dialogStarted = 0;
            s.talkDismissed = 0;
            s.talkMinShown = 0;
            if (st.parsed != 0)
                s.SeekFile(st.textEnd);
            st.parsed = 0;
            st.timerArmed = 0;
            s.SkipLine(s.file);
            g_DialogOpen = 0;
            return;
        }
    }
    // Still waiting: the next step reads this statement again. Should the
    // wait be given up, the statement is left from the end of its texts,
    // read now if the dialog hasn't taken them yet.
    if (st.parsed == 0) {
        for (int i = speaker == Speaker::Given ? 0 : 1; i < 4; ++i)
            s.ReadToken(s.file, '"', '"');
        s.waitEnd = s.TellFile();
    } else {
        s.waitEnd = st.textEnd;
    }
    s.playerWaitStep = 1;
    s.SeekFile(s.statementStart);
}

void script::PlayerTalk() { TalkStep(*this, g_playerTalk, Speaker::Role); }

void script::NpcTalk() { TalkStep(*this, g_npcTalk, Speaker::Npc); }

void script::Talk() { TalkStep(*this, g_talk, Speaker::Given); }

bool script::TalkShown() const
{
    if (dialogStarted != 0)
        return true;
    for (const TalkState* st : {&g_playerTalk, &g_npcTalk, &g_talk})
        if (st->parsed != 0 || st->timerArmed != 0)
            return true;
    return false;
}

void script::DropTalkWaits()
{
    const bool shown = TalkShown();
    for (TalkState* st : {&g_playerTalk, &g_npcTalk, &g_talk}) {
        st->parsed = 0;
        st->timerStart = 1;
        st->timerArmed = 0;
    }
    if (!shown)
        return;
    dialogStarted = 0;
    talkDismissed = 0;
    talkMinShown = 0;
    g_DialogOpen = 0;
}
