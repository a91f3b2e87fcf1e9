#include "placement_form.h"

#include "effective_area.h"

#include "statements.h"

#include "platform/blit.h"
#include "platform/dialogs.h"
#include "platform/gbk.h"
#include "shell/main_form.h"
#include "shell/module2.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace tilesmith {

namespace {

// A value the form reads back as a whole number; `fallback` when it is not
// one (the form writes numbers there, a user may not have).
int wholeOr(const QByteArray& text, int fallback)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : fallback;
}

} // namespace

PlacementForm::PlacementForm(const QString& title, const PlacementKind& k, Module1& m, Module2& p,
                             std::function<Main&()> main, std::function<ScriptEditor&()> script)
    : AttribForm(title, k.kind == AttribKind::Npc ? m.NpcAttribs : m.MonsterAttribs,
                 k.kind == AttribKind::Npc ? m.NpcAttribCount : m.MonsterAttribCount),
      k_(k), m_(m), p_(p), main_(std::move(main)), script_(std::move(script))
{
    constexpr int top = MenuH;
    const int bandX = 440;
    resize(bandX + k.bandW + 20, top + std::max(600, k.bandH + 50));
    MenuBar->setGeometry(0, 0, width(), MenuH);
    buildFileMenu(k.addMenu, QStringLiteral("属性顺序上锁"), k.exitMenu);

    // The frames lie behind every control, the value lists made before
    // them included: a frame over a control would take its mouse.
    auto* frame1 = new QGroupBox(k.frameWord + QStringLiteral("结构"), this);
    frame1->setGeometry(5, top + 5, 420, height() - top - 10);
    frame1->lower();
    Frame2 = new QGroupBox(k.frameWord + QStringLiteral("初始状态"), this);
    Frame2->setGeometry(210, top + 20, k.cellW + 100, k.cellH + 30);
    Frame3 = new QGroupBox(k.frameWord + QStringLiteral("子矩形"), this);
    Frame3->setGeometry(bandX - 10, top + 5, k.bandW + 20, k.bandH + 30);

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(15, top + 25, 185, 150);
    Label11 = new QLabel(this);
    Label11->setGeometry(15, top + 180, 185, 18);
    Label13 = new QLabel(this);
    Label13->setGeometry(15, top + 200, 185, 18);
    Frame1->setGeometry(15, top + 222, 185, 18);
    Frame1->raise();
    ListCaption->setGeometry(15, top + 242, 185, height() - top - 252);
    ListData->setGeometry(205, top + 242, 210, height() - top - 252);

    InitPicture = new fr::PicBox(this, fr::bgr(0xFFFFFF));
    InitPicture->setObjectName(QStringLiteral("InitPicture"));
    InitPicture->setGeometry(220, top + 42, k.cellW, k.cellH);
    InitPicture->setBoxSize(k.cellW, k.cellH);
    InitPicture->setMouseTracking(true);
    ImageCombo1 = new QComboBox(this);
    ImageCombo1->setObjectName(QStringLiteral("ImageCombo1"));
    ImageCombo1->setGeometry(230 + k.cellW, top + 42, 90, std::max(26, k.cellH / 2 + 8));
    ImageCombo1->setIconSize(QSize(k.cellW / 2, k.cellH / 2));
    SonPicture = new fr::PicBox(this, fr::bgr(0xFFFFFF));
    SonPicture->setObjectName(QStringLiteral("SonPicture"));
    SonPicture->setGeometry(bandX, top + 25, k.bandW, k.bandH);
    SonPicture->setBoxSize(k.bandW, k.bandH);
    SonPicture->setMouseTracking(true);
    SonPicture->setEnabled(false);

    const int by = top + 42 + k.cellH + 24;
    int x = 210;
    auto button = [&](const char* text, int w) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setGeometry(x, by, w, 26);
        x += w + 4;
        return b;
    };
    Command1 = button("添加", 46);
    Command2 = button("删除", 46);
    Command5 = button("插入", 46);
    Command7 = button("返回", 46);
    x = 210;
    Command4 = new QPushButton(QStringLiteral("画到地图中"), this);
    Command4->setGeometry(x, by + 30, 100, 26);
    Command1->setEnabled(false);
    Label12 = new QLabel(this);
    Label12->setGeometry(210, by + 62, 200, 18);

    QObject::connect(ImageCombo1, &QComboBox::activated, this, fr::guard([this](int i) { chooseKind(i); }));
    QObject::connect(List1, &QListWidget::itemClicked, this,
                     fr::guard([this](QListWidgetItem* it) { selectInstance(List1->row(it)); }));
    QObject::connect(Command1, &QPushButton::clicked, this, fr::guard([this](bool) { addInstance(); }));
    QObject::connect(Command2, &QPushButton::clicked, this, fr::guard([this](bool) { deleteInstance(); }));
    QObject::connect(Command4, &QPushButton::clicked, this, fr::guard([this](bool) { placeOnMap(); }));
    QObject::connect(Command5, &QPushButton::clicked, this, fr::guard([this](bool) { insertStatements(); }));
    QObject::connect(Command7, &QPushButton::clicked, this, fr::guard([this](bool) { returnToScript(); }));
    SonPicture->onMouseMove = [this](int, int, int x, int y) { sheetMouseMove(x, y); };
    SonPicture->onMouseDown = [this](int button, int, int, int) {
        if (!k_.pickOnClick) {
            sheetPick();
            return;
        }
        pressedOnSheet_ = button == 1;
    };
    SonPicture->onMouseUp = [this](int button, int, int x, int y) {
        // A click: the left button pressed and released over the band.
        const bool click = pressedOnSheet_ && button == 1 && SonPicture->rect().contains(x, y);
        pressedOnSheet_ = false;
        if (k_.pickOnClick && click)
            sheetPick();
    };
    SonPicture->onPaintOver = [this](QPainter& g) {
        g.setPen(QColor(0, 0, 0));
        for (const QLine& l : gridLines())
            g.drawLine(l);
    };
    InitPicture->onMouseDown = [this](int b, int, int x, int y) { initMouseDown(b, x, y); };
    InitPicture->onMouseMove = [this](int b, int, int x, int y) { initMouseMove(b, x, y); };
    InitPicture->onMouseUp = [this](int b, int, int x, int y) { initMouseUp(b, x, y); };
    InitPicture->onPaintOver = [this](QPainter& g) {
        if (Shape1Visible) {
            g.setPen(QColor(255, 0, 0));
            g.setBrush(Qt::NoBrush);
            g.drawRect(Shape1.x(), Shape1.y(), std::max(0, Shape1.width() - 1), std::max(0, Shape1.height() - 1));
        }
        if (Line11Visible) {
            g.setPen(QColor(0, 160, 0));
            g.drawLine(Line11);
        }
        if (Line10Y >= 0) {
            g.setPen(QColor(255, 0, 255));
            g.drawLine(0, Line10Y, k_.cellW, Line10Y);
        }
    };
    Timer1.setInterval(k.kind == AttribKind::Npc ? 100 : 10);
    QObject::connect(&Timer1, &QTimer::timeout, this, [this] { countLabel(); });
}

