#include "attrib_dialog.h"

#include "platform/dialogs.h"
#include "platform/gbk.h"
#include "shell/module2.h"

#include <QEvent>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tilesmith {

AddNewAttribute::AddNewAttribute(Module1& m, Module2& p, ToolFormsImpl& tools) : m_(m), p_(p), tools_(tools)
{
    setWindowTitle(QStringLiteral("添加新属性"));
    setAttribute(Qt::WA_DeleteOnClose); // the close box unloads it too
    resize(360, 260);
    // The boxes' frame, first so that they lie over it.
    auto* frame = new QGroupBox(QStringLiteral("添加"), this);
    frame->setGeometry(5, 2, 255, 250);
    int y = 22;
    auto row = [&](const char* label, QWidget* box) {
        auto* l = new QLabel(QString::fromUtf8(label), this);
        l->setGeometry(10, y, 90, 24);
        box->setGeometry(100, y, 150, 24);
        y += 30;
    };
    AttribNameBox = new QLineEdit(QStringLiteral("attrib name"), this);
    row("属性名:", AttribNameBox);
    ControlTypeBox = new QComboBox(this);
    row("控件类型:", ControlTypeBox);
    RestrictBox = new QComboBox(this);
    row("数据限制:", RestrictBox);
    AttribDataBox = new QLineEdit(QStringLiteral("attrib data"), this);
    row("数据内容:", AttribDataBox);
    AttribVarNameBox = new QLineEdit(QStringLiteral("attrib var"), this);
    row("属性变量名:", AttribVarNameBox);
    EnableBox = new QComboBox(this);
    EnableBox->setEditable(true); // shows a stored flag as True or False
    row("可编辑:", EnableBox);
    OtherBox = new QLineEdit(this);
    row("其他:", OtherBox);
    Command1 = new QPushButton(QStringLiteral("添加"), this);
    Command1->setGeometry(270, 10, 80, 28);
    Command3 = new QPushButton(QStringLiteral("删除"), this);
    Command3->setGeometry(270, 50, 80, 28);
    Command2 = new QPushButton(QStringLiteral("取消"), this);
    Command2->setGeometry(270, 90, 80, 28);
    // The variable name follows the name until it is edited after it.
    QObject::connect(AttribNameBox, &QLineEdit::textChanged, this,
                     [this](const QString& t) { AttribVarNameBox->setText(t); });
    QObject::connect(AttribNameBox, &QLineEdit::returnPressed, this, fr::guard([this] {
                         command1();
                         if (isVisible())
                             AttribNameBox->selectAll();
                     }));
    // Pointing at a box selects its whole text, ready to be typed over; so
    // does a click into the name box.
    for (QLineEdit* box : {AttribDataBox, AttribVarNameBox, OtherBox}) {
        box->setMouseTracking(true);
        box->installEventFilter(this);
    }
    AttribNameBox->installEventFilter(this);
    QObject::connect(Command1, &QPushButton::clicked, this, fr::guard([this](bool) { command1(); }));
    QObject::connect(Command3, &QPushButton::clicked, this, fr::guard([this](bool) { command3(); }));
    QObject::connect(Command2, &QPushButton::clicked, this, fr::guard([this](bool) { command2(); }));
}

bool AddNewAttribute::eventFilter(QObject* o, QEvent* e)
{
    auto* box = qobject_cast<QLineEdit*>(o);
    const bool point = box && box != AttribNameBox && e->type() == QEvent::MouseMove;
    const bool click = box == AttribNameBox && e->type() == QEvent::MouseButtonRelease;
    if (point || click)
        box->selectAll();
    return fr::FormWindow<QWidget>::eventFilter(o, e);
}

bool AddNewAttribute::serves(const QByteArray& kindName, int mode, int sel) const
{
    return loadedKind_ == kindName && loadedMode_ == mode && (mode != 0 || loadedSel_ == sel);
}

