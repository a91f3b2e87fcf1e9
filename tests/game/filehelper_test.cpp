// The text-file toolkit every loader and save record is built from.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "core/filehelper.h"
#include "test_support.h"

using tevtest::MemFile;

namespace {

struct TokenCase {
    const char* name;
    std::string input;
    char begin, end;
    std::string token;
    std::string rest; // what the next reads see
};

std::string Rest(FILE* f)
{
    std::string r;
    for (int c; (c = std::getc(f)) != EOF;)
        r += static_cast<char>(c);
    return r;
}

void PrintTo(const TokenCase& c, std::ostream* os) { *os << c.name; }

class ReadTokenTable : public ::testing::TestWithParam<TokenCase> {};

TEST_P(ReadTokenTable, TokenAndPosition)
{
    const TokenCase& c = GetParam();
    FileHelper h;
    FILE* f = MemFile(c.input);
    EXPECT_EQ(h.ReadToken(f, c.begin, c.end), c.token);
    EXPECT_EQ(Rest(f), c.rest);
    std::fclose(f);
}

const std::string kLong(5000, 'x');

INSTANTIATE_TEST_SUITE_P(
    FileHelper, ReadTokenTable,
    ::testing::Values(
        TokenCase{"MarkThenComment", "1!comment\r\n", '0', '!', "1", "comment\r\n"},
        TokenCase{"BlanksTrimmedCommentUnread", "   x = 5 ; // c\r\n", '0', ';', "x = 5", " // c\r\n"},
        TokenCase{"BeginMarkSkipsName", "Cmd(abc,1)\r\n", '(', ',', "abc", "1)\r\n"},
        TokenCase{"CrLeftUnread", "abc\r\nnext", '0', ';', "abc", "\r\nnext"},
        TokenCase{"CommentLineIsEmpty", "// c\r\n", '0', ';', "", "\r\n"},
        TokenCase{"CommentCutsToken", "a // c\r\n", '0', ';', "a", "\r\n"},
        // A comment is read past up to the end mark, whatever its length.
        TokenCase{"SingleSlashesKept", "a/b//c/d;e", '0', ';', "a/b", "e"},
        TokenCase{"ThreeSlashes", "///x;e", '0', ';', "", "e"},
        TokenCase{"LongCommentReadPast", "x //" + std::string(5000, '/') + "y;e", '0', ';', "x", "e"},
        TokenCase{"OneLineEndSkipped", "\r\nabc;", '0', ';', "abc", ""},
        TokenCase{"EmptyLineGivesEmptyToken", "\r\n\r\nabc;", '0', ';', "", "\r\nabc;"},
        TokenCase{"BlankLinesAndIndentSkipped", "\r\n   \r\n   abc;", '0', ';', "abc", ""},
        TokenCase{"TabsAreNotSkipped", "\tabc;", '0', ';', "\tabc", ""},
        TokenCase{"BeginMarkAcrossLines", "x\r\ny\r\n\"hi\"", '"', '"', "hi", ""},
        TokenCase{"EofWithBeginMark", "abc", '"', '"', "", ""},
        TokenCase{"EofWithoutEndMark", "abc", '0', ';', "abc", ""},
        TokenCase{"EmptyFile", "", '0', ';', "", ""},
        TokenCase{"ByteFFIsNotEof", "a\xFF" "b;c", '0', ';', "a\xFF" "b", "c"},
        // 0x5C is a GBK trail byte here, not a separator or a mark.
        TokenCase{"GbkTrailBackslash", "\"\xD5\x5C\xB7\xA8\"", '"', '"', "\xD5\x5C\xB7\xA8", ""},
        TokenCase{"VeryLongToken", kLong + ";", '0', ';', kLong, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Where GoLineStart lands from a position, as a table: line ends of each
// kind, the file's ends, and lines whose start lies just inside, at and just
// beyond the edges of the blocks it reads back in (256, then 512 more, ...,
// up to 64 KiB each) and of the stream's own 8 KiB buffer.
struct LineStartCase {
    const char* name;
    std::string text;
    long from;
    long to;
};

void PrintTo(const LineStartCase& c, std::ostream* os) { *os << c.name; }

class GoLineStartTable : public ::testing::TestWithParam<LineStartCase> {};

TEST_P(GoLineStartTable, LandsAtTheLineStart)
{
    const LineStartCase& c = GetParam();
    FileHelper h;
    // Both kinds of stream the game reads: a file and a text in memory.
    std::string bytes = c.text;
    for (FILE* f : {MemFile(c.text), fmemopen(bytes.data(), bytes.size(), "rb")}) {
        ASSERT_NE(f, nullptr);
        if (std::fseek(f, c.from, SEEK_SET) != 0) {
            // Only a file can be sought past its end.
            EXPECT_GT(c.from, static_cast<long>(c.text.size()));
            std::fclose(f);
            continue;
        }
        h.GoLineStart(f);
        EXPECT_EQ(std::ftell(f), c.to);
        // Reading goes on from there.
        if (c.to < static_cast<long>(c.text.size()))
            EXPECT_EQ(std::getc(f), static_cast<unsigned char>(c.text[static_cast<size_t>(c.to)]));
        std::fclose(f);
    }
}

// A line of n bytes after "ab\r\n", the position at its end (n + 4 from the
// file's start, n from the line's).
LineStartCase LongLine(const char* name, size_t n)
{
    return LineStartCase{name, "ab\r\n" + std::string(n, 'x') + "\r\n", static_cast<long>(n) + 4, 4};
}

INSTANTIATE_TEST_SUITE_P(
    FileHelper, GoLineStartTable,
    ::testing::Values(
        LineStartCase{"InsideTheSecondLine", "first\r\nsecond\r\n", 10, 7},
        LineStartCase{"AlreadyAtALineStart", "first\r\nsecond\r\n", 7, 7},
        LineStartCase{"InsideTheFirstLine", "first\r\nsecond\r\n", 3, 0},
        LineStartCase{"AtTheFileStart", "first\r\n", 0, 0},
        LineStartCase{"EmptyFile", "", 0, 0},
        LineStartCase{"BetweenCrAndLf", "ab\r\ncd", 3, 3},
        LineStartCase{"AfterALoneCr", "ab\rcd", 4, 3},
        LineStartCase{"AfterALoneLf", "ab\ncd", 4, 3},
        LineStartCase{"OnTheCrOfItsLine", "ab\r\ncd\r\n", 6, 4},
        LineStartCase{"AtTheFileEndWithoutLineEnd", "ab\r\ncd", 6, 4},
        LineStartCase{"AtTheFileEndAfterALineEnd", "ab\r\ncd\r\n", 8, 8},
        LineStartCase{"PastTheFileEnd", "ab\r\ncd", 50, 4},
        LineStartCase{"PastTheEndOfAFileWithoutLineEnds", "abcd", 9000, 0},
        LineStartCase{"GbkAndHighBytesEndNoLine", "a\r\n\xD5\x5C\xFF\x8A\x8D", 7, 3},
        LongLine("LineEndFirstByteOfTheFirstBlock", 255),
        LongLine("LineEndJustBeforeTheFirstBlock", 256),
        LongLine("LineEndTwoBeforeTheFirstBlock", 257),
        LongLine("LineEndFirstByteOfTheSecondBlock", 767),
        LongLine("LineEndJustBeforeTheSecondBlock", 768),
        LongLine("LineEndAtTheStreamBufferEdge", 8191),
        LongLine("LineEndJustPastTheStreamBuffer", 8192),
        // The blocks reach 256 × (2^k − 1) bytes back: the ninth, the first
        // of 64 KiB, ends 130 816 back, the tenth 196 352.
        LongLine("LineEndFirstByteOfTheFirstFullBlock", 130815),
        LongLine("LineEndJustBeforeTheFirstFullBlock", 130816),
        LongLine("LineEndFirstByteOfALaterFullBlock", 196351),
        LongLine("LineEndJustBeforeALaterFullBlock", 196352),
        LongLine("LineOfAMegabyte", 1 << 20),
        LineStartCase{"LongFirstLine", std::string(300000, ' ') + "x;\r\n", 300001, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// A long line is stepped back over in a few reads of the stream, not in one
// read per byte.
TEST(FileHelper, GoLineStartReadsALongLineInAFewReads)
{
    struct Source {
        std::string bytes;
        size_t at = 0;
        int reads = 0;
    } src{"ab\r\n" + std::string(size_t{1} << 20, ' ') + "x;\r\n"};
    cookie_io_functions_t io{};
    io.read = [](void* cookie, char* buf, size_t size) -> ssize_t {
        auto* s = static_cast<Source*>(cookie);
        ++s->reads;
        const size_t n = std::min(size, s->bytes.size() - std::min(s->at, s->bytes.size()));
        std::memcpy(buf, s->bytes.data() + s->at, n);
        s->at += n;
        return static_cast<ssize_t>(n);
    };
    io.seek = [](void* cookie, off64_t* offset, int whence) -> int {
        auto* s = static_cast<Source*>(cookie);
        const off64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? static_cast<off64_t>(s->at)
                                                                          : static_cast<off64_t>(s->bytes.size());
        s->at = static_cast<size_t>(base + *offset);
        *offset = static_cast<off64_t>(s->at);
        return 0;
    };
    FILE* f = fopencookie(&src, "rb", io);
    ASSERT_NE(f, nullptr);
    const long end = static_cast<long>(src.bytes.size()) - 4;   // before "x;"
    ASSERT_EQ(std::fseek(f, end + 2, SEEK_SET), 0);
    FileHelper h;
    h.GoLineStart(f);
    EXPECT_EQ(std::ftell(f), 4);
    EXPECT_LT(src.reads, 200) << "a megabyte stepped back over";
    std::fclose(f);
}

TEST(FileHelper, SkipLineAndReadLine)
{
    FileHelper h;
    FILE* f = MemFile("ab\r\ncd\r\n" + kLong + "\r\n");
    h.SkipLine(f);
    EXPECT_EQ(h.ReadLine(f), "cd\r\n");
    EXPECT_EQ(h.ReadLine(f), kLong + "\r\n"); // never cut or split
    h.SkipLine(f);                            // at the end: nothing happens
    EXPECT_EQ(h.ReadLine(f), "");
    std::fclose(f);
}

TEST(FileHelper, SmallTextHelpers)
{
    FileHelper h;
    EXPECT_EQ(h.DigitsToInt(""), -1);
    EXPECT_EQ(h.DigitsToInt("abc"), -1);
    EXPECT_EQ(h.DigitsToInt("a0"), 0);
    EXPECT_EQ(h.DigitsToInt("ab1c2"), 12);
    EXPECT_EQ(h.DigitsToInt("99999999999999"), INT32_MAX);
    std::string t = "   ";
    h.Trim(t);
    EXPECT_EQ(t, "   "); // blanks only: unchanged
    t = "  a b  ";
    h.Trim(t);
    EXPECT_EQ(t, "a b");
    t = "http://x";
    h.StripComment(t);
    EXPECT_EQ(t, "http:");
    EXPECT_EQ(h.MakePath("Map\\", "demo", "jmap"), "Map\\\\demo.jmap");
    // Shown in messages with single separators; a GBK trail byte 0x5C (as
    // in the second byte of 0x815C) is no separator.
    EXPECT_EQ(FileHelper::ShownPath("Map\\\\demo.jmap"), "Map\\demo.jmap");
    EXPECT_EQ(FileHelper::ShownPath("Script\\\\\x81\x5C\\x.jsr"), "Script\\\x81\x5C\\x.jsr");
    EXPECT_EQ(h.SubStr("abcdef", 1, 3), "bcd");
    EXPECT_EQ(h.SubStr("abc", 2, 9), "c");
    EXPECT_EQ(h.SubStr("abc", 3, 1), "");
}

struct NumberCase {
    const char* text;
    int32_t asInt;
    float asFloat;
};

TEST(FileHelper, NumberConversionsFollowAtoiWithoutUndefinedBehaviour)
{
    const NumberCase cases[] = {
        {"42", 42, 42.0f},          {"  -7x", -7, -7.0f},
        {"+5", 5, 5.0f},            {"", 0, 0.0f},
        {"abc", 0, 0.0f},           {"99999999999", INT32_MAX, 99999999999.0f},
        {"-99999999999", INT32_MIN, -99999999999.0f},
        {"0x10", 0, 0.0f},          {"1.5", 1, 1.5f},
        {".5", 0, 0.5f},            {"nan", 0, 0.0f},
        {"inf", 0, 0.0f},           {"1e999", 1, 0.0f},
        {"\t12", 12, 12.0f},
    };
    FileHelper h;
    for (const auto& c : cases) {
        EXPECT_EQ(h.StrToInt(c.text), c.asInt) << c.text;
        EXPECT_EQ(h.StrToLong(c.text), c.asInt) << c.text;
        EXPECT_FLOAT_EQ(h.StrToFloat(c.text), c.asFloat) << c.text;
    }
}

std::string Written(void (*write)(FileHelper&, FILE*))
{
    FileHelper h;
    FILE* f = std::tmpfile();
    write(h, f);
    std::rewind(f);
    std::string r = Rest(f);
    std::fclose(f);
    return r;
}

TEST(ValueLines, WrittenFormats)
{
    EXPECT_EQ(Written([](FileHelper& h, FILE* f) { h.WriteFloat(f, 128.0f); }), "128.000000\n");
    EXPECT_EQ(Written([](FileHelper& h, FILE* f) { h.WriteInt(f, -1); }), "-1\n");
    EXPECT_EQ(Written([](FileHelper& h, FILE* f) { h.WriteUnsigned(f, 7); }), std::string("7ld\n"));
    EXPECT_EQ(Written([](FileHelper& h, FILE* f) { h.WriteString(f, "NULL"); }), "NULL\n");
}

TEST(ValueLines, EachReaderTakesExactlyOneLine)
{
    FileHelper h;
    // An empty text, an unsigned with its letters, blanks and a CR around a
    // number, a float: every value lands on its own line.
    FILE* f = MemFile("\n7ld\n  -3 \r\n1.250000\nname\r\nlast");
    std::string s = "x";
    uint32_t u = 0;
    int32_t i = 0;
    float fl = 0;
    std::string name, last;
    EXPECT_TRUE(h.ReadString(f, s));
    EXPECT_EQ(s, "");
    EXPECT_TRUE(h.ReadUnsigned(f, &u));
    EXPECT_EQ(u, 7u);
    EXPECT_TRUE(h.ReadInt(f, &i));
    EXPECT_EQ(i, -3);
    EXPECT_TRUE(h.ReadFloat(f, &fl));
    EXPECT_FLOAT_EQ(fl, 1.25f);
    EXPECT_TRUE(h.ReadString(f, name));
    EXPECT_EQ(name, "name");
    EXPECT_TRUE(h.ReadString(f, last)); // no LF at the end: ends there
    EXPECT_EQ(last, "last");
    EXPECT_FALSE(h.ReadString(f, last)); // nothing left
    EXPECT_EQ(last, "last");
    std::fclose(f);
}

TEST(ValueLines, UnreadableValuesLeaveTheTargetAndFail)
{
    FileHelper h;
    FILE* f = MemFile("x\n99999999999\n\nnanny\n-1ld\n");
    int32_t i = 5;
    EXPECT_FALSE(h.ReadInt(f, &i));
    EXPECT_EQ(i, 5);
    EXPECT_TRUE(h.ReadInt(f, &i)); // saturates
    EXPECT_EQ(i, INT32_MAX);
    EXPECT_FALSE(h.ReadValue(f, &i)); // empty line
    EXPECT_EQ(i, INT32_MAX);
    float fl = 2;
    EXPECT_FALSE(h.ReadFloat(f, &fl));
    EXPECT_EQ(fl, 2);
    uint32_t u = 0;
    EXPECT_TRUE(h.ReadUnsigned(f, &u)); // unsigned wraps
    EXPECT_EQ(u, 0xFFFFFFFFu);
    EXPECT_FALSE(h.ReadInt(f, &i)); // end of file
    std::fclose(f);
}

TEST(ValueLines, NonFiniteFloatsReadAsZeroAndAreNeverWritten)
{
    FileHelper h;
    for (const char* line : {"nan", "-nan", "NaN", "inf", "-inf", "+INF", "infinity", "nan(0x8)", " nan \r"}) {
        SCOPED_TRACE(line);
        FILE* f = MemFile(std::string(line) + "\n1.5\n");
        float fl = 7;
        EXPECT_TRUE(h.ReadFloat(f, &fl));
        EXPECT_EQ(fl, 0.0f);
        EXPECT_TRUE(h.ReadFloat(f, &fl)); // the next line is still the next value
        EXPECT_FLOAT_EQ(fl, 1.5f);
        std::fclose(f);
    }
    EXPECT_EQ(Written([](FileHelper& hh, FILE* f) { hh.WriteFloat(f, std::numeric_limits<float>::quiet_NaN()); }),
              "0.000000\n");
    EXPECT_EQ(Written([](FileHelper& hh, FILE* f) { hh.WriteFloat(f, std::numeric_limits<float>::infinity()); }),
              "0.000000\n");
    EXPECT_EQ(Written([](FileHelper& hh, FILE* f) { hh.WriteFloat(f, -std::numeric_limits<float>::infinity()); }),
              "0.000000\n");
}

TEST(ValueLines, RoundTrip)
{
    FileHelper h;
    FILE* f = std::tmpfile();
    h.WriteString(f, "");
    h.WriteInt(f, INT32_MIN);
    h.WriteFloat(f, -0.5f);
    h.WriteUnsigned(f, 0xFFFFFFFFu);
    h.WriteString(f, "\xC4\xE3\xBA\xC3"); // GBK bytes pass through
    std::rewind(f);
    std::string a = "x", b;
    int32_t i = 0;
    float fl = 0;
    uint32_t u = 0;
    ASSERT_TRUE(h.ReadString(f, a));
    ASSERT_TRUE(h.ReadInt(f, &i));
    ASSERT_TRUE(h.ReadFloat(f, &fl));
    ASSERT_TRUE(h.ReadUnsigned(f, &u));
    ASSERT_TRUE(h.ReadString(f, b));
    EXPECT_EQ(a, "");
    EXPECT_EQ(i, INT32_MIN);
    EXPECT_FLOAT_EQ(fl, -0.5f);
    EXPECT_EQ(u, 0xFFFFFFFFu);
    EXPECT_EQ(b, "\xC4\xE3\xBA\xC3");
    std::fclose(f);
}

} // namespace