std::vector<QLine> PlacementForm::gridLines() const
{
    // Vertical lines between the columns, horizontal ones between the rows
    // (the NPC band's one row line lies on the first row's last pixel row).
    std::vector<QLine> out;
    for (int x = k_.cellW; x < k_.bandW; x += k_.cellW)
        out.emplace_back(x, 0, x, k_.bandH);
    const int shift = k_.kind == AttribKind::Npc ? 1 : 0;
    for (int y = k_.cellH; y < k_.bandH; y += k_.cellH)
        out.emplace_back(0, y - shift, k_.bandW, y - shift);
    return out;
}

int16_t& PlacementForm::count() { return k_.kind == AttribKind::Npc ? m_.NpcCount : m_.MonsterCount; }
int16_t& PlacementForm::cur() { return k_.kind == AttribKind::Npc ? m_.CurNpc : m_.CurMonster; }
int16_t& PlacementForm::attribCount()
{
    return k_.kind == AttribKind::Npc ? m_.NpcAttribCount : m_.MonsterAttribCount;
}
int16_t& PlacementForm::placing() { return k_.kind == AttribKind::Npc ? m_.NpcPlacing : m_.MonsterPlacing; }
ValueTable& PlacementForm::values() { return k_.kind == AttribKind::Npc ? m_.NpcValues : m_.MonsterValues; }
int PlacementForm::sheetHeight() const
{
    return k_.kind == AttribKind::Npc ? m_.NpcSheetHeight : m_.MonsterSheetHeight;
}

QPoint PlacementForm::cellOrigin(int c) const
{
    return {k_.cellW * (c % k_.perRow), k_.cellH * (c / k_.perRow)};
}

void PlacementForm::countLabel()
{
    Label11->setText(k_.kind == AttribKind::Npc ? QStringLiteral("本地图有%1个活动NPC").arg(m_.NpcCount)
                                                 : QStringLiteral("已建立%1个活动Monster").arg(m_.MonsterCount));
}

