#include "size_form.h"

#include "main_form.h"
#include "map_file.h"

#include "platform/events.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

namespace tilesmith {

Size::Size(Main& main) : main_(main)
{
    setWindowTitle(QStringLiteral("尺寸定义（过大的地图会占用较大显存)"));
    setAttribute(Qt::WA_DeleteOnClose); // the close box unloads it
    setFixedSize(330, 170);

    auto row = [this](const QString& caption, int y, QLabel*& label, QLineEdit*& text, QScrollBar*& bar,
                      const QString& designText, int designValue) {
        label = new QLabel(caption, this);
        label->setGeometry(16, y, 50, 24);
        text = new QLineEdit(designText, this);
        text->setGeometry(66, y, 60, 24);
        text->setMouseTracking(true);
        bar = new QScrollBar(Qt::Horizontal, this);
        bar->setGeometry(136, y + 2, 176, 20);
        bar->setRange(10, 150);
        bar->setSingleStep(1);
        bar->setPageStep(1);
        bar->setValue(designValue);
    };
    row(QStringLiteral("宽度："), 16, Label1, Text1, HScroll1, QStringLiteral("25"), 25);
    row(QStringLiteral("高度："), 50, Label2, Text2, HScroll2, QStringLiteral("18"), 18);
    Label3 = new QLabel(QStringLiteral("占用显存估计:"), this);
    Label3->setGeometry(16, 86, 100, 24);
    Label4 = new QLabel(QStringLiteral("0"), this);
    Label4->setGeometry(120, 86, 40, 24);
    Label4->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label5 = new QLabel(QStringLiteral("MB"), this);
    Label5->setGeometry(166, 86, 30, 24);
    Command1 = new QPushButton(QStringLiteral("建立"), this);
    Command1->setGeometry(66, 124, 90, 30);
    Command2 = new QPushButton(QStringLiteral("取消"), this);
    Command2->setGeometry(176, 124, 90, 30);

    // textChanged comes for typing and for a set text alike; valueChanged for
    // a set value and while the thumb is dragged.
    connect(Text1, &QLineEdit::textChanged, this, fr::guard([this](const QString&) { Text1_Change(); }));
    connect(Text2, &QLineEdit::textChanged, this, fr::guard([this](const QString&) { Text2_Change(); }));
    connect(HScroll1, &QScrollBar::valueChanged, this, fr::guard([this](int) { HScroll1_Change(); }));
    connect(HScroll2, &QScrollBar::valueChanged, this, fr::guard([this](int) { HScroll2_Change(); }));
    connect(Command1, &QPushButton::clicked, this, fr::guard([this](bool) { Command1_Click(); }));
    connect(Command2, &QPushButton::clicked, this, fr::guard([this](bool) { Command2_Click(); }));
    // Moving the mouse over a box gives it the focus with its text selected,
    // so typing replaces it.
    for (QLineEdit* box : {Text1, Text2})
        fr::onEvent(box, QEvent::MouseMove, [box](QEvent*) {
            box->setFocus();
            box->selectAll();
        });
}

bool Size::ValidSize(const QString& w, const QString& h, int& width, int& height)
{
    if (!DigitsInRange(w, 1, MaxMapSide, width) || !DigitsInRange(h, 1, MaxMapSide, height))
        return false;
    return width * height <= MaxMapCells;
}

QString Size::Estimate(const QString& w, const QString& h)
{
    int width = 0, height = 0;
    if (!ValidSize(w, h, width, height))
        return QStringLiteral("0");
    return QString::number(fr::toInt16(double(width) * height * 32 * 32 * 3 / 1024 / 1024));
}

void Size::formLoad()
{
    const Module1& M = main_.M;
    setWindowTitle(QStringLiteral("游戏分辨率为：") + M.GameWidth.print() + QStringLiteral("×") +
                   QString::number(M.GameHeight));
    // The default map is one game screen.
    Text1->setText(QString::number(fr::toInt16(M.GameWidth.number() / 32)));
    Text2->setText(QString::number(fr::toInt16(double(M.GameHeight) / 32)));
    // A screen size whose tiles lie outside the bars' range leaves the bar
    // at its end and the text as computed.
    for (auto [bar, text] : {std::pair{HScroll1, Text1}, std::pair{HScroll2, Text2}}) {
        const QSignalBlocker block(bar);
        bar->setValue(text->text().toInt());
    }
    PendingWidth = Text1->text();
    PendingHeight = Text2->text();
    showEstimate();
}

void Size::showEstimate()
{
    Label4->setText(Estimate(PendingWidth, PendingHeight));
}

void Size::Text1_Change()
{
    PendingWidth = Text1->text();
    showEstimate();
}

void Size::Text2_Change()
{
    PendingHeight = Text2->text();
    showEstimate();
}

void Size::HScroll1_Change()
{
    Text1->setText(QString::number(HScroll1->value()));
}

void Size::HScroll2_Change()
{
    Text2->setText(QString::number(HScroll2->value()));
}

void Size::Command1_Click()
{
    int w = 0, h = 0;
    if (!ValidSize(PendingWidth, PendingHeight, w, h)) {
        fr::msgBox(QStringLiteral("地图尺寸无效：宽和高须是 1 到 %1 的整数（只用数字），且宽×高不超过 %2。")
                       .arg(MaxMapSide)
                       .arg(MaxMapCells),
                   fr::vbExclamation);
        return;
    }
    // An edited map is kept unless the user answers otherwise; the dialog
    // then goes as a cancel does, back to the map to save it.
    if (main_.KeepEditedMap(QStringLiteral("地图修改后还没有保存，建立新地图会丢掉这些修改。确定建立吗？"))) {
        Command2_Click();
        return;
    }
    Module1& M = main_.M;
    // The old map goes only now: its layers, brush and role are cleared, and
    // the new map belongs to no file, has no placements and no name to
    // propose in the save dialog.
    main_.Menu_ClearScreen_Click();
    M.MapPath.clear();
    main_.Dialog1.fileName.clear();
    // The sizes are kept as typed (they are plain digits by now).
    M.MapWidth = fr::NumOrText::fromText(PendingWidth);
    M.MapHeight = fr::NumOrText::fromText(PendingHeight);
    const int pw = 32 * w;
    const int ph = 32 * h;
    main_.Picture1->pic().cls();
    main_.Picture1->setBoxSize(pw, ph);
    main_.Picture1->refresh();
    for (int layer = 1; layer <= LayerPictures; ++layer) {
        fr::PicImage& p = main_.LayPicture(layer);
        p.cls();
        p.resize(pw, ph);
        p.setRecipe(main_.NewLayerRecipe(layer));
    }
    M.TileCount = static_cast<int16_t>(w * h);
    for (int layer = 1; layer <= TileLayers; ++layer)
        M.LayData(layer).assign(static_cast<size_t>(M.TileCount), TileRec{});
    // A new map has no NPCs or monsters placed on it yet.
    M.NpcCount = 0;
    M.MonsterCount = 0;
    main_.SetScrollMaxima();
    main_.Picture1->show();
    main_.SetEditMenusEnabled(true);
    main_.MapEdited = false; // the clearing above is no edit of the new map
    main_.ShowMapInfo();
    main_.show();
    main_.SizeForm.unload();
}

void Size::Command2_Click()
{
    // Only hidden: the values stay for the next time.
    hide();
    main_.show();
}

void Size::formUnload()
{
    main_.show();
}

} // namespace tilesmith
