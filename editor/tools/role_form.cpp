#include "role_form.h"

#include "statements.h"

#include "platform/blit.h"
#include "platform/convert.h"
#include "platform/dialogs.h"
#include "platform/gbk.h"
#include "shell/main_form.h"
#include "shell/module2.h"

#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>

#include <cmath>
#include <optional>

namespace tilesmith {

namespace {

// A role start value as the map header stores it; nothing when the text is
// not a number that fits 16 bits.
std::optional<int16_t> startValue(const QByteArray& text)
{
    double v = 0;
    if (!fr::parseNumber(text, v) || !std::isfinite(v))
        return std::nullopt;
    const double r = std::nearbyint(v);
    if (r < -32768 || r > 32767)
        return std::nullopt;
    return static_cast<int16_t>(r);
}

} // namespace

RoleForm::RoleForm(Module1& m, Module2& p, std::function<Main&()> main, std::function<ScriptEditor&()> script,
                   std::function<void(QWidget*)> closed)
    : AttribForm(QStringLiteral("AddRole"), m.RoleAttribs, m.RoleAttribCount), m_(m), p_(p), main_(std::move(main)),
      script_(std::move(script)), closed_(std::move(closed))
{
    constexpr int top = MenuH;
    resize(530, 560 + top);
    MenuBar->setGeometry(0, 0, width(), MenuH);
    buildFileMenu("Menu_AddNewAttrib", QStringLiteral("属性顺序锁"), "Menu_Exit");
    auto* frame = new QGroupBox(QStringLiteral("主角属性"), this);
    frame->setGeometry(5, top + 5, 520, 550);
    // Behind the value lists made before it: over them it would take their
    // mouse.
    frame->lower();
    Frame1->setGeometry(15, top + 24, 185, 18);
    Frame1->raise();
    ListCaption->setGeometry(15, top + 46, 185, 500);
    ListData->setGeometry(205, top + 46, 200, 500);
    Picture1 = new fr::PicBox(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(425, top + 46, 64, 96);
    Picture1->setBoxSize(64, 96);
    Picture1->onPaintOver = [](QPainter& g) {
        g.setPen(QColor(0, 0, 0));
        g.drawLine(0, 47, 64, 47); // Line1
        g.drawLine(31, 0, 31, 96); // Line2
    };
    Command1 = new QPushButton(QStringLiteral("画到地图中"), this);
    Command1->setGeometry(415, top + 160, 100, 28);
    Command5 = new QPushButton(QStringLiteral("插入"), this);
    Command5->setGeometry(415, top + 200, 100, 28);
    Command7 = new QPushButton(QStringLiteral("返回"), this);
    Command7->setGeometry(415, top + 240, 100, 28);
    Picture1->onMouseDown = [this](int, int, int x, int y) { pictureMouseDown(x, y); };
    QObject::connect(Command1, &QPushButton::clicked, this, fr::guard([this](bool) { placeOnMap(); }));
    QObject::connect(Command5, &QPushButton::clicked, this, fr::guard([this](bool) { insertStatement(); }));
    QObject::connect(Command7, &QPushButton::clicked, this, fr::guard([this](bool) { returnToScript(); }));
}

void RoleForm::formUnload()
{
    // Closing unloads the form; with no other window of the editor left on
    // screen the script editor comes back, and the placement is disarmed.
    EndPlacement(m_.RolePlacing, main_);
    if (closed_)
        closed_(this);
}

void RoleForm::formLoad()
{
    AttribForm::formLoad();
    if (main_) {
        Picture1->pic().setPicture(main_().PictureRole.snapshot());
        Picture1->refresh();
    }
}

void RoleForm::pictureMouseDown(int x, int y)
{
    // x = 32 and y = 48 still belong to the left column and the top row.
    const bool right = x > 32;
    const bool lower = y > 48;
    const int d = right ? (lower ? 1 : 0) : (lower ? 2 : 3);
    p_.SetAttribValue("role", 0, "direction", QByteArray::number(d));
}

void RoleForm::placeOnMap()
{
    if (!main_)
        return;
    m_.RolePlacing = -1;
    m_.TakeOutMode = 0;
    m_.TakeOutInfo = false;
    m_.TakeOutBrush = 0;
    m_.EraserMode = 0;
    Main& m = main_();
    m.MainPic->setBoxSize(32, 48);
    m_.BrushWidth = 32;
    m_.BrushHeight = 48;
    const QPoint cell = m_.RoleDir == 0 ? QPoint(32, 0) : m_.RoleDir == 1 ? QPoint(32, 48)
                                                    : m_.RoleDir == 2 ? QPoint(0, 48)
                                                                      : QPoint(0, 0);
    m.MainPic->pic().cls();
    fr::bitBlt(m.MainPic->pic(), 0, 0, 32, 48, Picture1->pic(), cell.x(), cell.y());
    m.MainPic->refresh();
    hide();
    if (script_)
        script_().hide();
    m.show();
}

void RoleForm::insertStatement()
{
    const StatementText s = RoleStatement(m_.RoleAttribs, m_.RoleAttribCount);
    if (!s.error.isEmpty()) {
        // Nothing half-written: the text, the role start and the list
        // file stay as they were.
        fr::msgBox(s.error);
        return;
    }
    EndPlacement(m_.RolePlacing, main_);
    hide();
    // The role start for the map header; a value that is no 16-bit number
    // keeps the previous start, with a message.
    const struct {
        const char* var;
        int16_t* target;
    } starts[] = {{"direction", &m_.RoleDir}, {"lx", &m_.RoleX}, {"ly", &m_.RoleY}};
    for (const auto& st : starts) {
        const QByteArray text = p_.GetAttribValue("role", 0, st.var);
        if (const auto v = startValue(text))
            *st.target = *v;
        else
            fr::msgBox(QStringLiteral("主角的%1“%2”不是有效的数字，地图中的主角起点未改变")
                           .arg(QString::fromLatin1(st.var), fr::gbk::decode(text)));
    }
    p_.SaveRoleAttribList();
    if (script_) {
        ScriptEditor& se = script_();
        QByteArray text;
        if (!se.scriptText(text)) {
            fr::msgBox(QStringLiteral("脚本文本含有无法保存的字符，主角语句未插入"));
        } else {
            // A statement glued to the end of the last line (after an
            // "EOF" without line end) would not be read as a statement.
            if (!text.isEmpty() && !text.endsWith('\n'))
                text += "\r\n";
            se.setScriptText(text + s.text);
        }
        se.show();
    }
}

void RoleForm::returnToScript()
{
    hide();
    if (script_)
        script_().show();
}

} // namespace tilesmith