void PlacementForm::formLoad()
{
    AttribForm::formLoad();
    ImageCombo1->clear();
    countLabel();
    Timer1.start();
    if (!main_)
        return;
    const fr::PicImage& sheet = main_().ReTempPic[k_.sheetIndex];
    for (int y = 0, n = 1; y < sheetHeight(); y += k_.bandH, ++n) {
        fr::PicImage icon;
        icon.resize(k_.cellW, k_.cellH);
        fr::bitBlt(icon, 0, 0, k_.cellW, k_.cellH, sheet, 0, y);
        const QString key = QString::number(n) + QLatin1Char('N');
        ImageCombo1->addItem(QIcon(QPixmap::fromImage(icon.snapshot())), key);
    }
}

void PlacementForm::formActivate()
{
    // The map's list is read again only when it is another map's or the
    // file changed since it was read (saved from the script editor, a line
    // cut by a delete on the map): what was added, placed or changed here
    // since stays otherwise.
    if (k_.kind == AttribKind::Npc) {
        if (p_.MapNpcListChanged())
            p_.LoadMapNpcList(m_.MapPath);
    } else if (p_.MapMonsterListChanged()) {
        p_.LoadMapMonsterList(m_.MapPath);
    }
    Label12->setText(k_.kind == AttribKind::Npc
                         ? QStringLiteral("共有 %1 个活动NPC").arg(ImageCombo1->count())
                         : QStringLiteral("本地图共有 %1 个Monster").arg(m_.MonsterCount));
    cur() = -1;
    List1->clear();
    for (int i = 0; i < count(); ++i)
        List1->addItem(fr::gbk::decode(p_.GetAttribValue(k_.kindWord, i, "name")));
    countLabel();
}

void PlacementForm::formUnload()
{
    Timer1.stop();
    // Closing the window ends a placement that was armed and goes back to
    // the script editor, for both kinds.
    EndPlacement(placing(), main_);
    if (script_)
        script_().show();
}

void PlacementForm::showBand(int kind)
{
    SonPicture->pic().cls();
    if (kind >= 0 && main_)
        fr::bitBlt(SonPicture->pic(), 0, 0, k_.bandW, k_.bandH, main_().ReTempPic[k_.sheetIndex], 0,
                   k_.bandH * kind);
    SonPicture->refresh();
}

void PlacementForm::showCell(QPoint origin)
{
    InitPicture->pic().cls();
    fr::bitBlt(InitPicture->pic(), 0, 0, k_.cellW, k_.cellH, SonPicture->pic(), origin.x(), origin.y());
    InitPicture->refresh();
}

void PlacementForm::chooseKind(int i)
{
    if (i < 0 || i >= ImageCombo1->count())
        return;
    showBand(i);
    showCell({0, 0});
    KindKey = ImageCombo1->itemText(i);
    KindIndex = i;
    SonPicture->setEnabled(true);
    FrameIndex = 0;
    Command1->setEnabled(true);
}

void PlacementForm::sheetMouseMove(int x, int y)
{
    // A drag that leaves the band (the band keeps the mouse while a button
    // is held) is over no frame of the kind: the last frame under the mouse
    // stays the chosen one.
    if (x < 0 || y < 0 || x >= k_.bandW || y >= k_.bandH)
        return;
    FrameX = x - x % k_.cellW;
    FrameY = y - y % k_.cellH;
    FrameIndex = FrameX / k_.cellW + k_.perRow * (FrameY / k_.cellH);
    setWindowTitle(QStringLiteral(" index:") + QString::number(FrameIndex));
}

void PlacementForm::sheetPick()
{
    showCell({FrameX, FrameY});
    if (cur() >= 0)
        p_.SetAttribValue(k_.kindWord, cur(), "curpicindex", QByteArray::number(FrameIndex));
}

void PlacementForm::initMouseDown(int button, int x, int y)
{
    if (button != 1)
        return;
    Shape1Visible = false;
    Line11 = QLine(x, y, x, y);
    Line11Visible = true;
    InitPicture->refresh();
}

void PlacementForm::initMouseMove(int button, int, int y)
{
    if (button == 1) {
        Line11.setP2(QPoint(Line11.x1(), y));
    } else if (button == 2) {
        Line10Y = y;
        p_.SetAttribValue(k_.kindWord, cur(), "division", QByteArray::number(y));
    } else {
        return;
    }
    InitPicture->refresh();
}

void PlacementForm::initMouseUp(int button, int, int)
{
    if (button != 1)
        return;
    Line11Visible = false;
    // Symmetric about the frame's middle, the pressed x being one edge.
    Shape1 = StrokeArea(k_.cellW, Line11.x1(), Line11.y1(), Line11.y2());
    const int left = Shape1.x(), top = Shape1.y(), width = Shape1.width(), height = Shape1.height();
    Shape1Visible = true;
    InitPicture->refresh();
    p_.SetAttribValue(k_.kindWord, cur(), "eleft", QByteArray::number(left));
    p_.SetAttribValue(k_.kindWord, cur(), "etop", QByteArray::number(top));
    p_.SetAttribValue(k_.kindWord, cur(), "eright", QByteArray::number(left + width));
    p_.SetAttribValue(k_.kindWord, cur(), "ebottom", QByteArray::number(top + height));
}