bool AddNewAttribute::kind(Kind& k)
{
    if (loadedKind_ == "npc")
        k = {AttribKind::Npc, &m_.NpcAttribs, &m_.NpcAttribCount, &m_.NpcAttribSel, &m_.NpcAttribMode,
             &m_.NpcValues, &m_.NpcCount, "条Npc属性"};
    else if (loadedKind_ == "monster")
        k = {AttribKind::Monster, &m_.MonsterAttribs, &m_.MonsterAttribCount, &m_.MonsterAttribSel,
             &m_.MonsterAttribMode, &m_.MonsterValues, &m_.MonsterCount, "条怪物属性"};
    else if (loadedKind_ == "role")
        k = {AttribKind::Role, &m_.RoleAttribs, &m_.RoleAttribCount, &m_.RoleAttribSel, &m_.RoleAttribMode,
             nullptr, nullptr, "条主角属性"};
    else
        return false;
    return true;
}

void AddNewAttribute::formLoad()
{
    ControlTypeBox->addItems({QStringLiteral("textbox"), QStringLiteral("combobox")});
    RestrictBox->addItems({QStringLiteral("all"), QStringLiteral("number"), QStringLiteral("english")});
    EnableBox->addItems({QStringLiteral("true"), QStringLiteral("false")});
    ControlTypeBox->setCurrentIndex(-1);
    RestrictBox->setCurrentIndex(-1);
    EnableBox->setCurrentIndex(-1);
    loadedKind_ = m_.AttribKindName;
    Kind k;
    if (kind(k)) {
        loadedMode_ = *k.mode;
        loadedSel_ = *k.sel;
        if (*k.mode == -1) {
            RestrictBox->setCurrentText(QStringLiteral("all"));
            ControlTypeBox->setCurrentText(QStringLiteral("textbox"));
            EnableBox->setCurrentText(QStringLiteral("true"));
            Command1->setText(QStringLiteral("添加"));
            setWindowTitle(QStringLiteral("添加属性"));
        } else if (*k.mode == 0 && *k.sel >= 0 && *k.sel < AttribSlots) {
            const AttribRec& r = (*k.recs)[*k.sel];
            AttribNameBox->setText(fr::gbk::decode(r.name));
            AttribVarNameBox->setText(fr::gbk::decode(r.varname));
            AttribDataBox->setText(fr::gbk::decode(r.data));
            ControlTypeBox->setCurrentText(fr::gbk::decode(r.control));
            RestrictBox->setCurrentText(fr::gbk::decode(r.restrict));
            EnableBox->setCurrentText(r.editable ? QStringLiteral("True") : QStringLiteral("False"));
            OtherBox->setText(fr::gbk::decode(r.other));
            Command1->setText(QStringLiteral("确定"));
            setWindowTitle(QStringLiteral("修改属性"));
        }
    }
    AttribNameBox->selectAll();
}

bool AddNewAttribute::fromBoxes(AttribRec& r, int index)
{
    const QString en = EnableBox->currentText().trimmed().toLower();
    if (en != QLatin1String("true") && en != QLatin1String("false")) {
        fr::msgBox(QStringLiteral("“可编辑”须为 true 或 false"));
        return false;
    }
    AttribRec n;
    const struct {
        const char* label;
        const QLineEdit* box;
    } texts[] = {{"属性名", AttribNameBox}, {"数据内容", AttribDataBox}, {"属性变量名", AttribVarNameBox},
                 {"其他", OtherBox}};
    QByteArray enc[4];
    for (int i = 0; i < 4; ++i) {
        // Each box becomes one quoted field of the list file, and the data
        // also an unquoted value of the statements.
        const QString t = texts[i].box->text();
        const QString why = TypedValueProblem(t, enc[i], texts[i].box != AttribDataBox);
        if (!why.isEmpty()) {
            fr::msgBox(QStringLiteral("“%1”中的“%2”%3，没有保存。").arg(QString::fromUtf8(texts[i].label), t, why));
            return false;
        }
    }
    n.index = static_cast<int16_t>(index);
    n.name = enc[0];
    n.data = enc[1];
    n.varname = enc[2];
    n.other = enc[3];
    n.control = ControlTypeBox->currentText().toLatin1();
    n.restrict = RestrictBox->currentText().toLatin1();
    n.editable = en == QLatin1String("true") ? fr::True : fr::False;
    r = n;
    return true;
}

