// The forms layer: numbers, GBK, paths, list fields, pictures and blits,
// keys, timers and the error boundary.
#include "support.h"

#include "platform/app.h"
#include "platform/blit.h"
#include "platform/convert.h"
#include "platform/form.h"
#include "platform/gbk.h"
#include "platform/keys.h"
#include "platform/paths.h"
#include "platform/picture.h"
#include "platform/textfile.h"
#include "platform/timer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace tstest;

TEST(Convert, ToInt16RoundsHalfToEvenAndRefusesOverflow)
{
    struct Case {
        double in;
        int out;
    } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-2.5, -2}, {2.6, 3}, {32767.4, 32767}, {-32768.0, -32768}};
    for (const Case& c : cases)
        EXPECT_EQ(fr::toInt16(c.in), c.out) << c.in;
    for (double bad : {32767.5, -32768.6, 1e9, std::nan("")})
        EXPECT_THROW(fr::toInt16(bad), fr::RuntimeError) << bad;
}

TEST(Convert, ParseNumberAcceptsDecimalFormsOnly)
{
    struct Case {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {"20", true, 20},     {"020", true, 20},   {" 20", true, 20},    {"+20", true, 20},   {"20.0", true, 20},
        {"2e1", true, 20},    {" -3.5 ", true, -3.5}, {".5", true, 0.5}, {"", false, 0},      {" ", false, 0},
        {"0x10", false, 0},   {"12abc", false, 0}, {"1e", false, 0},     {"--1", false, 0},   {"1,5", false, 0},
        {"inf", false, 0},    {"nan", false, 0},   {"1e999", false, 0},
    };
    for (const Case& c : cases) {
        double v = -1;
        EXPECT_EQ(fr::parseNumber(QByteArray(c.text), v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(v, c.value) << c.text;
        }
    }
    EXPECT_THROW(fr::toNumber(QStringLiteral("二十")), fr::RuntimeError);
}

TEST(Convert, WholeInt16AndNumberText)
{
    int16_t v = 0;
    EXPECT_TRUE(fr::parseWholeInt16("-32768", v));
    EXPECT_EQ(v, -32768);
    EXPECT_TRUE(fr::parseWholeInt16(" 7.0", v));
    EXPECT_EQ(v, 7);
    for (const char* bad : {"32768", "1.5", "x", "", "-"})
        EXPECT_FALSE(fr::parseWholeInt16(bad, v)) << bad;
    EXPECT_EQ(fr::numText(20), "20");
    EXPECT_EQ(fr::numText(0.5), "0.5");
    EXPECT_EQ(fr::numText(-3), "-3");
    EXPECT_EQ(fr::NumOrText::fromText(QStringLiteral("020")).print(), "020");
    EXPECT_EQ(fr::NumOrText::fromNumber(20).print(), "20");
    EXPECT_EQ(fr::NumOrText().number(), 0);
    EXPECT_THROW(fr::NumOrText::fromText(QStringLiteral("abc")).number(), fr::RuntimeError);
}

TEST(Gbk, RoundTripAndRefusal)
{
    const QString text = QStringLiteral("地图文件 map1");
    QByteArray gbk;
    ASSERT_TRUE(fr::gbk::encode(text, gbk));
    EXPECT_EQ(gbk, G("地图文件 map1"));
    EXPECT_EQ(gbk.size(), 13);
    EXPECT_EQ(fr::gbk::decode(gbk), text);
    // A character with no GBK code is refused, not mangled.
    EXPECT_FALSE(fr::gbk::encode(QStringLiteral("a😀b"), gbk));
    EXPECT_TRUE(gbk.isEmpty());
    EXPECT_EQ(fr::gbk::firstUnencodable(QStringLiteral("a😀b")), QStringLiteral("😀"));
    // A cut sequence decodes to U+FFFD and the rest survives.
    EXPECT_EQ(fr::gbk::decode(QByteArray("ab\xB5")), QStringLiteral("ab\uFFFD"));
    EXPECT_EQ(fr::gbk::decode(QByteArray("\xFF") + "ab"), QStringLiteral("\uFFFDab"));
}

TEST(Paths, ResolveMatchesAnyLetterCaseAndPrefersTheExactName)
{
    QTemporaryDir dir;
    const QString root = dir.path() + "/";
    WriteBytes(root + "Resource/bmp/Map1.bmp", "x");
    WriteBytes(root + "Script/a.jsr", "lower");
    WriteBytes(root + "Script/A.jsr", "upper");
    EXPECT_EQ(fr::ci::resolve(root + "resource/BMP/map1.bmp"), root + "Resource/bmp/Map1.bmp");
    EXPECT_EQ(fr::ci::resolve(root + "script/A.jsr"), root + "Script/A.jsr");
    EXPECT_EQ(fr::ci::resolve(root + "script/a.jsr"), root + "Script/a.jsr");
    // A missing tail keeps its spelling after the part that exists.
    EXPECT_EQ(fr::ci::resolve(root + "SCRIPT/New/x.jsr"), root + "Script/New/x.jsr");
    EXPECT_EQ(fr::ci::resolve(root + "resource/"), root + "Resource/");
    EXPECT_TRUE(fr::fileExists(root + "RESOURCE/bmp/MAP1.BMP"));
    EXPECT_FALSE(fr::fileExists(root + "Resource/bmp"));
    EXPECT_TRUE(fr::dirExists(root + "resource/BMP/"));
}

TEST(Paths, AtomicWriteReplacesTheExistingSpellingOnly)
{
    QTemporaryDir dir;
    const QString root = dir.path() + "/";
    WriteBytes(root + "RoleAttribList.txt", "old");
    QString error;
    ASSERT_TRUE(fr::writeFileAtomic(root + "roleattriblist.txt", "new", error)) << error.toStdString();
    EXPECT_EQ(QDir(root).entryList(QDir::Files), QStringList{"RoleAttribList.txt"});
    EXPECT_EQ(ReadBytes(root + "RoleAttribList.txt"), "new");
    // No folder: nothing is written and the reason is given.
    EXPECT_FALSE(fr::writeFileAtomic(root + "nofolder/x.txt", "y", error));
    EXPECT_TRUE(error.contains("nofolder"));
}

TEST(Paths, AtomicWriteKeepsTheTargetsModeAndLeavesNoTemporaryFile)
{
    QTemporaryDir dir;
    const QString root = dir.path() + "/";
    WriteBytes(root + "a.jmap", "old");
    QFile::setPermissions(root + "a.jmap", QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    // While the bytes are being written, the target is still the old file
    // and the temporary one sits beside it under a name no list filters in.
    QString seen;
    fr::setAtomicWriteHookForTest([&](const QString& temp) {
        seen = temp;
        EXPECT_EQ(ReadBytes(root + "a.jmap"), "old");
        EXPECT_EQ(ReadBytes(temp), "new bytes");
        return true;
    });
    QString error;
    ASSERT_TRUE(fr::writeFileAtomic(root + "a.jmap", "new bytes", error)) << error.toStdString();
    fr::setAtomicWriteHookForTest({});
    EXPECT_EQ(QFileInfo(seen).path() + "/", root);
    EXPECT_TRUE(QFileInfo(seen).fileName().startsWith('.'));
    EXPECT_FALSE(seen.endsWith(".jmap", Qt::CaseInsensitive));
    EXPECT_EQ(ReadBytes(root + "a.jmap"), "new bytes");
    EXPECT_EQ(QFileInfo(root + "a.jmap").permissions() & 0x7077, // owner, group, others
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    EXPECT_EQ(FolderEntries(root), QStringList{"a.jmap"});

    // A link is followed: the file it names gets the bytes, the link stays.
    QDir().mkpath(root + "real");
    WriteBytes(root + "real/b.jmap", "old");
    ASSERT_TRUE(QFile::link(root + "real/b.jmap", root + "b.jmap"));
    ASSERT_TRUE(fr::writeFileAtomic(root + "b.jmap", "via link", error)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(root + "b.jmap").isSymLink());
    EXPECT_EQ(ReadBytes(root + "real/b.jmap"), "via link");
}

// A save killed after writing its bytes leaves its temporary file behind:
// each target has one fixed temporary name, so killed saves leave at most
// one such file, and the next save of that target clears it.
TEST(Paths, KilledSavesLeaveAtMostOneTemporaryFile)
{
    QTemporaryDir dir;
    const QString root = dir.path() + "/";
    WriteBytes(root + "a.jmap", "old");
    for (int i = 0; i < 20; ++i) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            fr::setAtomicWriteHookForTest([](const QString&) -> bool { ::_exit(0); });
            QString error;
            fr::writeFileAtomic(root + "a.jmap", QByteArray(4096, 'n'), error);
            ::_exit(1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(ReadBytes(root + "a.jmap"), "old");
    EXPECT_EQ(FolderEntries(root), (QStringList{".a.jmap.tmp", "a.jmap"}));
    QString error;
    ASSERT_TRUE(fr::writeFileAtomic(root + "a.jmap", "new", error)) << error.toStdString();
    EXPECT_EQ(FolderEntries(root), QStringList{"a.jmap"});
    EXPECT_EQ(ReadBytes(root + "a.jmap"), "new");

    // A link left under the temporary name is replaced, not written through.
    WriteBytes(root + "other", "keep");
    ASSERT_TRUE(QFile::link(root + "other", root + ".a.jmap.tmp"));
    ASSERT_TRUE(fr::writeFileAtomic(root + "a.jmap", "newer", error)) << error.toStdString();
    EXPECT_EQ(ReadBytes(root + "other"), "keep");
    EXPECT_EQ(ReadBytes(root + "a.jmap"), "newer");
    EXPECT_EQ(FolderEntries(root), (QStringList{"a.jmap", "other"}));
}

TEST(Paths, FailedAtomicWritesLeaveTheOldFileWhole)
{
    QTemporaryDir dir;
    const QString root = dir.path() + "/";
    const QByteArray old(3000, 'o');
    const QByteArray bigger(64 * 1024, 'n');
    WriteBytes(root + "Map/a.jmap", old);
    WriteBytes(root + "plain", "x");
    WriteBytes(root + "ro.jmap", old);
    QFile::setPermissions(root + "ro.jmap", QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    struct Case {
        const char* what;
        QString target;
        QString reason;
    } cases[] = {
        {"vanished folder", root + "gone/a.jmap", "文件夹不存在"},
        {"path through a file", root + "plain/a.jmap", "不是文件夹"},
        {"no write bits", root + "ro.jmap", "只读"},
        {"a folder", root + "Map", "文件夹"},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_FALSE(fr::writeFileAtomic(c.target, bigger, error)) << c.what;
        EXPECT_TRUE(error.contains(c.reason)) << c.what << ": " << error.toStdString();
    }
    EXPECT_EQ(ReadBytes(root + "ro.jmap"), old);

    // A failure midway: the file may not grow past 16 KiB.
    {
        FileSizeLimit limit(16 * 1024);
        QString error;
        EXPECT_FALSE(fr::writeFileAtomic(root + "Map/a.jmap", bigger, error));
        EXPECT_TRUE(error.contains("文件超出允许的大小")) << error.toStdString();
    }
    // A failure injected after the last byte.
    fr::setAtomicWriteHookForTest([](const QString&) { return false; });
    QString error;
    EXPECT_FALSE(fr::writeFileAtomic(root + "Map/a.jmap", bigger, error));
    fr::setAtomicWriteHookForTest({});
    EXPECT_EQ(ReadBytes(root + "Map/a.jmap"), old);
    EXPECT_EQ(FolderEntries(root + "Map"), QStringList{"a.jmap"});
    EXPECT_EQ(FolderEntries(root), (QStringList{"Map", "plain", "ro.jmap"}));
}

// A folder standing at the temporary name stops the save; the message
// names that folder, not the target, which is a file.
TEST(Paths, AFolderAtTheTemporaryNameIsTheOneNamed)
{
    QTemporaryDir dir;
    const QString root = dir.path() + "/";
    WriteBytes(root + "a.jmap", "old");
    ASSERT_TRUE(QDir().mkpath(root + ".a.jmap.tmp"));
    QString error;
    EXPECT_FALSE(fr::writeFileAtomic(root + "a.jmap", "new", error));
    EXPECT_TRUE(error.contains(root + ".a.jmap.tmp")) << error.toStdString();
    EXPECT_TRUE(error.contains("文件夹")) << error.toStdString();
    EXPECT_FALSE(error.contains(QStringLiteral("（是一个文件夹）"))) << error.toStdString();
    EXPECT_EQ(ReadBytes(root + "a.jmap"), "old");
    EXPECT_TRUE(QFileInfo(root + ".a.jmap.tmp").isDir());
}

// A file the editor names itself, with a link at its name: followed while
// it stays in the game folder; one leading out, or nowhere, is replaced; a
// linked folder leading out is refused. A name the user chose is followed
// wherever it leads.
TEST(Paths, OwnFilesStayInTheGameFolder)
{
    QTemporaryDir dir;
    const QString game = dir.path() + "/game/";
    const QString out = dir.path() + "/out/";
    QDir().mkpath(game + "Map/BMap");
    QDir().mkpath(out + "folder");
    struct Case {
        const char* what;
        QString linkTo;  // where a link at game/Map/BMap/a.jmap leads
        bool followed;   // the bytes land at linkTo, the link stays
    } cases[] = {
        {"a file inside", game + "Map/a.jmap", true},
        {"a file inside, by a relative link", "../a.jmap", true},
        {"a file outside", out + "a.jmap", false},
        {"a file outside, by a relative link", "../../../out/a.jmap", false},
        {"out through a link inside", game + "Map/hop.jmap", false},
        {"nowhere", game + "Map/none.jmap", false},
    };
    QFile::link(out + "a.jmap", game + "Map/hop.jmap");
    const QString name = game + "Map/BMap/a.jmap";
    for (const Case& c : cases) {
        WriteBytes(game + "Map/a.jmap", "in");
        WriteBytes(out + "a.jmap", "out");
        QFile::remove(name);
        ASSERT_TRUE(QFile::link(c.linkTo, name)) << c.what;
        QString error;
        ASSERT_TRUE(fr::writeOwnFile(game, name, "new", error)) << c.what << ": " << error.toStdString();
        EXPECT_EQ(ReadBytes(out + "a.jmap"), "out") << c.what;
        EXPECT_EQ(QFileInfo(name).isSymLink(), c.followed) << c.what;
        EXPECT_EQ(ReadBytes(name), "new") << c.what;
        EXPECT_EQ(ReadBytes(game + "Map/a.jmap"), c.followed ? "new" : "in") << c.what;
        // The same copied there.
        WriteBytes(game + "Map/a.jmap", "in");
        QFile::remove(name);
        ASSERT_TRUE(QFile::link(c.linkTo, name)) << c.what;
        WriteBytes(game + "Map/src.jmap", "copied");
        ASSERT_TRUE(fr::copyToOwnFile(game, game + "Map/src.jmap", name, error)) << c.what << ": " << error.toStdString();
        EXPECT_EQ(ReadBytes(out + "a.jmap"), "out") << c.what;
        EXPECT_EQ(ReadBytes(name), "copied") << c.what;
    }
    // The game folder reached through a link of its own is still inside.
    const QString alias = dir.path() + "/alias";
    ASSERT_TRUE(QFile::link(game, alias));
    QFile::remove(name);
    ASSERT_TRUE(QFile::link(game + "Map/a.jmap", name));
    QString error;
    ASSERT_TRUE(fr::writeOwnFile(alias + "/", alias + "/Map/BMap/a.jmap", "via alias", error)) << error.toStdString();
    EXPECT_EQ(ReadBytes(game + "Map/a.jmap"), "via alias");

    // A backup whose name links out to the very file backed up becomes a
    // copy of its own.
    QFile::remove(name);
    ASSERT_TRUE(QFile::link(out + "a.jmap", name));
    ASSERT_TRUE(fr::copyToOwnFile(game, out + "a.jmap", name, error)) << error.toStdString();
    EXPECT_FALSE(QFileInfo(name).isSymLink());
    EXPECT_EQ(ReadBytes(name), "out");
    EXPECT_EQ(ReadBytes(out + "a.jmap"), "out");

    // A folder on the way that leads out: refused, nothing written.
    ASSERT_TRUE(QFile::link(out + "folder", game + "Map/Linked"));
    EXPECT_FALSE(fr::writeOwnFile(game, game + "Map/linked/a.jmap", "new", error));
    EXPECT_TRUE(error.contains("游戏文件夹之外")) << error.toStdString();
    EXPECT_TRUE(FolderEntries(out + "folder").isEmpty());

    // A user's own name follows its link out.
    QFile::remove(name);
    ASSERT_TRUE(QFile::link(out + "a.jmap", name));
    ASSERT_TRUE(fr::writeFileAtomic(name, "chosen", error)) << error.toStdString();
    EXPECT_EQ(ReadBytes(out + "a.jmap"), "chosen");
    EXPECT_TRUE(QFileInfo(name).isSymLink());
}

TEST(Paths, CopyOntoItselfKeepsTheFile)
{
    QTemporaryDir dir;
    const QString root = dir.path() + "/";
    WriteBytes(root + "Map/BMap/a.jmap", "map bytes");
    QString error;
    EXPECT_TRUE(fr::copyFile(root + "Map/BMap/a.jmap", root + "map/bmap/A.JMAP", error));
    EXPECT_EQ(ReadBytes(root + "Map/BMap/a.jmap"), "map bytes");
    EXPECT_TRUE(fr::copyFile(root + "Map/BMap/a.jmap", root + "b.jmap", error));
    EXPECT_EQ(ReadBytes(root + "b.jmap"), "map bytes");
    EXPECT_FALSE(fr::copyFile(root + "missing.jmap", root + "c.jmap", error));
    EXPECT_FALSE(QFileInfo::exists(root + "c.jmap"));
}

TEST(Paths, ProgramFolderComesFromTheStartPathWithoutFollowingLinks)
{
    QTemporaryDir dir;
    const QString root = dir.path() + "/";
    WriteBytes(root + "real/tilesmith", "#!");
    QDir().mkpath(root + "game/editor");
    QFile::link(root + "real/tilesmith", root + "game/editor/tilesmith");
    EXPECT_EQ(fr::programDirFromArgv0(root + "game/editor/tilesmith"), root + "game/editor/");
    EXPECT_EQ(fr::programDirFromArgv0(root + "game/editor/../editor/tilesmith"), root + "game/editor/");
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(root + "game/editor");
    EXPECT_EQ(fr::programDirFromArgv0("./tilesmith"), root + "game/editor/");
    QDir::setCurrent(cwd);
}

// Started for a game folder, the editor's folder is that folder's "editor",
// whatever its letter case and however the game folder was named.
TEST(Paths, EditorFolderOfAGameFolder)
{
    QTemporaryDir dir;
    const QString root = QDir(dir.path()).canonicalPath() + "/";
    QDir().mkpath(root + "game/Editor");
    EXPECT_EQ(fr::editorDirOfGame(root + "game"), root + "game/Editor/");
    EXPECT_EQ(fr::editorDirOfGame(root + "game/"), root + "game/Editor/");
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(root);
    EXPECT_EQ(fr::editorDirOfGame("game"), root + "game/Editor/");
    EXPECT_EQ(fr::editorDirOfGame("./game/../game"), root + "game/Editor/");
    QDir::setCurrent(cwd);
}

TEST(FieldReader, ReadsTheListFieldRules)
{
    fr::FieldReader in(QByteArray(" 0,\"名,字\" junk ,plain text  ,#TRUE#\r\n\"x\"  \nlast,\"open"));
    fr::FieldReader::Field f;
    // A quoted field with more than blanks after its closing quote, or with
    // none, held a double quote of its own: it is marked damaged.
    struct Expect {
        QByteArray text;
        bool quoted;
        fr::FieldReader::End end;
        bool damaged;
    } expected[] = {
        {"0", false, fr::FieldReader::End::Comma, false},
        {"名,字", true, fr::FieldReader::End::Comma, true},
        {"plain text", false, fr::FieldReader::End::Comma, false},
        {"#TRUE#", false, fr::FieldReader::End::LineEnd, false},
        {"x", true, fr::FieldReader::End::LineEnd, false},
        {"last", false, fr::FieldReader::End::Comma, false},
        {"open", true, fr::FieldReader::End::EndOfData, true},
    };
    for (const Expect& e : expected) {
        ASSERT_TRUE(in.read(f));
        EXPECT_EQ(f.text, e.text);
        EXPECT_EQ(f.quoted, e.quoted) << e.text.constData();
        EXPECT_EQ(f.end, e.end) << e.text.constData();
        EXPECT_EQ(f.damaged, e.damaged) << e.text.constData();
    }
    EXPECT_FALSE(in.read(f));
    fr::FieldReader blank(QByteArray("\r\n  \r\n\nEOF"));
    EXPECT_TRUE(blank.skipBlankLines());
    EXPECT_EQ(blank.line(), 4);
    fr::FieldWriter w;
    w.number(3);
    w.string("a b");
    w.boolean(false);
    w.endLine();
    EXPECT_EQ(w.bytes(), "3,\"a b\",#FALSE#\r\n");
}

namespace {

QByteArray Bmp16(int w, int h, const std::vector<uint16_t>& pixels, bool bitfields565)
{
    const int stride = ((w * 16 + 31) / 32) * 4;
    const int headerSize = 14 + 40 + (bitfields565 ? 12 : 0);
    QByteArray b(headerSize + stride * h, '\0');
    auto put32 = [&](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = char((v >> (8 * i)) & 0xFF);
    };
    auto put16 = [&](int at, uint16_t v) {
        b[at] = char(v & 0xFF);
        b[at + 1] = char(v >> 8);
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, uint32_t(b.size()));
    put32(10, uint32_t(headerSize));
    put32(14, 40);
    put32(18, uint32_t(w));
    put32(22, uint32_t(h));
    put16(26, 1);
    put16(28, 16);
    put32(30, bitfields565 ? 3 : 0);
    if (bitfields565) {
        put32(54, 0xF800);
        put32(58, 0x07E0);
        put32(62, 0x001F);
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            put16(headerSize + (h - 1 - y) * stride + 2 * x, pixels[size_t(y * w + x)]);
    return b;
}

} // namespace

TEST(Pictures, SixteenBitBluesWidenToPureBlue)
{
    QTemporaryDir dir;
    struct Case {
        bool bitfields;
        uint16_t blue, white, red;
    } cases[] = {{true, 0x001F, 0xFFFF, 0xF800}, {false, 0x001F, 0x7FFF, 0x7C00}};
    for (const Case& c : cases) {
        const QString path = dir.path() + (c.bitfields ? "/565.bmp" : "/555.bmp");
        WriteBytes(path, Bmp16(3, 2, {c.blue, c.white, c.red, c.red, c.blue, c.white}, c.bitfields));
        QImage img;
        QString error;
        ASSERT_TRUE(fr::loadPicture(path, img, error)) << error.toStdString();
        ASSERT_EQ(img.size(), QSize(3, 2));
        EXPECT_EQ(img.pixel(0, 0), fr::keyColour) << c.bitfields;
        EXPECT_EQ(img.pixel(1, 0), qRgb(255, 255, 255));
        EXPECT_EQ(img.pixel(2, 0), qRgb(255, 0, 0));
        EXPECT_EQ(img.pixel(1, 1), fr::keyColour);
    }
}

TEST(Pictures, BadFilesAreRefusedWithTheirPath)
{
    QTemporaryDir dir;
    const QString root = dir.path() + "/";
    QByteArray cut = Bmp16(4, 4, std::vector<uint16_t>(16, 0x001F), true);
    cut.chop(10);
    WriteBytes(root + "cut.bmp", cut);
    WriteBytes(root + "text.bmp", "not a picture");
    for (const QString& name : {QStringLiteral("cut.bmp"), QStringLiteral("text.bmp"), QStringLiteral("none.bmp")}) {
        QImage img;
        QString error;
        EXPECT_FALSE(fr::loadPicture(root + name, img, error)) << name.toStdString();
        EXPECT_TRUE(error.contains(name)) << error.toStdString();
    }
}

TEST(Blit, ClippingMovesTheDestinationWithTheSource)
{
    fr::PicImage src;
    src.setPicture(MakeSheet(0, 64, 64, 32, 32));
    src.autoSize();
    fr::PicImage dst;
    dst.resize(64, 64);
    dst.cls();
    // A block hanging off the source's top-left: only its inside part lands,
    // at the place it would have had.
    EXPECT_TRUE(fr::bitBlt(dst, 10, 10, 32, 32, src, -8, -4));
    EXPECT_EQ(dst.pixel(18, 14), SheetColour(0, 0, true));
    EXPECT_EQ(dst.pixel(17, 14), fr::keyColour);
    EXPECT_EQ(dst.pixel(18, 13), fr::keyColour);
    EXPECT_EQ(dst.pixel(41, 41), SheetColour(0, 0, false));
    EXPECT_EQ(dst.pixel(42, 42), fr::keyColour);
    // Off the destination's right edge: clipped, no crash.
    EXPECT_TRUE(fr::bitBlt(dst, 48, 0, 32, 32, src, 32, 0));
    EXPECT_EQ(dst.pixel(48, 0), SheetColour(0, 1, true));
    // Wholly outside the source: nothing painted, and it says so.
    const QImage before = dst.snapshot();
    EXPECT_FALSE(fr::bitBlt(dst, 0, 0, 32, 32, src, 0, 64));
    EXPECT_FALSE(fr::bitBlt(dst, 0, 0, 32, 32, src, 0, -96));
    EXPECT_EQ(dst.snapshot(), before);
}

TEST(Blit, TransparentCopySkipsPureBlueOnly)
{
    QImage marker(2, 1, QImage::Format_RGB32);
    marker.setPixel(0, 0, fr::keyColour);
    marker.setPixel(1, 0, qRgb(0, 0, 254));
    fr::PicImage src;
    src.setPicture(marker);
    src.autoSize();
    fr::PicImage dst(qRgb(9, 9, 9));
    dst.resize(2, 1);
    dst.cls();
    fr::transparentBlt(dst, 0, 0, 2, 1, src, 0, 0);
    EXPECT_EQ(dst.pixel(0, 0), qRgb(9, 9, 9));
    EXPECT_EQ(dst.pixel(1, 0), qRgb(0, 0, 254));
    // A cleared layer holds no pixels and lays nothing.
    fr::PicImage empty;
    empty.resize(4000, 4000);
    empty.cls();
    EXPECT_TRUE(empty.isBlank());
    fr::transparentBlt(dst, 0, 0, 2, 1, empty, 0, 0);
    EXPECT_EQ(dst.pixel(0, 0), qRgb(9, 9, 9));
    EXPECT_TRUE(empty.isBlank());
}

TEST(Pictures, ResizeKeepsTheDrawingAndClsRedrawsThePicture)
{
    fr::PicImage p(qRgb(1, 2, 3));
    p.resize(4, 4);
    p.image().setPixel(1, 1, qRgb(200, 0, 0));
    p.resize(8, 2);
    EXPECT_EQ(p.pixel(1, 1), qRgb(200, 0, 0));
    EXPECT_EQ(p.pixel(6, 1), qRgb(1, 2, 3));
    p.resize(8, 8);
    EXPECT_EQ(p.pixel(1, 3), qRgb(1, 2, 3));
    QImage pic(2, 2, QImage::Format_RGB32);
    pic.fill(qRgb(50, 60, 70));
    p.setPicture(pic);
    p.image().setPixel(5, 5, qRgb(0, 255, 0));
    p.cls();
    EXPECT_EQ(p.pixel(0, 0), qRgb(50, 60, 70));
    EXPECT_EQ(p.pixel(5, 5), qRgb(1, 2, 3));
    EXPECT_EQ(p.picture().size(), QSize(2, 2));
    EXPECT_EQ(fr::bgr(0xFF0000), fr::keyColour);
    EXPECT_EQ(fr::bgr(0x400000), qRgb(0, 0, 64));
}

TEST(Keys, CodesAsTheHandlersExpectThem)
{
    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        int code;
        int shift;
    } cases[] = {
        {Qt::Key_A, Qt::ControlModifier, 65, 2},
        {Qt::Key_A, Qt::ShiftModifier, 65, 1},
        {Qt::Key_3, Qt::NoModifier, 51, 0},
        {Qt::Key_NumberSign, Qt::ShiftModifier, 51, 1}, // Shift+3 acts like 3
        {Qt::Key_ParenRight, Qt::ShiftModifier, 48, 1},
        {Qt::Key_3, Qt::KeypadModifier, 99, 0},
        {Qt::Key_F1, Qt::NoModifier, 112, 0},
        {Qt::Key_F10, Qt::AltModifier, 121, 4},
        {Qt::Key_Escape, Qt::NoModifier, 27, 0},
        {Qt::Key_Space, Qt::ControlModifier | Qt::ShiftModifier, 32, 3},
        {Qt::Key_Delete, Qt::NoModifier, 46, 0},
        {Qt::Key_Question, Qt::NoModifier, 0, 0},
    };
    for (const Case& c : cases) {
        QKeyEvent e(QEvent::KeyPress, c.key, c.mods);
        EXPECT_EQ(fr::keyCode(&e), c.code) << c.key;
        EXPECT_EQ(fr::shiftState(e.modifiers() & ~Qt::KeypadModifier), c.shift) << c.key;
    }
}

TEST(Dialogs, FilterBecomesQtFilter)
{
    EXPECT_EQ(fr::filterToQt(QStringLiteral("地图文件|*.jmap|所有文件|*.*")),
              QStringLiteral("地图文件 (*.jmap);;所有文件 (*)"));
}

TEST(Timer, EnablingARunningTimerDoesNotRestartIt)
{
    fr::Timer t;
    int fired = 0;
    t.onTimer = [&] {
        ++fired;
        t.setEnabled(false);
    };
    t.setInterval(300);
    QElapsedTimer clock;
    clock.start();
    t.setEnabled(true);
    // Re-enabling every 50 ms must not push the first tick back.
    while (fired == 0 && clock.elapsed() < 2000) {
        QTest::qWait(50);
        t.setEnabled(true);
        if (fired)
            break;
    }
    EXPECT_EQ(fired, 1);
    EXPECT_LT(clock.elapsed(), 1000);
}

TEST(ErrorBoundary, ShowsTheErrorAndRepeatsOncePerCommand)
{
    ScriptedDialogs dialogs;
    fr::guarded([] { fr::toInt16(1e6); });
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("溢出")));
    fr::guarded([] { throw std::bad_alloc(); });
    EXPECT_TRUE(dialogs.messages.last().contains(QStringLiteral("内存不足")));
    dialogs.messages.clear();
    fr::guarded([] {
        for (int i = 0; i < 200; ++i)
            fr::msgBox(QStringLiteral("GetAttribValue没找到变量lx"));
        fr::msgBox(QStringLiteral("另一条"));
    });
    EXPECT_EQ(dialogs.messages.size(), 2);
    fr::guarded([] { fr::msgBox(QStringLiteral("另一条")); });
    EXPECT_EQ(dialogs.messages.size(), 3);
}

namespace {

class CountingForm : public fr::FormWindow<QWidget> {
public:
    void formActivate() override { ++activations; }
    void formLostFocus() override { ++lostFocus; }
    void formResize() override { ++resizes; }
    int activations = 0;
    int lostFocus = 0;
    int resizes = 0;
};

} // namespace

TEST(Forms, ActivateFiresOnShowAndOnSwitchingBetweenForms)
{
    CountingForm a, b;
    a.show();
    a.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&a));
    EXPECT_EQ(a.activations, 1);
    b.show();
    b.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&b));
    EXPECT_EQ(b.activations, 1);
    EXPECT_GE(a.lostFocus, 1);
    a.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&a));
    EXPECT_EQ(a.activations, 2);
    // Showing it again while it is the active form does not count twice.
    a.hideAndShow();
    QTest::qWait(20);
    EXPECT_EQ(a.activations, 2);
    // A minimized form is not laid out.
    const int resizes = a.resizes;
    a.setWindowState(Qt::WindowMinimized);
    a.resize(300, 300);
    EXPECT_EQ(a.resizes, resizes);
}