void PlacementForm::addInstance()
{
    if (count() >= PlacementLimit) {
        fr::msgBox(k_.overLimit);
        return;
    }
    List1->addItem(k_.rowPrefix + KindKey);
    Command5->setEnabled(true);
    cur() = count();
    count() += 1;
    p_.SetAttribValue(k_.kindWord, cur(), "id", QByteArray::number(KindIndex));
    p_.SetAttribValue(k_.kindWord, cur(), "curpicindex", QByteArray::number(FrameIndex));
    AttribArray& attribs = k_.kind == AttribKind::Npc ? m_.NpcAttribs : m_.MonsterAttribs;
    for (int a = 0; a < std::clamp<int>(attribCount(), 0, AttribSlots); ++a)
        values()[cur()][a] = attribs[a].data;
    countLabel();
}

void PlacementForm::selectInstance(int row)
{
    SonPicture->setEnabled(true);
    if (row < 0 || row >= count())
        return;
    cur() = static_cast<int16_t>(row);
    Label13->setText(QStringLiteral("已选中第 %1 ").arg(row + 1) + k_.selectedText);
    AttribArray& attribs = k_.kind == AttribKind::Npc ? m_.NpcAttribs : m_.MonsterAttribs;
    for (int a = 0; a < std::clamp<int>(attribCount(), 0, AttribSlots); ++a) {
        attribs[a].data = values()[row][a];
        // Records the lists do not show (behind a free one, or the 51st)
        // take the value without a row.
        if (a < ListData->count())
            setRow(a, fr::gbk::decode(attribs[a].name), fr::gbk::decode(attribs[a].data));
    }
    const int frames = k_.perRow * (k_.bandH / k_.cellH);
    int c = wholeOr(p_.GetAttribValue(k_.kindWord, row, "curpicindex"), -1);
    if (c == -1)
        c = FrameIndex;
    const int kind = wholeOr(p_.GetAttribValue(k_.kindWord, row, "id"), -1);
    // An instance deleted on the map (kind -1) or with a frame beyond its
    // band shows an empty picture.
    showBand(kind);
    if (c >= 0 && c < frames && kind >= 0)
        showCell(cellOrigin(c));
    else {
        InitPicture->pic().cls();
        InitPicture->refresh();
    }
}

void PlacementForm::deleteInstance()
{
    if (List1->count() == 0 || cur() < 0 || cur() >= count())
        return;
    delete List1->takeItem(cur());
    ValueTable& v = values();
    for (int i = cur(); i <= count() - 2; ++i)
        for (int a = 0; a < std::clamp<int>(attribCount(), 0, AttribSlots); ++a)
            v[i][a] = v[i + 1][a];
    count() -= 1;
    cur() -= 1;
    countLabel();
    // The value lists show the instance now current, so that a value typed
    // next lands where it is seen.
    if (cur() >= 0) {
        List1->setCurrentRow(cur());
        selectInstance(cur());
    }
}

void PlacementForm::placeOnMap()
{
    if (List1->count() == 0 || !main_)
        return;
    placing() = -1;
    m_.TakeOutMode = 0;
    m_.TakeOutInfo = false;
    m_.TakeOutBrush = 0;
    m_.EraserMode = 0;
    Main& m = main_();
    m.MainPic->setBoxSize(k_.cellW, k_.cellH);
    m_.BrushWidth = k_.cellW;
    m_.BrushHeight = k_.cellH;
    m.MainPic->pic().cls();
    fr::bitBlt(m.MainPic->pic(), 0, 0, k_.cellW, k_.cellH, InitPicture->pic(), 0, 0);
    m.MainPic->refresh();
    hide();
    if (script_)
        script_().hide();
    m.show();
}

void PlacementForm::insertStatements()
{
    if (List1->count() == 0)
        return;
    EndPlacement(placing(), main_);
    hide();
    if (count() > 0) {
        const StatementText s = k_.kind == AttribKind::Npc
                                    ? NpcStatements(values(), count(), attribCount())
                                    : MonsterStatements(values(), count(), attribCount());
        if (!s.error.isEmpty()) {
            // The script text stays as it was: a half list saved as the
            // map's list would lose instances.
            fr::msgBox(s.error);
        } else {
            for (int i = 0; i < s.skipped; ++i)
                fr::msgBox(QStringLiteral("monster attrib_0<0"));
            script_().setScriptText(s.text);
        }
    }
    script_().show();
}

void PlacementForm::returnToScript()
{
    EndPlacement(placing(), main_);
    hide();
    if (script_)
        script_().show();
}

} // namespace tilesmith
