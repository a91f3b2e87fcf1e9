#include "filehelper.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cinttypes>
#include <cmath>
#include <vector>

#include "alert.h"
#include "platform/fsys.h"
#include "platform/gbk.h"
#include "platform/platform.h"

using plat::GBK;

namespace numparse {
namespace {
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
} // namespace

bool ParseInt32(const std::string& text, int32_t* out, size_t* end)
{
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    bool neg = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        neg = text[i++] == '-';
    if (i >= text.size() || text[i] < '0' || text[i] > '9')
        return false;
    int64_t v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        if (v <= int64_t(INT32_MAX) + 1)
            v = v * 10 + (text[i] - '0');
    if (neg)
        v = -v;
    if (v > INT32_MAX)
        v = INT32_MAX;
    if (v < INT32_MIN)
        v = INT32_MIN;
    *out = static_cast<int32_t>(v);
    if (end)
        *end = i;
    return true;
}

bool ParseUInt32Wrapping(const std::string& text, uint32_t* out, size_t* end)
{
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    bool neg = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        neg = text[i++] == '-';
    if (i >= text.size() || text[i] < '0' || text[i] > '9')
        return false;
    uint64_t v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        if (v <= UINT32_MAX)
            v = v * 10 + static_cast<uint64_t>(text[i] - '0');
    // Out of range saturates as strtoul does; a minus sign wraps.
    uint32_t r = v > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(v);
    if (neg)
        r = 0u - r;
    *out = r;
    if (end)
        *end = i;
    return true;
}

bool ParseFloat(const std::string& text, float* out, size_t* end)
{
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    size_t start = i;
    bool plus = false;
    if (i < text.size() && text[i] == '+') {
        plus = true;
        ++i;
        start = i;
    }
    // Only decimal forms: a digit or a point must come next (no "inf",
    // "nan" or hex).
    const size_t k = (i < text.size() && text[i] == '-' && !plus) ? i + 1 : i;
    if (k >= text.size() || !((text[k] >= '0' && text[k] <= '9') || text[k] == '.'))
        return false;
    double d = 0;
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    auto res = std::from_chars(first, last, d, std::chars_format::general);
    if (res.ec == std::errc::invalid_argument)
        return false;
    if (res.ec == std::errc::result_out_of_range || !std::isfinite(d) || std::fabs(d) > 3.4028234663852886e38)
        d = 0;
    *out = static_cast<float>(d);
    if (end)
        *end = static_cast<size_t>(res.ptr - text.data());
    return true;
}
} // namespace numparse

std::string FileHelper::MakePath(const char* folder, const char* name, const char* ext)
{
    std::string p = folder ? folder : "";
    p += "\\";
    p += name ? name : "";
    p += ".";
    p += ext ? ext : "";
    return p;
}

std::string FileHelper::ShownPath(const std::string& gbkPath)
{
    std::string out;
    bool afterSeparator = false;
    for (size_t i = 0; i < gbkPath.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(gbkPath[i]);
        if (c >= 0x81 && c <= 0xFE && i + 1 < gbkPath.size()) {
            out += gbkPath[i];
            out += gbkPath[++i];
            afterSeparator = false;
            continue;
        }
        if (c == '\\' && afterSeparator)
            continue;
        afterSeparator = c == '\\';
        out += gbkPath[i];
    }
    return out;
}

namespace {
// A stream of the game's files is read only by the thread that opened it,
// so the token and line readers take its bytes without the stream's lock:
// a long line costs no lock a byte.
inline int NextByte(FILE* file) { return getc_unlocked(file); }
} // namespace

std::string FileHelper::ReadLine(FILE* file)
{
    std::string line;
    int c;
    while ((c = std::getc(file)) != EOF) {
        line += static_cast<char>(c);
        if (c == '\n')
            break;
    }
    return line;
}

std::string FileHelper::SubStr(const std::string& text, int first, int last)
{
    if (first < 0)
        first = 0;
    if (last >= static_cast<int>(text.size()))
        last = static_cast<int>(text.size()) - 1;
    if (first > last)
        return std::string();
    return text.substr(static_cast<size_t>(first), static_cast<size_t>(last - first + 1));
}