bool AddNewAttribute::save(const Kind& k)
{
    switch (k.kind) {
    case AttribKind::Npc: return p_.SaveNpcAttribList();
    case AttribKind::Monster: return p_.SaveMonsterAttribList();
    case AttribKind::Role: break;
    }
    return p_.SaveRoleAttribList();
}

void AddNewAttribute::closeDialog() { tools_.AddNewAttributeForm.unload(); }

void AddNewAttribute::command1()
{
    Kind k;
    if (!kind(k))
        return;
    AttribForm& form = tools_.attribForm(k.kind);
    if (Command1->text() == QStringLiteral("添加")) {
        const int n = *k.count;
        if (n >= AttribSlots) {
            fr::msgBox(QStringLiteral("属性表已满，最多%1条属性").arg(AttribSlots));
            return;
        }
        AttribRec r;
        if (!fromBoxes(r, n))
            return;
        const AttribRec old = (*k.recs)[n];
        (*k.recs)[n] = r;
        *k.count = static_cast<int16_t>(n + 1);
        if (!save(k)) { // the saver said why; the list stays as it was
            (*k.recs)[n] = old;
            *k.count = static_cast<int16_t>(n);
            return;
        }
        // Existing instances start the new attribute at its default
        // rather than with whatever an earlier column left there.
        if (k.values)
            for (int i = 0; i < std::min<int>(*k.instances, InstanceSlots); ++i)
                (*k.values)[i][n] = r.data;
        form.setRow(n, fr::gbk::decode(r.name), fr::gbk::decode(r.data));
        form.Frame1->setText(QStringLiteral("共%1").arg(n + 1) + QString::fromUtf8(k.countText));
        return;
    }
    const int s = loadedSel_;
    if (s < 0 || s >= *k.count) {
        fr::msgBox(QStringLiteral("没有选中的属性"));
        return;
    }
    AttribRec r;
    if (!fromBoxes(r, s))
        return;
    const AttribRec old = (*k.recs)[s];
    (*k.recs)[s] = r;
    if (!save(k)) {
        (*k.recs)[s] = old;
        return;
    }
    form.setRow(s, fr::gbk::decode(r.name), fr::gbk::decode(r.data));
    closeDialog();
}

void AddNewAttribute::command3()
{
    Kind k;
    if (!kind(k))
        return;
    const int s = loadedMode_ == 0 ? loadedSel_ : *k.sel;
    const int n = *k.count;
    if (s < 0 || s >= n)
        return;
    const AttribArray oldRecs = *k.recs;
    for (int i = s; i < n - 1; ++i)
        (*k.recs)[i] = (*k.recs)[i + 1];
    (*k.recs)[n - 1] = AttribRec{};
    (*k.recs)[n - 1].index = -1;
    *k.count = static_cast<int16_t>(n - 1);
    if (!save(k)) {
        *k.recs = oldRecs;
        *k.count = static_cast<int16_t>(n);
        return;
    }
    // The instances' values move with their attributes.
    if (k.values)
        for (int i = 0; i < std::min<int>(*k.instances, InstanceSlots); ++i) {
            for (int a = s; a < n - 1; ++a)
                (*k.values)[i][a] = (*k.values)[i][a + 1];
            (*k.values)[i][n - 1].clear();
        }
    // A form not loaded yet fills its rows from the records when it is.
    const bool loaded = k.kind == AttribKind::Npc       ? tools_.ActiveNpc.loaded()
                        : k.kind == AttribKind::Monster ? tools_.ActiveMonster.loaded()
                                                        : tools_.AddRole.loaded();
    if (loaded)
        tools_.attribForm(k.kind).removeRow(s);
    *k.sel = -1; // the deleted attribute's neighbour is not chosen in its place
    closeDialog();
}

void AddNewAttribute::command2() { closeDialog(); }

} // namespace tilesmith
