#include "magic_editor.h"

#include "statements.h"

#include "platform/dialogs.h"
#include "platform/gbk.h"
#include "platform/paths.h"
#include "shell/module2.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace tilesmith {

MagicEditor::MagicEditor(Module1& m, std::function<ScriptEditor&()> script) : m_(m), script_(std::move(script))
{
    setWindowTitle(QStringLiteral("魔法编辑器"));
    resize(420, 400);
    List1 = new QListWidget(this);
    List1->setGeometry(10, 10, 200, 340);
    Label16 = new QLabel(this);
    Label16->setGeometry(10, 360, 200, 24);
    int y = 10;
    auto button = [&](const char* text) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setGeometry(230, y, 120, 28);
        y += 36;
        return b;
    };
    Command4 = button("添加数据");
    Command5 = button("删除数据");
    Command7 = button("加入到脚本");
    Command8 = button("返回");
    QObject::connect(Command4, &QPushButton::clicked, this, fr::guard([this](bool) { Command4_Click(); }));
    QObject::connect(Command5, &QPushButton::clicked, this, fr::guard([this](bool) { Command5_Click(); }));
    QObject::connect(Command7, &QPushButton::clicked, this, fr::guard([this](bool) { Command7_Click(); }));
    QObject::connect(Command8, &QPushButton::clicked, this, fr::guard([this](bool) { Command8_Click(); }));
}

void MagicEditor::formLoad()
{
    List1->clear();
    m_.MagicCount = 0;
    MagicRecs.fill(InitStruct());
    const QString path = fr::ci::resolve(GetParentPath(m_.AppDir, 1) + QStringLiteral("script/magickindlist.jsr"));
    QByteArray data;
    QString error;
    if (!fr::readWholeFile(path, data, error))
        fr::msgBox(QStringLiteral("无法读取魔法列表：") + error);
    else if (!ReadMagicList(data, MagicRecs, error))
        fr::msgBox(error); // the table stays empty rather than half read
    for (const MagicRec& r : MagicRecs)
        if (r.Name != "NULL") {
            List1->addItem(fr::gbk::decode(r.Name));
            ++m_.MagicCount;
        }
    Label16->setText(QString::number(m_.MagicCount));
}

void MagicEditor::Command4_Click()
{
    const int i = List1->currentRow();
    if (List1->count() >= MagicSlots || i < 0 || m_.MagicCount >= MagicSlots)
        return;
    m_.MagicCount += 1;
    Label16->setText(QString::number(m_.MagicCount));
    List1->addItem(fr::gbk::decode(MagicRecs[i].Name));
    MagicRecs[m_.MagicCount - 1] = MagicRecs[i];
}

void MagicEditor::Command5_Click()
{
    const int i = List1->currentRow();
    if (i < 0)
        return;
    if (fr::msgBox(QStringLiteral("是否决定删除?"), fr::vbYesNo) != fr::vbYes)
        return;
    delete List1->takeItem(i);
    const int n = std::clamp<int>(m_.MagicCount, 0, MagicSlots);
    for (int k = i; k < n - 1; ++k)
        MagicRecs[k] = MagicRecs[k + 1];
    if (n > 0)
        MagicRecs[n - 1] = InitStruct();
    m_.MagicCount = static_cast<int16_t>(std::max(0, n - 1));
    Label16->setText(QString::number(m_.MagicCount));
}

void MagicEditor::Command7_Click()
{
    ScriptEditor& se = script_();
    const QString name = GetFileName(se.CurScriptPath);
    if (name == QStringLiteral("MagicKindList.jsr")) {
        const StatementText s = MagicListStatements(MagicRecs, m_.MagicCount);
        if (!s.error.isEmpty())
            fr::msgBox(s.error);
        else
            se.setScriptText(s.text);
    } else if (!name.isEmpty()) {
        fr::msgBox(QStringLiteral("请先在脚本编辑器中选中MagicKindList.jsr"));
    }
    hide();
    se.show();
}

void MagicEditor::Command8_Click()
{
    hide();
    script_().show();
}

} // namespace tilesmith
