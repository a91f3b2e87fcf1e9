#include "support.h"

#include "platform/app.h"
#include "platform/gbk.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

namespace tstest {

ScriptedDialogs::ScriptedDialogs()
{
    fr::setDialogs(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    fr::setDialogs(nullptr);
}

int ScriptedDialogs::msgBox(const QString& text, int style, const QString&)
{
    messages << text;
    styles.push_back(style);
    if ((style & 7) == fr::vbYesNo || (style & 7) == fr::vbOKCancel) {
        if (yesNo.empty()) {
            ADD_FAILURE() << "unexpected question: " << text.toStdString();
            return fr::vbNo;
        }
        const int a = yesNo.front();
        yesNo.pop_front();
        return a;
    }
    return fr::vbOK;
}

bool ScriptedDialogs::inputBox(const QString& prompt, const QString&, const QString& proposed, QString& answer)
{
    messages << prompt;
    proposals << proposed;
    if (inputs.empty() || !inputs.front()) {
        if (!inputs.empty())
            inputs.pop_front();
        answer.clear();
        return false;
    }
    answer = *inputs.front();
    inputs.pop_front();
    return true;
}

QString ScriptedDialogs::openFile(fr::CommonDialogState& state)
{
    fileDialogs.push_back(state);
    if (realFileDialogs)
        return fr::QtDialogs().openFile(state);
    if (files.empty())
        return {};
    const QString f = files.front();
    files.pop_front();
    if (!f.isEmpty())
        state.fileName = f;
    return f;
}

QString ScriptedDialogs::saveFile(fr::CommonDialogState& state)
{
    if (realFileDialogs) {
        fileDialogs.push_back(state);
        return fr::QtDialogs().saveFile(state);
    }
    return openFile(state);
}

int ScriptedDialogs::count(const QString& part) const
{
    int n = 0;
    for (const QString& m : messages)
        if (m.contains(part))
            ++n;
    return n;
}

EndProgramProbe::EndProgramProbe()
{
    fr::setEndProgramHook([this](int code) { codes.push_back(code); });
}

EndProgramProbe::~EndProgramProbe()
{
    fr::setEndProgramHook({});
}

FileSizeLimit::FileSizeLimit(long bytes)
{
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit r{};
    getrlimit(RLIMIT_FSIZE, &r);
    oldSoft_ = long(r.rlim_cur);
    r.rlim_cur = rlim_t(bytes);
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &r), 0);
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit r{};
    getrlimit(RLIMIT_FSIZE, &r);
    r.rlim_cur = rlim_t(oldSoft_);
    setrlimit(RLIMIT_FSIZE, &r);
    std::signal(SIGXFSZ, oldHandler_);
}

QStringList FolderEntries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray G(const char* utf8)
{
    QByteArray out;
    fr::gbk::encode(QString::fromUtf8(utf8), out);
    return out;
}

QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

QRgb SheetColour(int sheet, int cellIndex, bool corner)
{
    const int r = 20 + sheet * 40;
    const int g = cellIndex & 0xFF;
    const int b = 16 + ((cellIndex >> 8) & 0x3F) + (corner ? 128 : 0);
    return qRgb(r, g, b);
}

QImage MakeSheet(int sheet, int w, int h, int cellW, int cellH)
{
    QImage img(w, h, QImage::Format_RGB32);
    const int perRow = w / cellW;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int idx = (y / cellH) * perRow + x / cellW;
            img.setPixel(x, y, SheetColour(sheet, idx, x % cellW == 0 && y % cellH == 0));
        }
    return img;
}

namespace {

QByteArray listBytes(const std::vector<std::pair<const char*, const char*>>& recs)
{
    QByteArray out;
    int i = 0;
    for (const auto& [name, var] : recs) {
        out += QByteArray::number(i++) + ",\"" + G(name) + "\",\"textbox\",\"number\",\"0\",\"" + var +
               "\",#TRUE#,\"\"\r\n";
    }
    return out;
}

} // namespace

QByteArray NpcAttribListBytes()
{
    return listBytes({{"种类", "id"},        {"名字", "name"},    {"图像帧", "curpicindex"}, {"X坐标", "lx"},
                      {"Y坐标", "ly"},       {"脚本", "script"},  {"速度", "speed"},         {"动画", "animspeed"},
                      {"左", "eleft"},       {"上", "etop"},      {"右", "eright"},          {"下", "ebottom"},
                      {"分割", "division"},  {"活动", "active"},  {"生命", "hp"},            {"透明", "alpha"}});
}