std::string FileHelper::ReadToken(FILE* file, char begin, char end)
{
    std::string token;
    // Skip blanks and line ends before the token (and, with a begin mark,
    // everything up to it). The end of the file ends the search: a script
    // that lacks a quote must not hang the game.
    for (;;) {
        int c = NextByte(file);
        if (c == '\r') {
            std::ungetc(c, file);
            SkipLine(file);
            c = NextByte(file);
        }
        if (c == EOF)
            goto done;
        if (c == ' ')
            continue;
        std::ungetc(c, file);
        if (begin == '0')
            break;
        c = NextByte(file);
        if (c == EOF)
            goto done;
        if (c == static_cast<unsigned char>(begin))
            break;
    }
    // Whatever follows a "//" is cut off below: it is read past but not
    // kept, so a long comment costs no copy.
    for (bool comment = false;;) {
        const int c = NextByte(file);
        if (c == EOF)
            break;
        if (c == '\r') {
            std::ungetc(c, file);
            break;
        }
        if (c == static_cast<unsigned char>(end))
            break;
        if (comment)
            continue;
        comment = c == '/' && !token.empty() && token.back() == '/';
        token += static_cast<char>(c);
    }
done:
    StripComment(token);
    Trim(token);
    return token;
}

void FileHelper::Trim(std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return; // blanks only: left as it is
    const size_t last = text.find_last_not_of(' ');
    text = text.substr(first, last - first + 1);
}

void FileHelper::StripComment(std::string& text)
{
    const size_t pos = text.find("//");
    if (pos != std::string::npos)
        text.erase(pos);
}

void FileHelper::GoLineStart(FILE* file)
{
    long pos = std::ftell(file);
    // The text before the position is read back in blocks and searched in
    // memory. The first block is small, as most lines are; each further one
    // is twice as large, so a line of any length costs a few reads.
    char block[kLineStartBlockMax];
    size_t want = kLineStartBlockMin;
    while (pos > 0) {
        const size_t n = std::min(want, static_cast<size_t>(pos));
        const long from = pos - static_cast<long>(n);
        std::fseek(file, from, SEEK_SET);
        // Bytes past the end of the file, which a seek may have passed,
        // are read as none and end no line.
        size_t i = std::fread(block, 1, n, file);
        while (i > 0 && block[i - 1] != '\n' && block[i - 1] != '\r')
            --i;
        if (i > 0) {
            pos = from + static_cast<long>(i);
            break;
        }
        pos = from;
        want = std::min(want * 2, sizeof block);
    }
    std::fseek(file, pos < 0 ? 0 : pos, SEEK_SET);
}

int FileHelper::IsDigit(char c) { return c >= '0' && c <= '9' ? 1 : 0; }

void FileHelper::SkipLine(FILE* file)
{
    int c;
    while ((c = NextByte(file)) != EOF) {
        if (c == '\r') {
            // The byte after the CR (its LF) is passed without a look.
            NextByte(file);
            return;
        }
    }
}

int32_t FileHelper::DigitsToInt(const std::string& text)
{
    std::string digits;
    for (char c : text)
        if (IsDigit(c))
            digits += c;
    if (digits.empty())
        return -1;
    return StrToInt(digits);
}

bool FileHelper::FileExists(const std::string& path) { return plat::P().paths().Exists(path); }

std::string FileHelper::IntToStr(int32_t value) { return std::to_string(value); }

int32_t FileHelper::StrToInt(const std::string& text)
{
    int32_t v = 0;
    return numparse::ParseInt32(text, &v) ? v : 0;
}

int32_t FileHelper::StrToLong(const std::string& text) { return StrToInt(text); }

float FileHelper::StrToFloat(const std::string& text)
{
    float v = 0;
    return numparse::ParseFloat(text, &v) ? v : 0.0f;
}

