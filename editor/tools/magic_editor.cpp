#include "magic_editor.h"

#include "effective_area.h"
#include "statements.h"

#include "platform/blit.h"
#include "platform/convert.h"
#include "platform/gbk.h"
#include "platform/paths.h"
#include "platform/sound.h"
#include "shell/module2.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace tilesmith {

// One text box of the panel: the box, its label, the record's field it
// shows (a number or a text) and its text when the form has just loaded.
struct MagicEditor::Box {
    QLineEdit* MagicEditor::*box;
    const char* name;
    const char* label;
    int16_t MagicRec::*number;
    QByteArray MagicRec::*text;
    const char* atLoad;
};

// In the order of the record.
const MagicEditor::Box MagicEditor::Boxes[] = {
    {&MagicEditor::MagicIDBox, "MagicIDBox", "编号:", &MagicRec::ID, nullptr, "0"},
    {&MagicEditor::MagicNameBox, "MagicNameBox", "名称:", nullptr, &MagicRec::Name, "魔法"},
    {&MagicEditor::MagicSmallWidthBox, "MagicSmallWidthBox", "小图的尺寸Width:", &MagicRec::SmallWidth, nullptr, "0"},
    {&MagicEditor::MagicSmallHeightBox, "MagicSmallHeightBox", "小图的尺寸Height:", &MagicRec::SmallHeight, nullptr,
     "0"},
    {&MagicEditor::MagicLargeWidthBox, "MagicLargeWidthBox", "大图的尺寸Width:", &MagicRec::LargeWidth, nullptr, "0"},
    {&MagicEditor::MagicLargeHeightBox, "MagicLargeHeightBox", "大图的尺寸Height:", &MagicRec::LargeHeight, nullptr,
     "0"},
    {&MagicEditor::MagicRowCountsBox, "MagicRowCountsBox", "行桢数:", &MagicRec::RowCounts, nullptr, "0"},
    {&MagicEditor::MagicColCountsBox, "MagicColCountsBox", "列桢数:", &MagicRec::ColCounts, nullptr, "0"},
    {&MagicEditor::MagicDelayBox, "MagicDelayBox", "动画延时:", &MagicRec::Delay, nullptr, "100"},
    {&MagicEditor::MagicWaveNameBox, "MagicWaveNameBox", "播放声音:", nullptr, &MagicRec::WaveName, "NULL"},
    {&MagicEditor::MagicTimeIntervalBox, "MagicTimeIntervalBox", "每个魔法的间隔时间:", &MagicRec::TimeInterval, nullptr,
     "100"},
    {&MagicEditor::MagicInitSpeedBox, "MagicInitSpeedBox", "初速度:", &MagicRec::InitSpeed, nullptr, "15"},
    {&MagicEditor::MagicAccelerationBox, "MagicAccelerationBox", "加速度:", &MagicRec::Acceleration, nullptr, "0"},
    // (the movement style's drop-down list stands here)
    {&MagicEditor::MagicOnceCountsBox, "MagicOnceCountsBox", "一次发射的数量:", &MagicRec::OnceCounts, nullptr, "1"},
    {&MagicEditor::MagicTimeLifeBox, "MagicTimeLifeBox", "持续时间:", &MagicRec::TimeLife, nullptr, "0"},
    {&MagicEditor::MagicAttackBox, "MagicAttackBox", "攻击力:", &MagicRec::Attack, nullptr, "10"},
    {&MagicEditor::MagicAddAttackBox, "MagicAddAttackBox", "增加攻击力:", &MagicRec::AddAttack, nullptr, "10"},
    {&MagicEditor::MagicAddDefendBox, "MagicAddDefendBox", "增加防御力:", &MagicRec::AddDefend, nullptr, "0"},
    {&MagicEditor::MagicAddHpBox, "MagicAddHpBox", "回复HP:", &MagicRec::AddHp, nullptr, "0"},
    {&MagicEditor::MagicAddMpBox, "MagicAddMpBox", "回复MP:", &MagicRec::AddMp, nullptr, "0"},
    {&MagicEditor::MagicAttributeBox, "MagicAttributeBox", "魔法属性:", &MagicRec::Attribute, nullptr, "无"},
    {&MagicEditor::MagicELeftBox, "MagicELeftBox", "有效区域left:", &MagicRec::ELeft, nullptr, "0"},
    {&MagicEditor::MagicETopBox, "MagicETopBox", "有效区域top:", &MagicRec::ETop, nullptr, "26"},
    {&MagicEditor::MagicERightBox, "MagicERightBox", "有效区域right:", &MagicRec::ERight, nullptr, "32"},
    {&MagicEditor::MagicEBottomBox, "MagicEBottomBox", "有效区域bottom:", &MagicRec::EBottom, nullptr, "48"},
    {&MagicEditor::MagicAutoAimBox, "MagicAutoAimBox", "自动瞄准:", &MagicRec::AutoAim, nullptr, "false"},
    {&MagicEditor::MagicCrossObstacleBox, "MagicCrossObstacleBox", "穿越障碍:", &MagicRec::CrossObstacle, nullptr,
     "false"},
    {&MagicEditor::MagicCircleRadiusBox, "MagicCircleRadiusBox", "半径:", &MagicRec::CircleRadius, nullptr, "false"},
    {&MagicEditor::MagicCircleCountsBox, "MagicCircleCountsBox", "圈数:", &MagicRec::CircleCounts, nullptr, "1"},
    {&MagicEditor::MagicOneCycleBox, "MagicOneCycleBox", "只播放一个周期:", &MagicRec::OneCycle, nullptr, "0"},
    {&MagicEditor::MagicCostMpBox, "MagicCostMpBox", "消耗MP:", &MagicRec::CostMp, nullptr, "1"},
};

