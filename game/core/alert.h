#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The game's one timer: fires once `interval` ms have passed since it was
// armed. start 0 fires at once; armed -1 never fires; armed 0 arms it.
int IntervalElapsed(int32_t* start, int32_t* armed, uint32_t interval);

// Failure reports: debugger output, then a message box with an empty
// caption; the game goes on. Texts starting with '~' are traces and do
// nothing. Each distinct text gets its box once per run; every report
// still reaches the debugger output.
void Alert(const char* text);
void AlertStr(const std::string& text);
void AlertInt(int32_t value);

// A message box that takes the focus the way a real one does: the window is
// deactivated around it (input suspended, music paused) and reactivated.
void ShowMessageBox(const char* textGbk, const char* captionGbk);

// Forget which texts already had their box (tests).
void ResetAlertHistory();

void SetDebugLineNum(int32_t value, int32_t line);
void SetDebugLineStr(const std::string& text, int32_t line);

extern std::vector<std::string> g_DebugLines;
extern int32_t g_LastResult;