// ---------------------------------------------------------------- value lines
namespace {
// Takes one line through its LF; false at the end of the file with nothing read.
bool TakeLine(FILE* file, std::string& line)
{
    line.clear();
    int c;
    bool any = false;
    while ((c = std::getc(file)) != EOF) {
        any = true;
        if (c == '\n')
            return true;
        line += static_cast<char>(c);
    }
    return any;
}

// The words printf gives for values that are not finite: "nan", "-nan",
// "inf", "-inf" (any letter case, "infinity", a "nan(...)" payload), with
// blanks around them.
bool IsNonFiniteWord(const std::string& line)
{
    size_t b = 0, e = line.size();
    while (b < e && (line[b] == ' ' || line[b] == '\t'))
        ++b;
    while (e > b && (line[e - 1] == ' ' || line[e - 1] == '\t' || line[e - 1] == '\r'))
        --e;
    if (b < e && (line[b] == '+' || line[b] == '-'))
        ++b;
    std::string w;
    for (size_t i = b; i < e; ++i)
        w += static_cast<char>(std::tolower(static_cast<unsigned char>(line[i])));
    if (w == "inf" || w == "infinity" || w == "nan")
        return true;
    return w.size() >= 5 && w.compare(0, 4, "nan(") == 0 && w.back() == ')';
}

std::string StripCr(std::string s)
{
    if (!s.empty() && s.back() == '\r')
        s.pop_back();
    return s;
}
} // namespace

void FileHelper::WriteString(FILE* file, const std::string& text) { std::fprintf(file, "%s\n", text.c_str()); }

bool FileHelper::ReadString(FILE* file, std::string& text)
{
    std::string line;
    if (!TakeLine(file, line))
        return false;
    text = StripCr(std::move(line));
    return true;
}

void FileHelper::WriteInt(FILE* file, int32_t value) { std::fprintf(file, "%" PRId32 "\n", value); }

bool FileHelper::ReadInt(FILE* file, int32_t* value)
{
    std::string line;
    if (!TakeLine(file, line))
        return false;
    int32_t v;
    if (!numparse::ParseInt32(line, &v))
        return false;
    *value = v;
    return true;
}

void FileHelper::WriteValue(FILE* file, int32_t value) { WriteInt(file, value); }
bool FileHelper::ReadValue(FILE* file, int32_t* value) { return ReadInt(file, value); }

void FileHelper::WriteFloat(FILE* file, float value)
{
    // A value that is not finite is written as 0, the value it reads back as.
    const double v = std::isfinite(value) ? static_cast<double>(value) : 0.0;
    std::fprintf(file, "%f\n", v);
}

bool FileHelper::ReadFloat(FILE* file, float* value)
{
    std::string line;
    if (!TakeLine(file, line))
        return false;
    float v;
    if (IsNonFiniteWord(line))
        v = 0;
    else if (!numparse::ParseFloat(line, &v))
        return false;
    *value = v;
    return true;
}

void FileHelper::WriteUnsigned(FILE* file, uint32_t value) { std::fprintf(file, "%" PRIu32 "ld\n", value); }

bool FileHelper::ReadUnsigned(FILE* file, uint32_t* value)
{
    std::string line;
    if (!TakeLine(file, line))
        return false;
    uint32_t v;
    if (!numparse::ParseUInt32Wrapping(line, &v))
        return false;
    *value = v;
    return true;
}

// ---------------------------------------------------------------- opening
namespace {
void ReportOutsideName(const std::string& gbkName)
{
    Alert(GBK("文件名指向游戏目录之外，已拒绝！"));
    AlertStr(FileHelper::ShownPath(gbkName));
}
} // namespace

FILE* FileHelper::OpenFile(const std::string& gbkName, const char* mode)
{
    plat::PathError err = plat::PathError::None;
    FILE* f = plat::P().paths().Open(gbkName, mode, &err);
    if (err == plat::PathError::LeavesFolder)
        ReportOutsideName(gbkName);
    return f;
}

