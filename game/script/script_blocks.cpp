// Blocks: if / else / end if, while / break / loop, for / next. Blocks are
// not parsed ahead: a head that jumps forward scans lines, counting nested
// heads; a closing line jumps back to the position its loop recorded.
#include "script.h"

bool script::ScanKeyword(std::string* kw)
{
    *kw = ReadToken(file, '0', '(');
    if (kw->empty() && AtFileEnd()) {
        EndAtFileEnd("脚本的语句块没有结束行，到文件末尾已按EOF结束：");
        return false;
    }
    return true;
}

void script::PopIf()
{
    if (!ifStack.empty())
        ifStack.pop_back();
}

// A loop is left: its open-loop record goes, and the if entries its body
// left behind (an if left by a break) with it.
void script::LeaveLoop()
{
    if (openLoops_.empty())
        return;
    const size_t mark = openLoops_.back().ifMark;
    openLoops_.pop_back();
    if (ifStack.size() > mark)
        ifStack.resize(mark);
}

void script::DoIf()
{
    if (CheckCondition(')') == 1) {
        ifStack.push_back(0);
        SkipLine(file);
        return;
    }
    ifStack.push_back(1);
    SkipLine(file);
    int depth = 0;
    std::string kw;
    for (;;) {
        if (!ScanKeyword(&kw))
            return;
        if (kw == "if") {
            ++depth;
        } else if (kw == "else" && depth == 0) {
            // The else runs at the next step and takes over this entry.
            GoLineStart(file);
            return;
        } else if (kw == "end if") {
            if (depth == 0) {
                // This scan consumes the if's own "end if".
                SkipLine(file);
                PopIf();
                return;
            }
            --depth;
        }
        SkipLine(file);
    }
}

void script::DoElse()
{
    if (!ifStack.empty() && ifStack.back() != 0) {
        // The if was skipped: its second branch runs; "end if" removes the entry.
        ifStack.back() = 0;
        return;
    }
    // The first branch has run (or no if is known): on to the "end if",
    // which the dispatcher then skips.
    SkipLine(file);
    int depth = 0;
    std::string kw;
    for (;;) {
        if (!ScanKeyword(&kw))
            return;
        if (kw == "if") {
            ++depth;
        } else if (kw == "end if") {
            if (depth == 0) {
                PopIf();
                return;
            }
            --depth;
        }
        SkipLine(file);
    }
}

void script::DoWhile()
{
    if (whileFirstEntry == 1) {
        whileStarts.push_back(TellFile());
        openLoops_.push_back(OpenLoop{0, ifStack.size()});
    }
    int32_t cond = 0;
    // Empty parentheses: a loop without condition.
    const int32_t at = TellFile();
    int c;
    while ((c = std::getc(file)) == ' ') {
    }
    SeekFile(at);
    if (c == ')')
        cond = 1;
    else
        cond = CheckCondition(')');
    whileFirstEntry = 1;
    loopIsFor = 0;
    if (cond == 1) {
        GoLineStart(file);
        SkipLine(file);
    } else {
        DoBreak();
    }
}

void script::DoFor()
{
    loopIsFor = 1;
    if (forFirstEntry == 1) {
        const int32_t start = TellFile();
        forStarts.push_back(start);
        openLoops_.push_back(OpenLoop{1, ifStack.size()});
        DefineLocal();
        SeekFile(start);
    }
    ReadToken(file, '0', ';');
    const int32_t cond = CheckCondition(';');
    if (cond == 1) {
        if (forFirstEntry == 1)
            forSteps.push_back(ReadToken(file, '0', ')') + ";");
        forFirstEntry = 1;
        GoLineStart(file);
        SkipLine(file);
    } else {
        DoBreak();
    }
}

void script::DoBreak()
{
    SkipLine(file);
    // The innermost open loop decides what closes it; with none recorded
    // (a script resumed in the middle of a loop) the last head's kind does.
    const int32_t isFor = openLoops_.empty() ? loopIsFor : openLoops_.back().isFor;
    const char* head = isFor ? "for" : "while";
    const char* closer = isFor ? "next" : "loop";
    int depth = 0;
    std::string kw;
    for (;;) {
        if (!ScanKeyword(&kw))
            return;
        if (kw == head) {
            ++depth;
        } else if (kw == closer) {
            if (depth == 0) {
                if (isFor) {
                    forFirstEntry = 1;
                    if (!forStarts.empty())
                        forStarts.pop_back();
                    // A for left at its first test never stored its step.
                    if (forSteps.size() > forStarts.size())
                        forSteps.pop_back();
                } else {
                    whileFirstEntry = 1;
                    if (!whileStarts.empty())
                        whileStarts.pop_back();
                }
                LeaveLoop();
                SkipLine(file);
                return;
            }
            --depth;
        }
        SkipLine(file);
    }
}