QByteArray MonsterAttribListBytes()
{
    std::vector<std::pair<const char*, const char*>> recs = {
        {"种类", "id"}, {"名字", "name"}, {"图像帧", "curpicindex"}, {"X坐标", "lx"}, {"Y坐标", "ly"},
        {"脚本", "script"}, {"速度", "speed"}, {"动画", "animspeed"}, {"左", "eleft"}, {"上", "etop"},
        {"右", "eright"}, {"下", "ebottom"}, {"分割", "division"}};
    static const char* rest[16] = {"hp", "mp", "attack", "defence", "magickind", "critical", "active", "level",
                                   "astarmode", "reserved", "exp", "gold", "reservedtext", "deathwave", "alpha",
                                   "attackinterval"};
    for (const char* r : rest)
        recs.push_back({"值", r});
    return listBytes(recs);
}

QByteArray RoleAttribListBytes()
{
    std::vector<std::pair<const char*, const char*>> recs = {
        {"种类", "id"}, {"名字", "name"}, {"方向", "direction"}, {"X坐标", "lx"}, {"Y坐标", "ly"}};
    static const char* rest[16] = {"speed", "animspeed", "eleft", "etop", "eright", "ebottom", "hp", "mp",
                                   "attack", "defence", "level", "exp", "nextexp", "footstep", "gold", "alpha"};
    for (const char* r : rest)
        recs.push_back({"值", r});
    return listBytes(recs);
}

GameFolder::GameFolder()
{
    root_ = dir_.path() + "/game/";
    QDir().mkpath(root_ + "Resource/bmp");
    QDir().mkpath(root_ + "Map/BMap");
    QDir().mkpath(root_ + "Script");
    QDir().mkpath(root_ + "editor");
    MakeSheet(0, 256, 256, 32, 32).save(root_ + "Resource/bmp/map1.bmp", "BMP");
    MakeSheet(1, 256, 256, 32, 32).save(root_ + "Resource/bmp/map2.bmp", "BMP");
    MakeSheet(2, 256, 256, 32, 32).save(root_ + "Resource/bmp/map3.bmp", "BMP");
    MakeSheet(3, 256, 192, 32, 48).save(root_ + "Resource/bmp/npc.bmp", "BMP");
    MakeSheet(4, 192, 1024, 64, 64).save(root_ + "Resource/bmp/monster.bmp", "BMP");
    write("editor/NpcAttribList.txt", NpcAttribListBytes());
    write("editor/MonsterAttribList.txt", MonsterAttribListBytes());
    write("editor/RoleAttribList.txt", RoleAttribListBytes());
}

void GameFolder::write(const QString& rel, const QByteArray& bytes) const
{
    WriteBytes(root_ + rel, bytes);
}

tilesmith::MapDocument EmptyMap(int w, int h, int dir, int x, int y)
{
    tilesmith::MapDocument d;
    d.width = w;
    d.height = h;
    d.MapWidth = fr::NumOrText::fromNumber(w);
    d.MapHeight = fr::NumOrText::fromNumber(h);
    d.TileCount = static_cast<int16_t>(w * h);
    d.RoleDir = static_cast<int16_t>(dir);
    d.RoleX = static_cast<int16_t>(x);
    d.RoleY = static_cast<int16_t>(y);
    for (auto& layer : d.layers)
        layer.assign(static_cast<size_t>(w * h), tilesmith::TileRec{});
    return d;
}

QByteArray PlacementBytes(const char* head, const std::vector<QStringList>& entries)
{
    QByteArray out;
    for (const QStringList& e : entries) {
        out += head;
        out += ',';
        for (const QString& v : e) {
            QByteArray b;
            fr::gbk::encode(v, b);
            out += b + ',';
        }
        out += ");\r\n";
    }
    return out + "EOF";
}

QStringList NpcEntry(int id, int frame, int x, int y)
{
    return {QString::number(id), QStringLiteral("阿福"), QString::number(frame), QString::number(x),
            QString::number(y), "NULL", "1", "4", "4", "32", "28", "46", "30", "1", "100", "-1"};
}

QStringList MonsterEntry(int id, int frame, int x, int y)
{
    QStringList e = {QString::number(id), QStringLiteral("史莱姆"), QString::number(frame), QString::number(x),
                     QString::number(y), "NULL", "1", "4", "8", "24", "56", "60", "40"};
    for (int i = 0; i < 16; ++i)
        e << QString::number(i);
    return e;
}

QByteArray MapCellList(const tilesmith::Module1& m)
{
    QByteArray out;
    for (int layer = 1; layer <= tilesmith::TileLayers; ++layer) {
        const auto& cells = m.LayData(layer);
        for (size_t i = 0; i < cells.size(); ++i) {
            const tilesmith::TileRec& t = cells[i];
            out += QByteArray::number(layer - 1) + ' ' + QByteArray::number(qulonglong(i)) + ' ' +
                   QByteArray::number(t.srcX) + ' ' + QByteArray::number(t.srcY) + ' ' +
                   QByteArray::number(t.mapX) + ' ' + QByteArray::number(t.mapY) + ' ' +
                   QByteArray::number(t.sheet);
            if (layer == 1)
                out += ' ' + QByteArray::number(t.obstacle) + ' ' + t.event.toHex();
            out += '\n';
        }
    }
    return out;
}

} // namespace tstest
