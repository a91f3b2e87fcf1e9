#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

// The kinds of data file the game reads whole. Each has a size cap far above
// anything a valid file of its kind holds, so a damaged or hostile file is
// refused before it is read instead of taking the memory.
enum class DataKind { Map, Script, Frame, Save, Config };

// The common base of the game's main classes: the toolkit for the game's
// text files. Streams are read byte by byte; GBK passes through untouched
// because every mark the files use lies below 0x40.
class FileHelper {
public:
    std::string MakePath(const char* folder, const char* name, const char* ext);
    // A path as messages show it: each run of separators printed as one
    // (MakePath's folders end in one already). GBK-aware: a trail byte that
    // looks like '\' is left alone.
    static std::string ShownPath(const std::string& gbkPath);
    std::string ReadLine(FILE* file);
    std::string SubStr(const std::string& text, int first, int last);
    // begin '0' means no begin mark.
    std::string ReadToken(FILE* file, char begin, char end);
    void Trim(std::string& text);
    void StripComment(std::string& text);
    // Moves back to the start of the line the position lies in (just after
    // the last CR or LF before it, or the file's start).
    void GoLineStart(FILE* file);
    // The sizes of the blocks GoLineStart reads back in.
    static constexpr size_t kLineStartBlockMin = 256;
    static constexpr size_t kLineStartBlockMax = 65536;
    int IsDigit(char c);
    void SkipLine(FILE* file);
    int32_t DigitsToInt(const std::string& text);
    bool FileExists(const std::string& path);
    std::string IntToStr(int32_t value);
    int32_t StrToInt(const std::string& text);
    int32_t StrToLong(const std::string& text);
    float StrToFloat(const std::string& text);

    // Value lines of the save files: one value per line. Each reader takes
    // exactly one line and says whether the value could be read; on failure
    // the target keeps its value.
    void WriteString(FILE* file, const std::string& text);
    bool ReadString(FILE* file, std::string& text);
    void WriteInt(FILE* file, int32_t value);
    bool ReadInt(FILE* file, int32_t* value);
    void WriteValue(FILE* file, int32_t value);
    bool ReadValue(FILE* file, int32_t* value);
    void WriteFloat(FILE* file, float value);
    bool ReadFloat(FILE* file, float* value);
    void WriteUnsigned(FILE* file, uint32_t value);
    bool ReadUnsigned(FILE* file, uint32_t* value);

    // Opens one of the game's data files (GBK name relative to the game
    // folder). A name that would leave the folder is refused with a report,
    // and so is a file larger than the cap of its kind. A file without any
    // CR is reported once and read as if each LF were CR LF. nullptr when
    // the file can't be opened or was refused.
    FILE* OpenDataFile(const std::string& gbkName, DataKind kind);
    // The same file's whole text, read once, with the same rules and
    // reports. False when the file can't be opened or was refused; `refused`
    // then says whether it was refused, which has been reported already.
    bool ReadDataFile(const std::string& gbkName, DataKind kind, std::string* text, bool* refused = nullptr);
    // False, after a report naming the file, when the open file is larger
    // than the cap of its kind; the file is left at its start.
    bool WithinCap(FILE* file, const std::string& gbkName, DataKind kind);
    static uint64_t CapOf(DataKind kind);
    // True, after the same report as a refused open, when a name from the
    // game's data would leave the game folder; loaders ask before they look
    // for the file, so such a name is never reported as a missing file.
    bool RefuseOutsideName(const std::string& gbkName);
    // Opens a file for writing or plain reading through the same names.
    FILE* OpenFile(const std::string& gbkName, const char* mode);

private:
    bool ConvertLfOnly(const std::string& gbkName, std::string& bytes);
    bool ReadCapped(FILE* file, const std::string& gbkName, DataKind kind, std::string* bytes);
};

// Locale-free number readers shared by the game: the atoi/atof rules
// (leading white space, a sign, digits), saturating to 32 bits, no hex,
// non-finite or overflowing decimals read as 0.
namespace numparse {
// Parses an integer at the start of text after white space; false if no
// digit follows the optional sign. *end gets the index after the digits.
bool ParseInt32(const std::string& text, int32_t* out, size_t* end = nullptr);
bool ParseUInt32Wrapping(const std::string& text, uint32_t* out, size_t* end = nullptr);
bool ParseFloat(const std::string& text, float* out, size_t* end = nullptr);
} // namespace numparse
