#include "script_editor.h"

#include "platform/app.h"
#include "platform/dialogs.h"
#include "platform/gbk.h"
#include "platform/paths.h"

#include <QLabel>
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
    Command2 = new QPushButton(QStringLiteral("保存事件(Ctrl+S)"), this);
    Command2->setGeometry(10, 440, 140, 30);
    Label2 = new QLabel(this);
    Label2->setGeometry(380, 440, 250, 30);
    QObject::connect(Text1, &QPlainTextEdit::textChanged, this, [this] { ScriptSaved = 0; });
    QObject::connect(Command2, &QPushButton::clicked, this, fr::guard([this](bool) { Command2_Click(); }));
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

bool ScriptEditor::loadScript(const QString& path)
{
    QByteArray bytes;
    QString error;
    if (!fr::readWholeFile(path, bytes, error)) {
        fr::msgBox(QStringLiteral("无法读取脚本 %1：%2").arg(path, error));
        return false;
    }
    // Every line, the last one included, ends with CR LF in the text.
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        bytes += "\r\n";
    setScriptText(bytes);
    CurScriptPath = path;
    ScriptSaved = -1;
    return true;
}

bool ScriptEditor::writeTo(const QString& path)
{
    QByteArray text;
    if (!scriptText(text)) {
        fr::msgBox(QStringLiteral("脚本含有无法保存的字符，没有保存。"));
        return false;
    }
    QString error;
    // One line end closes the text; a text that already ends with one is
    // not given a second, so load and save leave a file as it was.
    if (!text.endsWith('\n'))
        text += "\r\n";
    if (!fr::writeFileAtomic(path, text, error)) {
        fr::msgBox(QStringLiteral("无法保存到 %1：%2").arg(path, error));
        return false;
    }
    ScriptSaved = -1;
    return true;
}

bool ScriptEditor::Command2_Click()
{
    if (CurScriptPath.isEmpty()) {
        fr::msgBox(QStringLiteral("还没有选中脚本文件，请用“另保存”。"));
        return false;
    }
    if (!writeTo(CurScriptPath))
        return false;
    Label2->setText(QStringLiteral("已保存到:") + CurScriptPath);
    return true;
}

bool ScriptEditor::Menu_SaveAsAnotherScript_Click()
{
    fr::CommonDialogState st;
    st.filter = QStringLiteral("脚本文件|*.jsr|所有文件|*.*");
    const QString path = fr::dialogs().saveFile(st);
    if (path.isEmpty())
        return false;
    return writeTo(path);
}

void ScriptEditor::formUnload()
{
    if (showMain_)
        showMain_();
}

} // namespace tilesmith