namespace {

// A preview box never grows beyond this many pixels a side, whatever a
// record or a box says (a magic frame larger than the game's screen has no
// use).
constexpr int PreviewLimit = 2048;

const QString Play = QStringLiteral("播放动画");
const QString Stop = QStringLiteral("停止播放");

int previewSide(QLineEdit* box)
{
    int16_t v = 0;
    fr::cint16(box->text(), v);
    return std::clamp<int>(v, 0, PreviewLimit);
}

} // namespace

MagicEditor::MagicEditor(Module1& m, ToolFormsImpl& tools) : M(m), tools_(tools)
{
    // Closing the window unloads it; its next showing loads the list again.
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("魔法编辑器"));
    buildControls();
    Timer2.setInterval(10);
    Timer2.onTimer = [this] { Timer2_Timer(); };
    Timer1.setInterval(100);
    Timer1.onTimer = [this] { Timer1_Timer(); };
}

MagicEditor::~MagicEditor() = default;

void MagicEditor::buildControls()
{
    auto* file = menuBar()->addMenu(QStringLiteral("文件"));
    file->setObjectName(QStringLiteral("Menu_File"));
    Menu_Exit = file->addAction(QStringLiteral("退出编辑器"));
    Menu_Exit->setObjectName(QStringLiteral("Menu_Exit"));
    QObject::connect(Menu_Exit, &QAction::triggered, this, fr::guard([this](bool) { Menu_Exit_Click(); }));
    menuBar()->addAction(QStringLiteral("帮助"))->setObjectName(QStringLiteral("Menu_Help"));

    auto* c = new QWidget(this);
    setCentralWidget(c);
    auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    auto button = [&](const char* name, const QString& text, QWidget* parent, int x, int y, int w = 96) {
        auto* b = new QPushButton(text, parent);
        named(b, name);
        b->setGeometry(x, y, w, 26);
        return b;
    };

    Frame2 = new QGroupBox(QStringLiteral("魔法列表"), c);
    Frame2->setGeometry(8, 4, 170, 536);
    List1 = new ListBox(Frame2);
    named(List1, "List1")->setGeometry(8, 22, 154, 476);
    Label15 = new QLabel(QStringLiteral("魔法数量:"), Frame2);
    Label15->setGeometry(8, 504, 70, 24);
    Label16 = new QLabel(QStringLiteral("0"), Frame2);
    named(Label16, "Label16")->setGeometry(80, 504, 80, 24);
    // Only the user's choice of a row selects a kind: rows the program adds,
    // removes or makes current, and the focus the list takes when the form
    // is shown, never do.
    List1->onUserRowChange = [this](int row) { List1_Click(row); };

    Frame1 = new QGroupBox(QStringLiteral("魔法结构"), c);
    Frame1->setGeometry(186, 4, 470, 536);
    constexpr int rowH = 27, labelW = 136, boxW = 86, colW = 232;
    int slot = 0;
    auto place = [&](const QString& label, QWidget* box) {
        const int col = slot / 17, row = slot % 17;
        auto* l = new QLabel(label, Frame1);
        l->setGeometry(8 + col * colW, 22 + row * rowH, labelW, 24);
        box->setParent(Frame1);
        box->setGeometry(8 + col * colW + labelW, 22 + row * rowH, boxW, 24);
        ++slot;
    };
    MagicFileNameBox = new QLabel;
    named(MagicFileNameBox, "MagicFileNameBox");
    MagicFileNameBox->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    place(QStringLiteral("文件名:"), MagicFileNameBox);
    for (const Box& b : Boxes) {
        auto* e = new QLineEdit;
        named(e, b.name);
        this->*b.box = e;
        place(QString::fromUtf8(b.label), e);
        if (b.box == &MagicEditor::MagicAccelerationBox) {
            MagicAnimiTypeBox = new QComboBox;
            named(MagicAnimiTypeBox, "MagicAnimiTypeBox");
            place(QStringLiteral("动画样式:"), MagicAnimiTypeBox);
        }
    }
    // The picture's and the sound's buttons under the boxes.
    Command6 = button("Command6", QStringLiteral("打开图片"), Frame1, 8, 22 + 17 * rowH + 12);
    Command3 = button("Command3", QStringLiteral("重选区域"), Frame1, 110, 22 + 17 * rowH + 12);
    Command9 = button("Command9", QStringLiteral("选择"), Frame1, 8 + colW, 22 + 17 * rowH + 12);
    Command10 = button("Command10", QStringLiteral("播放"), Frame1, 110 + colW, 22 + 17 * rowH + 12);
    Command9->setToolTip(QStringLiteral("选择播放声音"));
    Command10->setToolTip(QStringLiteral("试听播放声音"));

    SinglePicture = new fr::PicBox(c, qRgb(64, 64, 64));
    named(SinglePicture, "SinglePicture");
    AnimiMagicPicture = new fr::PicBox(c, qRgb(64, 64, 64));
    named(AnimiMagicPicture, "AnimiMagicPicture");
    AnimiMagicPicture->setToolTip(QStringLiteral("单击播放动画"));
    for (fr::PicBox* p : {SinglePicture, AnimiMagicPicture}) {
        p->setBoxSize(64, 64);
        p->setEnabled(false);
    }
    SinglePicture->onMouseDown = [this](int b, int s, int x, int y) { SinglePicture_MouseDown(b, s, x, y); };
    SinglePicture->onMouseMove = [this](int b, int s, int x, int y) { SinglePicture_MouseMove(b, s, x, y); };
    SinglePicture->onMouseUp = [this](int b, int s, int x, int y) { SinglePicture_MouseUp(b, s, x, y); };
    SinglePicture->onPaintOver = [this](QPainter& p) {
        if (Shape1Visible) {
            p.setPen(QPen(Qt::red, 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(Shape1.x(), Shape1.y(), Shape1.width(), Shape1.height());
        }
        if (Line11.visible) {
            p.setPen(QPen(Qt::white, 1));
            p.drawLine(Line11.x1, Line11.y1, Line11.x2, Line11.y2);
        }
    };
    AnimiMagicPicture->onMouseUp = [this](int b, int, int x, int y) {
        if (b == 1 && AnimiMagicPicture->rect().contains(x, y))
            AnimiMagicPicture_Click();
    };

    const int bar = 548;
    Label11 = new QLabel(QStringLiteral("当前编辑魔法:"), c);
    Label11->setGeometry(8, bar, 90, 26);
    Label12 = new QLabel(QStringLiteral("0"), c);
    named(Label12, "Label12")->setGeometry(100, bar, 40, 26);
    Command1 = button("Command1", QStringLiteral("保存数据"), c, 146, bar, 84);
    Command4 = button("Command4", QStringLiteral("添加数据"), c, 236, bar, 84);
    Command5 = button("Command5", QStringLiteral("删除数据"), c, 326, bar, 84);
    Command7 = button("Command7", QStringLiteral("加入到脚本"), c, 416, bar, 96);
    Command8 = button("Command8", QStringLiteral("返回"), c, 518, bar, 70);
    Command2 = button("Command2", Play, c, 664, bar, 96);
    Label10 = new QLabel(QStringLiteral("0"), c);
    named(Label10, "Label10")->setGeometry(768, bar, 60, 26);
    InfoLabel = new QLabel(c);
    named(InfoLabel, "InfoLabel")->setGeometry(8, bar + 32, 820, 22);

    auto click = [this](QPushButton* b, void (MagicEditor::*f)()) {
        QObject::connect(b, &QPushButton::clicked, this, fr::guard([this, f](bool) { (this->*f)(); }));
    };
    click(Command1, &MagicEditor::Command1_Click);
    click(Command4, &MagicEditor::Command4_Click);
    click(Command5, &MagicEditor::Command5_Click);
    click(Command7, &MagicEditor::Command7_Click);
    click(Command8, &MagicEditor::Command8_Click);
    click(Command6, &MagicEditor::Command6_Click);
    click(Command3, &MagicEditor::Command3_Click);
    click(Command2, &MagicEditor::Command2_Click);
    click(Command9, &MagicEditor::Command9_Click);
    click(Command10, &MagicEditor::Command10_Click);
    resize(1000, 640);
}

QString MagicEditor::gameFolder() const
{
    return GetParentPath(M.AppDir, 1);
}

QString MagicEditor::listPath() const
{
    return fr::ci::resolve(gameFolder() + QStringLiteral("script/magickindlist.jsr"));
}

void MagicEditor::showCount()
{
    Label16->setText(QString::number(M.MagicCount));
}

void MagicEditor::formLoad()
{
    List1->clear();
    M.MagicCount = 0;
    M.CurMagic = 0;
    Label12->setText(QStringLiteral("0"));
    // The preview beside the panel, the animation below it.
    SinglePicture->move(Frame1->x() + Frame1->width() + 5, Frame1->y());
    AnimiMagicPicture->move(SinglePicture->x(), SinglePicture->y() + SinglePicture->height() + 5);
    MagicFileNameBox->clear();
    for (const Box& b : Boxes)
        (this->*b.box)->setText(QString::fromUtf8(b.atLoad));
    int16_t delay = 100;
    fr::cint16(MagicDelayBox->text(), delay);
    Timer1.setInterval(delay);
    Timer1.setEnabled(false);
    M.MagicFramesPerRow = M.MagicFramesPerCol = 0;
    M.MagicFrameWidth = M.MagicFrameHeight = 0;
    M.MagicSheetWidth = M.MagicSheetHeight = 0;
    for (int i = 0; i < MagicSlots; ++i)
        InitStruct(i);

    const QString path = listPath();
    M.PartlyReadFiles.remove(path);
    if (!QFileInfo::exists(path)) {
        fr::msgBox(QStringLiteral("找不到魔法列表 %1，魔法列表为空。\n加入到脚本并保存为MagicKindList.jsr即可建立它。")
                       .arg(path));
    } else {
        QByteArray data;
        QString error;
        if (!fr::readWholeFile(path, data, error, 16ll << 20)) {
            M.PartlyReadFiles.insert(path);
            fr::msgBox(QStringLiteral("无法读取魔法列表：%1\n为免丢失它的内容，“加入到脚本”不会改写它。").arg(error));
        } else {
            MagicListRead read = ReadMagicList(data);
            std::copy(read.recs.begin(), read.recs.end(), M.MagicRecs.begin());
            M.MagicCount = static_cast<int16_t>(read.count);
            if (read.partial)
                M.PartlyReadFiles.insert(path);
            if (!read.problems.isEmpty())
                fr::msgBox(QStringLiteral("魔法列表 %1 有问题：\n%2%3")
                               .arg(path, read.problems.join(QLatin1Char('\n')),
                                    read.partial ? QStringLiteral("\n为免丢失其余内容，“加入到脚本”不会改写它；"
                                                                  "请在脚本编辑器中修正后重新打开魔法编辑器。")
                                                 : QString()));
        }
    }
    // Every kind read is listed, whatever its name, so that row i is
    // always record i.
    for (int i = 0; i < M.MagicCount; ++i)
        List1->addItem(fr::gbk::decode(M.MagicRecs[i].Name));
    showCount();
    MagicAnimiTypeBox->clear();
    MagicAnimiTypeBox->addItems({QStringLiteral("shoot"), QStringLiteral("circle"), QStringLiteral("fall")});
    MagicAnimiTypeBox->setCurrentIndex(0);
    Timer2.setEnabled(true);
}

void MagicEditor::formUnload()
{
    Timer1.setEnabled(false);
    Timer2.setEnabled(false);
    // Nothing else may be on screen: the script editor then comes back.
    tools_.afterToolClosed(this);
}

void MagicEditor::InitStruct(int index)
{
    if (index >= 0 && index < MagicSlots)
        M.MagicRecs[index] = tilesmith::InitStruct();
}

bool MagicEditor::panelToRecord(MagicRec& r)
{
    QStringList refused;
    auto refuse = [&](const QString& label, const QString& text, const QString& why) {
        refused << QStringLiteral("“%1”的“%2”%3").arg(label, text, why);
    };
    QByteArray file;
    const QString fileProblem = TypedValueProblem(MagicFileNameBox->text(), file);
    if (!fileProblem.isEmpty())
        refuse(QStringLiteral("文件名:"), MagicFileNameBox->text(), fileProblem);
    r.FileName = file;
    for (const Box& b : Boxes) {
        const QString text = (this->*b.box)->text();
        if (b.text) {
            const QString why = TypedValueProblem(text, r.*b.text);
            if (!why.isEmpty())
                refuse(QString::fromUtf8(b.label), text, why);
        } else if (!fr::cint16(text, r.*b.number)) {
            refuse(QString::fromUtf8(b.label), text, QStringLiteral("不是-32768到32767之间的数字"));
        }
    }
    r.AnimiType = static_cast<int16_t>(MagicAnimiTypeBox->currentIndex());
    if (refused.isEmpty())
        return true;
    fr::msgBox(refused.join(QLatin1Char('\n')) + QStringLiteral("\n没有保存，请改正后再试。"));
    return false;
}

bool MagicEditor::SaveStructToBox(int index)
{
    MagicRec r;
    if (index < 0 || index >= MagicSlots || !panelToRecord(r))
        return false;
    M.MagicRecs[index] = r;
    return true;
}

void MagicEditor::recordToPanel(const MagicRec& r)
{
    MagicFileNameBox->setText(fr::gbk::decode(r.FileName));
    for (const Box& b : Boxes)
        (this->*b.box)->setText(b.text ? fr::gbk::decode(r.*b.text) : QString::number(r.*b.number));
    MagicAnimiTypeBox->setCurrentIndex(r.AnimiType >= 0 && r.AnimiType < MagicAnimiTypeBox->count() ? r.AnimiType
                                                                                                     : -1);
}

void MagicEditor::List1_Click(int row)
{
    if (row < 0 || row >= MagicSlots)
        return;
    M.CurMagic = static_cast<int16_t>(row + 1);
    Label12->setText(QString::number(M.CurMagic));
    const MagicRec r = M.MagicRecs[row];
    if (r.FileName.isEmpty())
        return;
    const bool shown = OpenMagicPicture(fr::gbk::decode(r.FileName));
    recordToPanel(r);
    if (!shown) {
        // The sheet on hand is another kind's: show no frames of it.
        Timer1.setEnabled(false);
        SinglePicture->pic().cls();
        AnimiMagicPicture->pic().cls();
        Shape1Visible = false;
        SinglePicture->refresh();
        AnimiMagicPicture->refresh();
        return;
    }
    // The preview of the kind: its effective area and frame grid.
    int16_t l = 0, t = 0, rt = 0, b = 0;
    fr::cint16(MagicELeftBox->text(), l);
    fr::cint16(MagicETopBox->text(), t);
    fr::cint16(MagicERightBox->text(), rt);
    fr::cint16(MagicEBottomBox->text(), b);
    // An area stored right to left or bottom to top is shown the right way.
    Shape1 = QRect(QPoint(std::min(l, rt), std::min(t, b)), QSize(std::abs(rt - l), std::abs(b - t)));
    Shape1Visible = true;
    M.MagicFrameWidth = r.SmallWidth;
    M.MagicFrameHeight = r.SmallHeight;
    M.MagicSheetWidth = r.LargeWidth;
    M.MagicSheetHeight = r.LargeHeight;
    M.MagicFramesPerRow = r.RowCounts;
    M.MagicFramesPerCol = r.ColCounts;
    SetUpPreview();
    Timer1.setEnabled(true);
    Command2->setText(Stop);
}

void MagicEditor::SetUpPreview()
{
    const int w = previewSide(MagicSmallWidthBox);
    const int h = previewSide(MagicSmallHeightBox);
    SinglePicture->setBoxSize(w, h);
    AnimiMagicPicture->setBoxSize(w, h);
    AnimiMagicPicture->move(SinglePicture->x(), SinglePicture->y() + SinglePicture->height() + 5);
    drawFrame(SinglePicture, 0, 0, w, h);
    SinglePicture->setEnabled(true);
    AnimiMagicPicture->setEnabled(true);
}

void MagicEditor::drawFrame(fr::PicBox* box, int sx, int sy, int w, int h)
{
    box->pic().cls();
    const QImage& sheet = tools_.MagicPicture.get().Picture1->pic().picture();
    if (!sheet.isNull())
        fr::bitBlt(box->pic().image(), 0, 0, w, h, sheet, sx, sy);
    box->refresh();
}

void MagicEditor::Command1_Click()
{
    const int i = List1->currentRow();
    if (i < 0 || !SaveStructToBox(i))
        return;
    List1->item(i)->setText(MagicNameBox->text());
}

void MagicEditor::Command4_Click()
{
    const int i = List1->currentRow();
    // An empty list gains its first kind from the panel; otherwise the new
    // kind needs a selected one.
    if (M.MagicCount >= MagicSlots || List1->count() >= MagicSlots || (i < 0 && M.MagicCount > 0))
        return;
    MagicRec r;
    if (!panelToRecord(r))
        return;
    const int place = M.MagicCount;
    // The game finds a kind's data by its ID and its picture by its place:
    // a new kind is numbered by its place.
    r.ID = static_cast<int16_t>(place);
    const QString shown = i >= 0 ? fr::gbk::decode(M.MagicRecs[i].Name) : MagicNameBox->text();
    M.MagicCount += 1;
    showCount();
    M.MagicRecs[place] = r;
    // The ID box shows the number the kind got, not what was typed.
    MagicIDBox->setText(QString::number(place));
    List1->addItem(shown);
    if (i < 0) {
        // The first kind of an empty list is the one selected next.
        List1->setCurrentRow(place);
        List1_Click(place);
    }
}

void MagicEditor::Command5_Click()
{
    const int i = List1->currentRow();
    if (i < 0)
        return;
    if (fr::msgBox(QStringLiteral("是否决定删除?"), fr::vbYesNo) != fr::vbYes)
        return;
    delete List1->takeItem(i);
    List1->restoreRow(-1);
    const int n = std::clamp<int>(M.MagicCount, 0, MagicSlots);
    for (int k = i; k < n - 1; ++k)
        M.MagicRecs[k] = M.MagicRecs[k + 1];
    if (n > 0)
        InitStruct(n - 1);
    M.MagicCount = static_cast<int16_t>(std::max(0, n - 1));
    showCount();
}

void MagicEditor::Command7_Click()
{
    ScriptEditor& se = tools_.ScriptEditorForm.get();
    // Only the magic list in the game's script folder may receive the list.
    const QString cur = se.CurScriptPath;
    const bool isList = GetFileName(cur) == QStringLiteral("MagicKindList.jsr") &&
                        QFileInfo(QFileInfo(cur).absolutePath()).canonicalFilePath() ==
                            QFileInfo(se.scriptFolder()).canonicalFilePath() &&
                        !QFileInfo(se.scriptFolder()).canonicalFilePath().isEmpty();
    if (!isList) {
        fr::msgBox(QStringLiteral("请先在脚本编辑器的脚本列表中选中 MagicKindList.jsr，再加入到脚本。\n%1没有写入。")
                       .arg(cur.isEmpty() ? QString() : QStringLiteral("当前文件是 %1，").arg(cur)));
    } else if (M.PartlyReadFiles.contains(listPath())) {
        fr::msgBox(QStringLiteral("魔法列表 %1 只读入了一部分，改写它会丢失其余内容，没有写入。\n"
                                  "请在脚本编辑器中修正它，再重新打开魔法编辑器。")
                       .arg(listPath()));
    } else {
        const StatementText s = MagicListStatements(M.MagicRecs, M.MagicCount);
        if (!s.error.isEmpty()) {
            fr::msgBox(s.error);
        } else {
            const QStringList problems = MagicListProblems(M.MagicRecs, M.MagicCount);
            if (!problems.isEmpty())
                fr::msgBox(QStringLiteral("魔法列表已加入到脚本，但游戏会这样读它：\n") +
                           problems.join(QLatin1Char('\n')));
            se.setScriptText(s.text);
        }
    }
    hide();
    tools_.showScriptEditor();
}

void MagicEditor::Command8_Click()
{
    hide();
    tools_.showScriptEditor();
}

void MagicEditor::Menu_Exit_Click()
{
    close();
}

void MagicEditor::Timer2_Timer()
{
    InfoLabel->setText(QStringLiteral("rowcounts:%1  colcounts:%2  swidth:%3  sheight:%4  lwidth:%5  lheight:%6")
                           .arg(fr::numText(M.MagicFramesPerRow))
                           .arg(M.MagicFramesPerCol)
                           .arg(fr::numText(M.MagicFrameWidth))
                           .arg(M.MagicFrameHeight)
                           .arg(fr::numText(M.MagicSheetWidth))
                           .arg(M.MagicSheetHeight));
}

// ---- Picture, preview and sound ---------------------------------------------------

bool MagicEditor::OpenMagicPicture(const QString& name)
{
    QImage sheet;
    QString error;
    if (name.isEmpty()) {
        fr::msgBox(QStringLiteral("没有图片名，无法打开魔法图片。"));
        return false;
    }
    const QString path =
        fr::gameFile(gameFolder(), QStringLiteral("resource/bmp/") + name + QStringLiteral(".bmp"), error);
    if (path.isEmpty()) {
        fr::msgBox(error);
        return false;
    }
    if (!fr::loadPicture(path, sheet, error, true)) {
        fr::msgBox(QStringLiteral("无法打开魔法图片“%1”：%2").arg(name, error));
        return false;
    }
    MagicFileNameBox->setText(name);
    MagicPictureForm& f = tools_.MagicPicture.get();
    f.Picture1->setBoxSize(sheet.width(), sheet.height());
    f.Picture1->pic().setPicture(sheet);
    M.MagicSheetWidth = sheet.width();
    M.MagicSheetHeight = static_cast<int16_t>(sheet.height());
    MagicLargeWidthBox->setText(fr::numText(M.MagicSheetWidth));
    MagicLargeHeightBox->setText(QString::number(M.MagicSheetHeight));
    f.setScrollMaxima();
    Timer1.setEnabled(false);
    return true;
}

void MagicEditor::Command6_Click()
{
    Dialog1.initDir = fr::ci::resolve(gameFolder() + QStringLiteral("resource/bmp"));
    Dialog1.filter = QStringLiteral("bmp|*.bmp");
    const QString file = fr::dialogs().openFile(Dialog1);
    if (file.isEmpty())
        return; // cancelled: nothing changes
    const QString name = GetFileTitle(file);
    QByteArray gbk;
    const QString why = TypedValueProblem(name, gbk);
    if (!why.isEmpty()) {
        fr::msgBox(QStringLiteral("图片名“%1”%2，不能写入魔法列表；请换一个名字。").arg(name, why));
        return;
    }
    MagicPictureForm& f = tools_.MagicPicture.get();
    f.show();
    f.raise();
    OpenMagicPicture(name);
}

void MagicEditor::Command3_Click()
{
    if (!(M.MagicSheetWidth > 0 && M.MagicSheetHeight > 0))
        return;
    AnimiCol = 0;
    AnimiRow = 0;
    Timer1.setEnabled(false);
    MagicPictureForm& f = tools_.MagicPicture.get();
    f.show();
    f.raise();
    f.activateWindow();
}

void MagicEditor::Command2_Click()
{
    if (!MagicDelayBox->text().isEmpty()) {
        int16_t ms = 0;
        if (fr::cint16(MagicDelayBox->text(), ms) && ms >= 1)
            Timer1.setInterval(ms);
        else
            fr::msgBox(QStringLiteral("“动画延时:”的“%1”不是1到32767之间的毫秒数，动画仍按%2毫秒播放。")
                           .arg(MagicDelayBox->text())
                           .arg(Timer1.interval()));
    }
    if (Command2->text() == Play) {
        Timer1.setEnabled(true);
        Command2->setText(Stop);
    } else {
        Timer1.setEnabled(false);
        Command2->setText(Play);
    }
}

void MagicEditor::AnimiMagicPicture_Click()
{
    Command2_Click();
}

void MagicEditor::Timer1_Timer()
{
    if (!(M.MagicSheetWidth > 0 && M.MagicSheetHeight > 0 && M.MagicFrameWidth > 0 && M.MagicFrameHeight > 0))
        return;
    if (AnimiCol < M.MagicFramesPerRow - 1) {
        AnimiCol += 1;
    } else {
        AnimiCol = 0;
        AnimiRow = static_cast<int16_t>(AnimiRow + 1);
    }
    if (AnimiRow >= M.MagicFramesPerCol)
        AnimiRow = 0;
    // Positions in 32 bits: a tall sheet goes beyond 16 bits.
    const int w = static_cast<int>(M.MagicFrameWidth);
    const int h = M.MagicFrameHeight;
    const long long sx = static_cast<long long>(M.MagicFrameWidth * AnimiCol);
    const long long sy = static_cast<long long>(h) * AnimiRow;
    drawFrame(AnimiMagicPicture, static_cast<int>(std::min<long long>(sx, INT32_MAX)),
              static_cast<int>(std::min<long long>(sy, INT32_MAX)), w, h);
    Label10->setText(fr::numText(M.MagicFramesPerRow * AnimiRow + AnimiCol));
}

void MagicEditor::SinglePicture_MouseDown(int button, int, int x, int y)
{
    if (button != 1)
        return;
    Shape1Visible = false;
    Line11.x1 = Line11.x2 = x;
    Line11.y1 = y;
    Line11.visible = true;
    SinglePicture->refresh();
}

void MagicEditor::SinglePicture_MouseMove(int button, int, int, int y)
{
    if (!(button & 1) || !Line11.visible)
        return;
    Line11.y2 = y;
    SinglePicture->refresh();
}

void MagicEditor::SinglePicture_MouseUp(int button, int, int, int)
{
    if (button != 1 || !Line11.visible)
        return;
    Line11.visible = false;
    Shape1 = StrokeArea(SinglePicture->width(), Line11.x1, Line11.y1, Line11.y2);
    Shape1Visible = true;
    MagicELeftBox->setText(QString::number(Shape1.x()));
    MagicETopBox->setText(QString::number(Shape1.y()));
    MagicERightBox->setText(QString::number(Shape1.x() + Shape1.width()));
    MagicEBottomBox->setText(QString::number(Shape1.y() + Shape1.height()));
    SinglePicture->refresh();
}

void MagicEditor::Command9_Click()
{
    Dialog1.initDir = fr::ci::resolve(gameFolder() + QStringLiteral("resource/wav"));
    Dialog1.filter = QStringLiteral("音效文件|*.wav");
    const QString file = fr::dialogs().openFile(Dialog1);
    if (file.isEmpty())
        return; // cancelled: the box keeps its sound
    const QString name = StripExtension(GetFileName(file));
    QByteArray gbk;
    const QString why = TypedValueProblem(name, gbk);
    if (!why.isEmpty()) {
        fr::msgBox(QStringLiteral("声音名“%1”%2，不能写入魔法列表；请换一个名字。").arg(name, why));
        return;
    }
    // A sound the game would refuse is refused here, with the game's reason.
    QString error;
    if (!fr::checkWaveFile(file, error)) {
        fr::msgBox(error);
        return;
    }
    MagicWaveNameBox->setText(name);
}

void MagicEditor::Command10_Click()
{
    QString error;
    const QString name = QStringLiteral("resource/wav/") + MagicWaveNameBox->text() + QStringLiteral(".wav");
    const QString path = fr::gameFile(gameFolder(), name, error);
    if (path.isEmpty() || !fr::checkWaveFile(path, error)) {
        fr::msgBox(error);
        return;
    }
    fr::soundPreview().play(path);
}

// ---- The picture window -----------------------------------------------------------

MagicPictureForm::MagicPictureForm(Module1& m, ToolFormsImpl& tools) : M(m), tools_(tools)
{
    // Closing the window unloads it, as the forms runtime does.
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("魔法图片"));
    PictureFrame = new QWidget(this);
    PictureFrame->setObjectName(QStringLiteral("PictureFrame"));
    PictureFrame->setAutoFillBackground(true);
    Picture1 = new fr::PicBox(PictureFrame, qRgb(64, 64, 64));
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setBoxSize(0, 0);
    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    VScroll1 = new QScrollBar(Qt::Vertical, this);
    for (QScrollBar* s : {HScroll1, VScroll1}) {
        s->setRange(0, 0);
        s->setSingleStep(32);
        s->setPageStep(32);
    }
    // Change and Scroll alike: the sheet follows the thumb while it moves.
    QObject::connect(HScroll1, &QScrollBar::valueChanged, this, fr::guard([this](int) { HScroll1_Change(); }));
    QObject::connect(VScroll1, &QScrollBar::valueChanged, this, fr::guard([this](int) { VScroll1_Change(); }));
    Picture1->onMouseDown = [this](int b, int s, int x, int y) { Picture1_MouseDown(b, s, x, y); };
    Picture1->onMouseMove = [this](int b, int s, int x, int y) { Picture1_MouseMove(b, s, x, y); };
    Picture1->onMouseUp = [this](int b, int s, int x, int y) { Picture1_MouseUp(b, s, x, y); };
    Picture1->onPaintOver = [this](QPainter& p) {
        p.setPen(QPen(Qt::yellow, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(Shape1.x(), Shape1.y(), Shape1.width(), Shape1.height());
    };
    resize(640, 480);
}

QString MagicPictureForm::sizeCaption() const
{
    return QStringLiteral("魔法图片:") + fr::numText(M.MagicSheetWidth) + QStringLiteral("×") +
           QString::number(M.MagicSheetHeight);
}

void MagicPictureForm::formLoad()
{
    setWindowTitle(sizeCaption());
    Shape1.moveTo(0, 0);
}

void MagicPictureForm::formResize()
{
    const int bar = VScroll1->sizeHint().width();
    PictureFrame->setGeometry(0, 0, std::max(0, width() - bar), std::max(0, height() - bar));
    VScroll1->setGeometry(width() - bar, 0, bar, std::max(0, height() - bar));
    HScroll1->setGeometry(0, height() - bar, std::max(0, width() - bar), bar);
    // A larger window shows more of the sheet, a smaller one must still
    // reach its far edge.
    setScrollMaxima();
    setWindowTitle(sizeCaption());
    Shape1.moveTo(0, 0);
    Picture1->refresh();
}

void MagicPictureForm::formUnload()
{
    tools_.afterToolClosed(this);
}

void MagicPictureForm::setScrollMaxima()
{
    const int w = Picture1->pic().width();
    const int h = Picture1->pic().height();
    VScroll1->setMaximum(std::max(0, h - PictureFrame->height()));
    HScroll1->setMaximum(std::max(0, w - PictureFrame->width()));
}

void MagicPictureForm::HScroll1_Change()
{
    Picture1->move(-HScroll1->value(), Picture1->y());
}

void MagicPictureForm::VScroll1_Change()
{
    Picture1->move(Picture1->x(), -VScroll1->value());
}

void MagicPictureForm::Picture1_MouseDown(int button, int, int x, int y)
{
    if (button == 1)
        Shape1.moveTo(x, y);
    else if (button == 2)
        Shape1.moveTo(0, 0);
    Picture1->refresh();
}

void MagicPictureForm::Picture1_MouseMove(int, int, int x, int y)
{
    Shape1.setWidth(std::abs(x - Shape1.x()));
    Shape1.setHeight(std::abs(y - Shape1.y()));
    QString caption = sizeCaption() + QStringLiteral("  ") + QString::number(Shape1.width()) + QStringLiteral("×") +
                      QString::number(Shape1.height());
    // No ratio to a selection without width or height.
    if (Shape1.width() > 0 && Shape1.height() > 0) {
        auto two = [](double v) { return fr::numText(std::nearbyint(v * 100) / 100); };
        caption += QStringLiteral("  比例:") + two(M.MagicSheetWidth / Shape1.width()) + QStringLiteral("×") +
                   two(double(M.MagicSheetHeight) / Shape1.height());
    }
    setWindowTitle(caption);
    Picture1->refresh();
}

void MagicPictureForm::Picture1_MouseUp(int button, int, int, int)
{
    if (button != 1)
        return;
    const int w = Shape1.width();
    const int h = Shape1.height();
    // A selection without width or height, or one that holds no whole
    // frame of the sheet, gives no grid: the release changes nothing.
    if (w <= 0 || h <= 0)
        return;
    const double perRow = std::nearbyint(M.MagicSheetWidth / w);
    const double perCol = std::nearbyint(double(M.MagicSheetHeight) / h);
    if (perRow < 1 || perCol < 1)
        return;
    Shape1.moveTo(0, 0);
    Picture1->refresh();
    MagicEditor& e = tools_.MagicEditorForm.get();
    M.MagicFrameWidth = w;
    M.MagicFrameHeight = static_cast<int16_t>(h);
    e.MagicRowCountsBox->setText(fr::numText(perRow));
    e.MagicColCountsBox->setText(fr::numText(perCol));
    M.MagicFramesPerRow = perRow;
    M.MagicFramesPerCol = static_cast<int16_t>(perCol);
    // Frames of 30 pixels or less are no magic's: the window stays for
    // another try.
    const double frameW = M.MagicSheetWidth / perRow;
    if (!(frameW > 30))
        return;
    e.MagicSmallWidthBox->setText(fr::numText(frameW));
    const double frameH = M.MagicSheetHeight / perCol;
    if (!(frameH > 30))
        return;
    e.MagicSmallHeightBox->setText(fr::numText(frameH));
    e.SetUpPreview();
    hide();
    e.show();
    e.raise();
    e.Timer1.setEnabled(true);
    e.Command2->setText(Stop);
}

} // namespace tilesmith
