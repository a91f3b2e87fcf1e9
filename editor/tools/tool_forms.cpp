#include "tool_forms.h"

#include "platform/gbk.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace tilesmith {

ScriptEditor::ScriptEditor(std::function<void()> showMain) : showMain_(std::move(showMain))
{
    setWindowTitle(QStringLiteral("脚本编辑器"));
    resize(360, 160);
    auto* note = new QLabel(QStringLiteral("脚本编辑器"), this);
    note->setGeometry(20, 20, 320, 24);
    ReturnButton = new QPushButton(QStringLiteral("返回"), this);
    ReturnButton->setGeometry(130, 100, 100, 30);
    QObject::connect(ReturnButton, &QPushButton::clicked, this, fr::guard([this](bool) { leave(); }));
}

void ScriptEditor::leave()
{
    hide();
    if (showMain_)
        showMain_();
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

ToolFormsImpl::ToolFormsImpl(Module1& m, std::function<void()> showMain)
    : ScriptEditorForm([showMain] { return new ScriptEditor(showMain); }),
      ActiveNpc([&m] { return new AttribForm(QStringLiteral("NPC"), m.NpcAttribs, m.NpcAttribCount); }),
      ActiveMonster([&m] { return new AttribForm(QStringLiteral("怪物"), m.MonsterAttribs, m.MonsterAttribCount); }),
      AddRole([&m] { return new AttribForm(QStringLiteral("主角"), m.RoleAttribs, m.RoleAttribCount); })
{
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
    AttribForm& f = kind == AttribKind::Npc       ? ActiveNpc.get()
                    : kind == AttribKind::Monster ? ActiveMonster.get()
                                                  : AddRole.get();
    f.show();
    f.raise();
    f.activateWindow();
}

} // namespace tilesmith