bool FileHelper::RefuseOutsideName(const std::string& gbkName)
{
    if (plat::PathResolver::Split(gbkName))
        return false;
    ReportOutsideName(gbkName);
    return true;
}

// A file with LF line ends but no CR at all is reported once and given a CR
// before each LF; true when it was.
bool FileHelper::ConvertLfOnly(const std::string& gbkName, std::string& bytes)
{
    if (bytes.find('\r') != std::string::npos || bytes.find('\n') == std::string::npos)
        return false;
    Alert((std::string(GBK("文件的行尾没有CR，按LF行尾读取：")) + ShownPath(gbkName)).c_str());
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes) {
        if (c == '\n')
            text.push_back('\r');
        text.push_back(c);
    }
    bytes = std::move(text);
    return true;
}

uint64_t FileHelper::CapOf(DataKind kind)
{
    constexpr uint64_t kMiB = uint64_t{1} << 20;
    switch (kind) {
    case DataKind::Map:
        return 64 * kMiB;   // the largest map the size rules allow is under 40 MB
    case DataKind::Script:
        return 64 * kMiB;   // positions in a script are 32-bit, and no story comes near
    case DataKind::Frame:
        return 16 * kMiB;
    case DataKind::Save:
        return 64 * kMiB;
    case DataKind::Config:
        return 1 * kMiB;    // five short lines
    }
    return 0;
}

namespace {
void ReportTooLarge(const std::string& gbkName, uint64_t size, uint64_t cap, bool atLeast)
{
    Alert(GBK("文件太大，不能读入！"));
    AlertStr(FileHelper::ShownPath(gbkName) + GBK("（") + (atLeast ? GBK("多于") : std::string()) +
             std::to_string(size) + GBK("字节，上限") + std::to_string(cap) + GBK("字节）"));
}
} // namespace

bool FileHelper::WithinCap(FILE* file, const std::string& gbkName, DataKind kind)
{
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        size = std::ftell(file);
    std::rewind(file);
    const uint64_t cap = CapOf(kind);
    if (size < 0 || static_cast<uint64_t>(size) <= cap)
        return true;
    ReportTooLarge(gbkName, static_cast<uint64_t>(size), cap, false);
    return false;
}

bool FileHelper::ReadCapped(FILE* file, const std::string& gbkName, DataKind kind, std::string* bytes)
{
    if (!WithinCap(file, gbkName, kind))
        return false;
    // A file without a size (or one that grew) is still read no further.
    const uint64_t cap = CapOf(kind);
    *bytes = plat::ReadWholeFile(file, static_cast<size_t>(cap) + 1);
    if (bytes->size() > cap) {
        bytes->clear();
        ReportTooLarge(gbkName, cap, cap, true);
        return false;
    }
    return true;
}

bool FileHelper::ReadDataFile(const std::string& gbkName, DataKind kind, std::string* text, bool* refused)
{
    if (refused)
        *refused = false;
    if (RefuseOutsideName(gbkName)) {
        if (refused)
            *refused = true;
        return false;
    }
    FILE* f = OpenFile(gbkName, "rb");
    if (!f)
        return false;
    const bool read = ReadCapped(f, gbkName, kind, text);
    std::fclose(f);
    if (!read) {
        if (refused)
            *refused = true;
        return false;
    }
    ConvertLfOnly(gbkName, *text);
    return true;
}

FILE* FileHelper::OpenDataFile(const std::string& gbkName, DataKind kind)
{
    FILE* f = OpenFile(gbkName, "rb");
    if (!f)
        return nullptr;
    std::string bytes;
    if (!ReadCapped(f, gbkName, kind, &bytes)) {
        std::fclose(f);
        return nullptr;
    }
    if (!ConvertLfOnly(gbkName, bytes)) {
        std::rewind(f);
        return f;
    }
    std::fclose(f);
    FILE* t = std::tmpfile();
    if (!t)
        return nullptr;
    std::fwrite(bytes.data(), 1, bytes.size(), t);
    std::rewind(t);
    return t;
}
