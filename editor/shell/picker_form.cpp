#include "picker_form.h"

#include "main_form.h"
#include "module1.h"
#include "module2.h"

#include "platform/blit.h"
#include "platform/dialogs.h"
#include "platform/paths.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QStyle>

#include <cmath>

namespace tilesmith {

SheetBox::SheetBox(QWidget* parent) : fr::PicBox(parent) {}

void SheetBox::paintEvent(QPaintEvent* e)
{
    fr::PicBox::paintEvent(e);
    QPainter p(this);
    p.setPen(QPen(QColor(255, 0, 0), 1));
    for (const BandLine& l : band)
        if (l.visible)
            p.drawLine(l.x1, l.y1, l.x2, l.y2);
}

CursorBox::CursorBox(QWidget* parent) : fr::PicBox(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setToolTip(QStringLiteral("WSAD可移动资源图,右键框选大图"));
}

void CursorBox::paintEvent(QPaintEvent*)
{
    // Only a frame: the tile under it stays visible.
    QPainter p(this);
    p.setPen(QPen(QColor(255, 255, 0), 1));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(QPen(QColor(0, 0, 0), 1));
    p.drawRect(rect().adjusted(1, 1, -2, -2));
}

PicResource::PicResource(Main& main) : main_(main), M(main.M)
{
    setWindowTitle(QStringLiteral("资源"));
    setAttribute(Qt::WA_DeleteOnClose); // closing unloads it
    resize(600, 480);
    central_ = new QWidget(this);
    setCentralWidget(central_);
    Picture2 = new QWidget(central_);
    Picture1 = new SheetBox(Picture2);
    MainPic = new CursorBox(Picture1);
    MainPic->setBoxSize(32, 32);
    VScroll1 = new QScrollBar(Qt::Vertical, central_);
    HScroll1 = new QScrollBar(Qt::Horizontal, central_);
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (QScrollBar* bar : {VScroll1, HScroll1}) {
        bar->setRange(0, 0);
        bar->setSingleStep(32);
        bar->setPageStep(32);
        bar->setFocusPolicy(Qt::NoFocus);
    }
    VScroll1->setFixedWidth(extent);
    HScroll1->setFixedHeight(extent);
    connect(VScroll1, &QScrollBar::valueChanged, this, fr::guard([this](int) { VScroll1_Change(); }));
    connect(HScroll1, &QScrollBar::valueChanged, this, fr::guard([this](int) { HScroll1_Change(); }));

    Picture1->onMouseMove = [this](int b, int s, int x, int y) { Picture1_MouseMove(b, s, x, y); };
    Picture1->onMouseDown = [this](int b, int s, int x, int y) { Picture1_MouseDown(b, s, x, y); };
    MainPic->onMouseMove = [this](int b, int s, int x, int y) { MainPic_MouseMove(b, s, x, y); };
    MainPic->onMouseDown = [this](int b, int s, int x, int y) { MainPic_MouseDown(b, s, x, y); };

    SelectResource = menuBar()->addMenu(QStringLiteral("资源"));
    SelectResource->setObjectName(QStringLiteral("SelectResource"));
    ResourcePicture1 = SelectResource->addAction(QStringLiteral("地图1"));
    ResourcePicture2 = SelectResource->addAction(QStringLiteral("地图2"));
    ResourcePicture3 = SelectResource->addAction(QStringLiteral("地图"));
    ResourcePicture1->setShortcut(QKeySequence(Qt::Key_F1));
    ResourcePicture2->setShortcut(QKeySequence(Qt::Key_F2));
    ResourcePicture3->setShortcut(QKeySequence(Qt::Key_F3));
    ReturnMain = menuBar()->addAction(QStringLiteral("返回(ESC)"));
    connect(ResourcePicture1, &QAction::triggered, this, fr::guard([this](bool) { ResourcePicture1_Click(); }));
    connect(ResourcePicture2, &QAction::triggered, this, fr::guard([this](bool) { ResourcePicture2_Click(); }));
    connect(ResourcePicture3, &QAction::triggered, this, fr::guard([this](bool) { ResourcePicture3_Click(); }));
    connect(ReturnMain, &QAction::triggered, this, fr::guard([this](bool) { ReturnMain_Click(); }));

    keyPreview_ = std::make_unique<fr::KeyPreview>(this, this);
}

PicResource::~PicResource() = default;

const QImage& PicResource::sheetPicture() const
{
    return Picture1->pic().picture();
}

void PicResource::setScrollMaxima()
{
    const int vm = M.SheetHeight - Picture2->height();
    const int hm = int(M.SheetWidth) - Picture2->width();
    VScroll1->setMaximum(vm > 0 ? vm : 0);
    HScroll1->setMaximum(hm > 0 ? hm : 0);
}

bool PicResource::ShowSheet(const QString& path)
{
    const QString file = fr::ci::resolve(GetParentPath(path, 2) + QStringLiteral("resource/bmp/") + GetFileName(path) +
                                         QStringLiteral(".bmp"));
    QImage img;
    QString error;
    if (!fr::loadPicture(file, img, error)) {
        // Resizing reloads the sheet again and again: say it once.
        if (lastMissing_ != file) {
            lastMissing_ = file;
            fr::msgBox(QStringLiteral("图块表没有显示：%1\r\n仍显示原来的图块表。").arg(error), fr::vbExclamation);
        }
        return false;
    }
    lastMissing_.clear();
    Picture1->setBoxSize(img.width(), img.height());
    Picture1->pic().setPicture(img);
    Picture1->refresh();
    M.SheetWidth = img.width();
    M.SheetHeight = img.height();
    setScrollMaxima();
    return true;
}

void PicResource::ShowBrushSheet()
{
    const int16_t index = GetSheetIndex(M.BrushSheetName);
    const fr::PicImage& sheet = main_.ReTempPic[static_cast<size_t>(index)];
    Picture1->setBoxSize(sheet.width(), sheet.height());
    Picture1->pic().setPicture(sheet.picture());
    Picture1->refresh();
    M.BrushSheet = index;
    // What is shown is what a pick records.
    M.CurSheet = M.BrushSheetName;
    M.SheetWidth = sheet.width();
    M.SheetHeight = sheet.height();
    M.LargeMode = false;
    MainPic->move(0, 0);
    M.RolePlacing = 0;
    setScrollMaxima();
}

void PicResource::DrawSheetGrid(int16_t sx, int16_t sy)
{
    if (sx <= 0 || sy <= 0 || Picture1->pic().width() == 0 || Picture1->pic().height() == 0)
        return;
    QPainter p(&Picture1->pic().image());
    p.setPen(QPen(Qt::black, 1));
    const int w = int(M.SheetWidth);
    const int h = M.SheetHeight;
    for (int x = 0; x <= w; x += sx)
        p.drawLine(x, 0, x, h);
    for (int y = 0; y <= h; y += sy)
        p.drawLine(0, y, w, y);
    p.end();
    Picture1->refresh();
}

void PicResource::formActivate()
{
    ShowBrushSheet();
    M.LargeMode = false;
    M.SavedLargeMode = false;
    M.TakeOutMode = 0;
    M.TakeOutInfo = false;
    M.TakeOutBrush = 0;
    MainPic->show();
    for (BandLine& l : Picture1->band)
        l.visible = false;
    MainPic->move(0, 0);
    MainPic->setBoxSize(32, 32);
    DrawSheetGrid(32, 32);
}

void PicResource::formResize()
{
    const int W = central_->width();
    const int H = central_->height();
    const int vw = VScroll1->width();
    const int hh = HScroll1->height();
    VScroll1->setGeometry(std::max(0, W - vw - 5), 0, vw, std::max(0, H - 32 - 5));
    HScroll1->setGeometry(0, std::max(0, H - hh - 5), std::max(0, W - 32), hh);
    Picture2->resize(std::max(0, W - vw - 10), std::max(0, H - hh - 10));
    setScrollMaxima();
    // The sheet shown stays the one a pick records, grid included.
    if (ShowSheet(M.AppDir + M.CurSheet))
        DrawSheetGrid(32, 32);
}

void PicResource::scrollBy(QScrollBar* bar, int delta)
{
    bar->setValue(std::clamp(bar->value() + delta, 0, bar->maximum()));
    if (bar == VScroll1)
        VScroll1_Change();
    else
        HScroll1_Change();
}

bool PicResource::formKeyDown(int keyCode, int)
{
    switch (keyCode) {
    case 'W':
        scrollBy(VScroll1, -32);
        return true;
    case 'S':
        scrollBy(VScroll1, 32);
        return true;
    case 'A':
        scrollBy(HScroll1, -32);
        return true;
    case 'D':
        scrollBy(HScroll1, 32);
        return true;
    case 27: // Main comes back; the picker stays open
        main_.hideAndShow();
        return true;
    default:
        return false;
    }
}

void PicResource::formUnload()
{
    main_.show();
}

void PicResource::VScroll1_Change()
{
    Picture1->move(Picture1->x(), -VScroll1->value());
}

void PicResource::HScroll1_Change()
{
    Picture1->move(-HScroll1->value(), Picture1->y());
}

void PicResource::Picture1_MouseMove(int, int, int x, int y)
{
    MainPic->setBoxSize(32, 32);
    if (!M.LargeMode) {
        // One tile towards the mouse, at most, on each axis.
        int left = MainPic->x();
        int top = MainPic->y();
        if (x < left)
            left -= 32;
        if (left + 32 < x)
            left += 32;
        if (y < top)
            top -= 32;
        if (top + 32 < y)
            top += 32;
        MainPic->move(left, top);
        return;
    }
    const int ax = int(AnchorX);
    const int ay = AnchorY;
    Line(1) = {ax, ay, ax, y, Line(1).visible};
    Line(2) = {ax, ay, x, ay, Line(2).visible};
    Line(3) = {x, ay, x, y, Line(3).visible};
    Line(4) = {ax, y, x, y, Line(4).visible};
    Picture1->update();
}

void PicResource::MainPic_MouseMove(int, int, int, int)
{
    const int left = MainPic->x();
    const int top = MainPic->y();
    // The tile's number counted row by row; a sheet too large for 16 bits
    // still gets its number rather than an overflow on every move.
    const double index = std::nearbyint(M.SheetWidth / 32 * top / 32 + double(left) / 32);
    setWindowTitle(M.CurSheet + QStringLiteral("  尺寸:") + fr::numText(M.SheetWidth) + QStringLiteral("  ") +
                   QString::number(M.SheetHeight) + QStringLiteral("  当前index:") + fr::numText(index) +
                   QStringLiteral("  当前位置:") + QString::number(left) + QStringLiteral("  ") + QString::number(top));
}

bool PicResource::SheetRowFits(int y)
{
    if (y <= 32767)
        return true;
    fr::msgBox(QStringLiteral("图块表中 y = %1 处的图块不能用：地图记录的图块位置最多为 32767。").arg(y),
               fr::vbExclamation);
    return false;
}

void PicResource::MainPic_MouseDown(int button, int, int, int)
{
    // A tile's y on its sheet is kept in 16 bits in the brush and the map's
    // records.
    if ((button == 1 || button == 2) && !SheetRowFits(MainPic->y()))
        return;
    if (button == 1) {
        // One tile.
        M.LargeMode = false;
        M.SavedLargeMode = false;
        main_.MainPic->setBoxSize(32, 32);
        M.BrushWidth = 32;
        M.BrushHeight = 32;
        M.StepX = 32;
        M.StepY = 32;
        M.SpinnerMode = 0;
        M.BrushX = MainPic->x();
        M.BrushY = static_cast<int16_t>(MainPic->y());
        M.BrushSheet = GetSheetIndex(M.CurSheet);
        M.BrushSheetName = M.CurSheet;
        const int bx = int(M.BrushX);
        for (fr::PicBox* box : {main_.MainPic, main_.MainPic_}) {
            box->setBoxSize(32, 32);
            fr::bitBlt(box->pic().image(), 0, 0, 32, 32, sheetPicture(), bx, M.BrushY);
            box->refresh();
        }
        main_.hideAndShow();
        hide();
    } else if (button == 2) {
        // The start of a block: from now on the mouse is over the sheet.
        M.LargeMode = true;
        M.SavedLargeMode = true;
        MainPic->hide();
        AnchorX = float(MainPic->x());
        AnchorY = static_cast<int16_t>(MainPic->y());
        for (int n = 1; n <= 4; ++n)
            Line(n) = {MainPic->x(), MainPic->y(), MainPic->x(), MainPic->y(), true};
        Picture1->update();
    }
}

int PicResource::SnapSide(int v)
{
    const int r = v % 32;
    if (r == 0)
        return v;
    if (r <= 16)
        return v - r;
    return v - r + 32;
}

void PicResource::Picture1_MouseDown(int button, int, int, int)
{
    if (button == 1) {
        // A press with no band in progress would finish a stale one.
        if (!M.LargeMode || !Line(1).visible)
            return;
        MainPic->show();
        for (int n = 1; n <= 4; ++n)
            Line(n).visible = false;
        Picture1->update();
        int w = Line(3).x2 - int(AnchorX);
        int h = Line(3).y2 - AnchorY;
        if (w < 0) {
            w = -w;
            AnchorX = float(Line(3).x2);
        }
        if (h < 0) {
            h = -h;
            AnchorY = static_cast<int16_t>(Line(3).y2);
        }
        w = SnapSide(w);
        h = SnapSide(h);
        if (!SheetRowFits(AnchorY + std::max(h - 32, 0))) {
            Picture1_MouseDown(2, 0, 0, 0);
            return;
        }
        M.BrushWidth = w;
        M.BrushHeight = h;
        main_.MainPic->setBoxSize(w, h);
        M.BrushX = AnchorX;
        M.BrushY = AnchorY;
        M.BrushSheet = GetSheetIndex(M.CurSheet);
        M.BrushSheetName = M.CurSheet;
        M.StepX = 32;
        M.StepY = 32;
        M.SpinnerMode = 1;
        main_.hideAndShow();
        for (fr::PicBox* box : {main_.MainPic, main_.MainPic_}) {
            box->setBoxSize(w, h);
            fr::bitBlt(box->pic().image(), 0, 0, w, h, sheetPicture(), int(AnchorX), AnchorY);
            box->refresh();
        }
        hide();
    } else if (button == 2) {
        // The block is dropped; the brush stays as it was.
        M.LargeMode = false;
        M.SavedLargeMode = false;
        M.TakeOutMode = 0;
        M.TakeOutInfo = false;
        M.TakeOutBrush = 0;
        MainPic->show();
        for (int n = 1; n <= 4; ++n)
            Line(n).visible = false;
        Picture1->update();
    }
}

void PicResource::showSheetMenu(const QString& name)
{
    MainPic->move(0, 0);
    MainPic->setBoxSize(MainPic->width(), 32);
    // CurSheet names the sheet shown, so it changes only when the new one
    // could be loaded.
    if (!ShowSheet(GetParentPath(M.AppDir, 1) + QStringLiteral("bmp/") + name))
        return;
    M.CurSheet = name;
    DrawSheetGrid(32, 32);
}

void PicResource::ResourcePicture1_Click()
{
    showSheetMenu(QStringLiteral("map1"));
}

void PicResource::ResourcePicture2_Click()
{
    showSheetMenu(QStringLiteral("map2"));
}

void PicResource::ResourcePicture3_Click()
{
    showSheetMenu(QStringLiteral("map3"));
}

void PicResource::ReturnMain_Click()
{
    main_.hideAndShow();
    hide();
}

} // namespace tilesmith
