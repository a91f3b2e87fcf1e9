#include "tool_forms.h"

#include "placement_form.h"

#include "platform/gbk.h"

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tilesmith {

ScriptEditor::ScriptEditor(std::function<void()> showMain) : showMain_(std::move(showMain))
{
    setWindowTitle(QStringLiteral("脚本编辑器"));
    resize(640, 480);
    Text1 = new QPlainTextEdit(this);
    Text1->setGeometry(10, 10, 620, 420);
    ReturnButton = new QPushButton(QStringLiteral("返回"), this);
    ReturnButton->setGeometry(270, 440, 100, 30);
    QObject::connect(ReturnButton, &QPushButton::clicked, this, fr::guard([this](bool) { leave(); }));
}

void ScriptEditor::leave()
{
    hide();
    if (showMain_)
        showMain_();
}

bool ScriptEditor::scriptText(QByteArray& out) const
{
    return fr::gbk::encode(Text1->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")), out);
}

void ScriptEditor::setScriptText(const QByteArray& gbk)
{
    Text1->setPlainText(fr::gbk::decode(gbk));
}

void ScriptEditor::formUnload()
{
    if (showMain_)
        showMain_();
}

AttribForm::AttribForm(const QString& title, const AttribArray& attribs, const int16_t& count)
    : attribs_(attribs), count_(count)
{
    setWindowTitle(title);
    resize(420, 520);
    ListCaption = new QListWidget(this);
    ListCaption->setGeometry(10, 10, 190, 500);
    ListData = new QListWidget(this);
    ListData->setGeometry(210, 10, 200, 500);
    Frame1 = new QLabel(this);
    Frame1->setGeometry(10, 0, 190, 10);
}

void AttribForm::removeRow(int i)
{
    if (i >= 0 && i < ListCaption->count())
        delete ListCaption->takeItem(i);
    if (i >= 0 && i < ListData->count())
        delete ListData->takeItem(i);
}

void AttribForm::formLoad()
{
    ListCaption->clear();
    ListData->clear();
    const int n = std::clamp<int>(count_, 0, AttribSlots);
    for (int i = 0; i < n; ++i) {
        ListCaption->addItem(fr::gbk::decode(attribs_[i].name));
        ListData->addItem(fr::gbk::decode(attribs_[i].data));
    }
}

void AttribForm::setRow(int i, const QString& caption, const QString& data)
{
    if (i < 0)
        return;
    // Records added after the form was loaded have no rows yet.
    while (ListCaption->count() <= i)
        ListCaption->addItem(QString());
    while (ListData->count() <= i)
        ListData->addItem(QString());
    ListCaption->item(i)->setText(caption);
    ListData->item(i)->setText(data);
}

namespace {

const PlacementKind NpcKindSpec{AttribKind::Npc,
                                "npc",
                                3,
                                32,
                                48,
                                8,
                                256,
                                96,
                                QStringLiteral("Npc"),
                                QStringLiteral("超过一张地图内最大npc数目！"),
                                QStringLiteral("个活动NPC")};
const PlacementKind MonsterKindSpec{AttribKind::Monster,
                                    "monster",
                                    4,
                                    64,
                                    64,
                                    3,
                                    192,
                                    512,
                                    QStringLiteral("怪物"),
                                    QStringLiteral("超过一张地图内最大Monster数目！"),
                                    QStringLiteral("个活动Monster")};

} // namespace

ToolFormsImpl::ToolFormsImpl(Module1& m, Module2& p, std::function<void()> showMain, std::function<Main&()> main)
    : m_(m), ScriptEditorForm([showMain] { return new ScriptEditor(showMain); }),
      ActiveNpc([this, &m, &p, main] {
          return new PlacementForm(QStringLiteral("添加活动NPC(随机走动型)"), NpcKindSpec, m, p, main,
                                   [this]() -> ScriptEditor& { return ScriptEditorForm.get(); });
      }),
      ActiveMonster([this, &m, &p, main] {
          return new PlacementForm(QStringLiteral("添加活动Monster(随机走动型)"), MonsterKindSpec, m, p, main,
                                   [this]() -> ScriptEditor& { return ScriptEditorForm.get(); });
      }),
      AddRole([this, &m, &p, main] {
          return new RoleForm(m, p, main, [this]() -> ScriptEditor& { return ScriptEditorForm.get(); });
      }),
      AddNewAttributeForm([this, &m, &p] { return new AddNewAttribute(m, p, *this); })
{
}

ToolFormsImpl::~ToolFormsImpl() = default;

AttribForm& ToolFormsImpl::attribForm(AttribKind kind)
{
    switch (kind) {
    case AttribKind::Npc: return ActiveNpc.get();
    case AttribKind::Monster: return ActiveMonster.get();
    case AttribKind::Role: break;
    }
    return AddRole.get();
}

void ToolFormsImpl::showAddNewAttribute(AttribKind kind, int mode)
{
    if (!AddNewAttributeForm.loaded()) {
        Module1& m = m_;
        m.AttribKindName = kind == AttribKind::Npc ? "npc" : kind == AttribKind::Monster ? "monster" : "role";
        int16_t& md = kind == AttribKind::Npc       ? m.NpcAttribMode
                      : kind == AttribKind::Monster ? m.MonsterAttribMode
                                                    : m.RoleAttribMode;
        md = static_cast<int16_t>(mode);
    }
    AddNewAttribute& f = AddNewAttributeForm.get();
    f.show();
    f.raise();
}

void ToolFormsImpl::showScriptEditor()
{
    ScriptEditor& f = ScriptEditorForm.get();
    f.show();
    f.raise();
    f.activateWindow();
}

AttribRows& ToolFormsImpl::rows(AttribKind kind)
{
    switch (kind) {
    case AttribKind::Npc: return ActiveNpc.get();
    case AttribKind::Monster: return ActiveMonster.get();
    case AttribKind::Role: break;
    }
    return AddRole.get();
}

void ToolFormsImpl::showAttribForm(AttribKind kind)
{
    AttribForm& f = kind == AttribKind::Npc       ? static_cast<AttribForm&>(ActiveNpc.get())
                    : kind == AttribKind::Monster ? static_cast<AttribForm&>(ActiveMonster.get())
                                                  : static_cast<AttribForm&>(AddRole.get());
    f.show();
    f.raise();
    f.activateWindow();
}

} // namespace tilesmith
