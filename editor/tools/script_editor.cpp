#include "script_editor.h"

#include "tool_forms.h"

#include "shell/main_form.h"
#include "shell/module1.h"
#include "shell/module2.h"
#include "shell/recent_map.h"

#include "platform/app.h"
#include "platform/gbk.h"
#include "platform/keys.h"
#include "platform/launcher.h"
#include "platform/paths.h"
#include "platform/textfile.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

namespace tilesmith {

namespace {

// Scripts are edited whole in the text box; anything larger is no script.
constexpr qint64 MaxScriptBytes = 16ll << 20;
constexpr qint64 MaxEventTableBytes = 16ll << 20;

const QString SaveQuestion = QStringLiteral("还没保存过此脚本，要保存吗？");
const QString ScriptsAndAll = QStringLiteral("脚本文件(.jsr)|*.jsr|所有文件|*.*");

int mouseButton(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

// A name that becomes a field of the map file or a line of the event table:
// no field or line separator, no quote, and a GBK form. Empty when it is
// fine, otherwise why not.
QString unusableName(const QString& text, QByteArray& gbk)
{
    if (text.isEmpty())
        return QStringLiteral("不能为空");
    return TypedValueProblem(text, gbk);
}

} // namespace

// ---- ListBox ------------------------------------------------------------------

template <class F> void ListBox::userInput(F&& base)
{
    const int before = currentRow();
    base();
    if (currentRow() != before && currentRow() >= 0 && onUserRowChange)
        fr::guarded([&] { onUserRowChange(currentRow()); });
}

void ListBox::restoreRow(int row)
{
    const QSignalBlocker quiet(this);
    if (row >= 0 && row < count()) {
        setCurrentRow(row);
        return;
    }
    clearSelection();
    selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

void ListBox::focusInEvent(QFocusEvent* e)
{
    // The platform's list makes its first row current when it takes the
    // focus with none: a row nobody chose.
    const bool hadCurrent = currentIndex().isValid();
    const QSignalBlocker quiet(this);
    QListWidget::focusInEvent(e);
    if (!hadCurrent && currentIndex().isValid())
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

void ListBox::mouseMoveEvent(QMouseEvent* e)
{
    userInput([&] { QListWidget::mouseMoveEvent(e); });
}

void ListBox::mousePressEvent(QMouseEvent* e)
{
    const int button = mouseButton(e->button());
    if (button == 2 && rightKeepsSelection) {
        e->accept();
        if (onPress)
            fr::guarded([&] { onPress(2); });
        return;
    }
    rowBeforeInput_ = currentRow();
    userInput([&] { QListWidget::mousePressEvent(e); });
    QListWidgetItem* it = itemAt(e->position().toPoint());
    pressedRow_ = it ? row(it) : -1;
    inDoubleClick_ = false;
    if (onPress)
        fr::guarded([&] { onPress(button); });
}

void ListBox::mouseReleaseEvent(QMouseEvent* e)
{
    QListWidget::mouseReleaseEvent(e);
    if (e->button() != Qt::LeftButton)
        return;
    QListWidgetItem* it = itemAt(e->position().toPoint());
    const int r = it ? row(it) : -1;
    const bool click = !inDoubleClick_ && r >= 0 && r == pressedRow_;
    inDoubleClick_ = false;
    pressedRow_ = -1;
    if (click && onClick)
        fr::guarded([&] { onClick(r); });
}

void ListBox::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() == Qt::RightButton && rightKeepsSelection) {
        // The second press of a double right click is one more press.
        mousePressEvent(e);
        return;
    }
    QListWidget::mouseDoubleClickEvent(e);
    if (e->button() != Qt::LeftButton)
        return;
    inDoubleClick_ = true;
    QListWidgetItem* it = itemAt(e->position().toPoint());
    if (it && onDblClick)
        fr::guarded([&] { onDblClick(row(it)); });
}

void ListBox::keyPressEvent(QKeyEvent* e)
{
    if (onKey)
        fr::guarded([&] { onKey(fr::keyCode(e)); });
    const int before = currentRow();
    rowBeforeInput_ = before;
    userInput([&] { QListWidget::keyPressEvent(e); });
    // A row chosen with the keyboard is chosen by the user.
    if (currentRow() != before && currentRow() >= 0 && onClick)
        fr::guarded([&] { onClick(currentRow()); });
}

// ---- The window -----------------------------------------------------------------

ScriptEditor::ScriptEditor(Module1& m, ToolFormsImpl& tools, std::function<void()> showMain,
                           std::function<Main&()> main)
    : CurScriptPath(m.CurScriptPath), M(m), tools_(tools), showMain_(std::move(showMain)), main_(std::move(main))
{
    // Closing the window unloads it; its next use loads it again.
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("脚本编辑器"));
    resize(900, 620);
    buildControls();
    buildMenus();
    keyPreview_ = std::make_unique<fr::KeyPreview>(this, this);
}

ScriptEditor::~ScriptEditor() = default;

void ScriptEditor::buildControls()
{
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* outer = new QVBoxLayout(central);
    // The status lines show any message in one line of the window's width;
    // a long one (a path, a list of files) is cut, and shown whole in the
    // tooltip.
    Label3 = new fr::LineLabel(QStringLiteral("等待选择。。。"), central);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setAlignment(Qt::AlignCenter);
    QFont small = Label3->font();
    small.setPointSize(9);
    Label3->setFont(small);
    outer->addWidget(Label3);
    auto* row = new QHBoxLayout;
    outer->addLayout(row, 1);

    Frame1 = new QGroupBox(QStringLiteral("编辑框"), central);
    auto* frame = new QVBoxLayout(Frame1);
    Label2 = new fr::LineLabel(QStringLiteral("没有文件"), Frame1);
    Label2->setObjectName(QStringLiteral("Label2"));
    frame->addWidget(Label2);
    Text1 = new QPlainTextEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font(QStringLiteral("SimSun"));
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei Mono"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans Mono CJK SC")});
    font.setPointSize(12);
    Text1->setFont(font);
    frame->addWidget(Text1, 1);
    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* name, const QString& text) {
        auto* b = new QPushButton(text, Frame1);
        b->setObjectName(QString::fromLatin1(name));
        buttons->addWidget(b);
        return b;
    };
    Command2 = button("Command2", QStringLiteral("保存事件(Ctrl+S)"));
    Command3 = button("Command3", QStringLiteral("新建脚本"));
    Command4 = button("Command4", QStringLiteral("打开脚本"));
    Command1 = button("Command1", QStringLiteral("另存脚本"));
    Command6 = button("Command6", QStringLiteral("返回"));
    Command8 = button("Command8", QStringLiteral("重命名脚本文件"));
    Command5 = button("Command5", QStringLiteral("删除脚本文件"));
    frame->addLayout(buttons);
    row->addWidget(Frame1, 3);

    auto* side = new QVBoxLayout;
    TabStrip = new QTabBar(central);
    TabStrip->setObjectName(QStringLiteral("TabStrip"));
    TabStrip->addTab(QStringLiteral("脚本列表"));
    TabStrip->addTab(QStringLiteral("事件列表"));
    TabStrip->addTab(QStringLiteral("地图列表"));
    side->addWidget(TabStrip);
    TabPages = new QStackedWidget(central);
    auto page = [&](const QString& caption, const char* listName, const QString& tip, QGroupBox*& box) {
        box = new QGroupBox(caption, TabPages);
        auto* l = new QVBoxLayout(box);
        auto* list = new ListBox(box);
        list->setObjectName(QString::fromLatin1(listName));
        list->setToolTip(tip);
        l->addWidget(list);
        TabPages->addWidget(box);
        return list;
    };
    FileTable = page(QStringLiteral("脚本"), "FileTable", QStringLiteral("双击选中事件到游戏"), ScriptFrame);
    EventTable = page(QStringLiteral("事件表"), "EventTable", QStringLiteral("双击编辑,右击添加,Delete删除"),
                      EventTableFrame);
    FileTable2 = page(QStringLiteral("地图"), "FileTable2", QStringLiteral("双击打开"), MapFrame);
    side->addWidget(TabPages, 1);
    row->addLayout(side, 1);

    // The event list keeps its rows in order itself, so an edited row stays
    // where it was until the next load; the right button adds an event
    // without moving the selection.
    EventTable->setSortingEnabled(false);
    EventTable->rightKeepsSelection = true;

    connect(Text1, &QPlainTextEdit::textChanged, this, [this] { ScriptSaved = 0; });
    connect(TabStrip, &QTabBar::currentChanged, this, fr::guard([this](int) { TabStrip_Click(); }));
    auto clicked = [this](QPushButton* b, void (ScriptEditor::*f)()) {
        connect(b, &QPushButton::clicked, this, fr::guard([this, f](bool) { (this->*f)(); }));
    };
    connect(Command2, &QPushButton::clicked, this, fr::guard([this](bool) { Command2_Click(); }));
    clicked(Command3, &ScriptEditor::Menu_NewScript_Click);
    clicked(Command4, &ScriptEditor::Command4_Click);
    connect(Command1, &QPushButton::clicked, this, fr::guard([this](bool) { Menu_SaveAsAnotherScript_Click(); }));
    clicked(Command6, &ScriptEditor::ReturnToMain);
    clicked(Command8, &ScriptEditor::Command8_Click);
    clicked(Command5, &ScriptEditor::Command5_Click);

    FileTable->onClick = [this](int) { FileTable_Click(); };
    FileTable->onDblClick = [this](int) { FileTable_DblClick(); };
    FileTable2->onClick = [this](int) { FileTable2_Click(); };
    FileTable2->onDblClick = [this](int) { FileTable2_DblClick(); };
    EventTable->onDblClick = [this](int) { EventTable_DblClick(); };
    EventTable->onPress = [this](int button) { EventTable_MouseDown(button); };
    EventTable->onKey = [this](int key) { EventTable_KeyDown(key); };
}

void ScriptEditor::buildMenus()
{
    auto item = [this](QMenu* menu, const char* name, const QString& text, auto handler) {
        QAction* a = menu ? menu->addAction(text) : menuBar()->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, fr::guard([handler](bool) { handler(); }));
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("文件"));
    file->setObjectName(QStringLiteral("Menu_ScriptFile"));
    item(file, "Menu_NewScript", QStringLiteral("新建"), [this] { Menu_NewScript_Click(); });
    item(file, "Menu_OpenScript", QStringLiteral("打开"), [this] { Command4_Click(); });
    item(file, "Menu_SaveCurrentScript", QStringLiteral("保存(Ctrl+S)"), [this] { Command2_Click(); });
    item(file, "Menu_SaveAsAnotherScript", QStringLiteral("另保存"), [this] { Menu_SaveAsAnotherScript_Click(); });
    item(file, "Menu_BackUpScript", QStringLiteral("备份全部脚本"), [this] { Menu_BackUpScript_Click(); });
    item(file, "Menu_BackUpMap", QStringLiteral("备份全部地图"), [this] { Menu_BackUpMap_Click(); });
    item(file, "Menu_Exit", QStringLiteral("关闭所有"), [this] { Menu_Exit_Click(); });
    QMenu* others = menuBar()->addMenu(QStringLiteral("其它编辑器"));
    others->setObjectName(QStringLiteral("ScriptAddMethod"));
    item(others, "Menu_ScriptAddActiveNpc", QStringLiteral("NPC编辑器 F1"), [this] { Menu_ScriptAddActiveNpc_Click(); });
    item(others, "Menu_ScriptAddActiveMonster", QStringLiteral("怪物编辑器 F2"),
         [this] { Menu_ScriptAddActiveMonster_Click(); });
    item(others, "Menu_ScriptAddMagic", QStringLiteral("魔法编辑器 F3"), [this] { Menu_ScriptAddMagic_Click(); });
    item(others, "Menu_ScriptAddRole", QStringLiteral("主角编辑器 F4"), [this] { Menu_ScriptAddRole_Click(); });
    item(nullptr, "Menu_ScriptHelp", QStringLiteral("帮助(F10)"), [this] { Menu_ScriptHelp_Click(); });
}

QAction* ScriptEditor::MenuItem(const QString& name) const
{
    return findChild<QAction*>(name);
}

void ScriptEditor::formLoad()
{
    ScriptSaved = -1;
    Events = tilesmith::EventTable();
    const QString game = GetParentPath(M.AppDir, 1);
    scriptDir_ = fr::ci::resolve(game + QStringLiteral("script"));
    mapDir_ = fr::ci::resolve(game + QStringLiteral("map"));
    refreshLists();

    QString scripts, maps;
    const bool scriptsOk = backUp(FileTable, scriptDir_, QStringLiteral("BScript"),
                                  QStringLiteral("成功备份全部脚本文件!"), scripts);
    const bool mapsOk = backUp(FileTable2, mapDir_, QStringLiteral("BMap"), QStringLiteral("成功备份全部地图文件!"), maps);
    // A backup that did not happen stays in view; the other's success
    // message would hide it.
    if (scriptsOk && mapsOk)
        Label3->setText(maps);
    else
        Label3->setText((scriptsOk ? QStringList{maps} : mapsOk ? QStringList{scripts} : QStringList{scripts, maps})
                            .join(QStringLiteral("；")));

    TabStrip->setCurrentIndex(0);
    TabStrip_Click();
    readEventTable();

    // The script last chosen is chosen again (only a row of exactly that
    // name).
    QString recentProblem;
    const QString recent = ReadRecentName(M.AppDir, QStringLiteral("RecentScript.txt"), &recentProblem);
    // A remembered name that could not be read (a file too large) is said
    // beside what the backups said, not passed over in silence.
    if (!recentProblem.isEmpty())
        Label3->setText(Label3->text() + QStringLiteral("；") + recentProblem);
    if (!recent.isEmpty()) {
        for (int i = 0; i < FileTable->count(); ++i) {
            if (FileTable->item(i)->text() == recent) {
                FileTable->setCurrentRow(i);
                ScriptSaved = -1;
                FileTable_Click();
                break;
            }
        }
    }
}

void ScriptEditor::formQueryUnload(bool&)
{
    // The window goes without a question about its text.
    if (showMain_)
        showMain_();
    hide();
}

bool ScriptEditor::formKeyDown(int keyCode, int shift)
{
    switch (keyCode) {
    case 27:
        ReturnToMain();
        return true;
    case 83:
        if (shift != 2)
            return false;
        Command2_Click();
        return true;
    case 112:
        ShowNpcEditor();
        return true;
    case 113:
        Menu_ScriptAddActiveMonster_Click();
        return true;
    case 114:
        Menu_ScriptAddMagic_Click();
        return true;
    case 115:
        Menu_ScriptAddRole_Click();
        return true;
    default:
        return false;
    }
}

// ---- The text -------------------------------------------------------------------

bool ScriptEditor::scriptText(QByteArray& out) const
{
    return fr::gbk::encode(Text1->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")), out);
}

void ScriptEditor::setScriptText(const QByteArray& gbk)
{
    Text1->setPlainText(fr::gbk::decode(gbk));
}

bool ScriptEditor::readScriptBytes(const QString& path, QByteArray& text)
{
    QString error;
    if (!fr::readWholeFile(path, text, error, MaxScriptBytes)) {
        fr::msgBox(QStringLiteral("无法读取脚本：%1").arg(error));
        return false;
    }
    if (fr::hasOnlyLfLineEnds(text))
        fr::msgBox(QStringLiteral("脚本 %1 的行只以 LF 结尾，已按 CR LF 读入；保存时写成 CR LF。").arg(path));
    if (fr::gbk::decode(text).contains(QChar(0xFFFD)))
        fr::msgBox(QStringLiteral("脚本 %1 中有不是 GBK 编码的字节，显示为“\uFFFD”。改正之前这段文本不能保存，原文件不会被改动。")
                       .arg(path));
    // Every line, the last one included, ends with CR LF in the text.
    if (!text.isEmpty() && !text.endsWith('\n'))
        text += "\r\n";
    return true;
}

bool ScriptEditor::loadScript(const QString& path)
{
    QByteArray text;
    if (!readScriptBytes(path, text))
        return false;
    setScriptText(text);
    ScriptSaved = -1;
    return true;
}

bool ScriptEditor::writeTo(const QString& path)
{
    QByteArray text;
    if (!scriptText(text)) {
        fr::msgBox(QStringLiteral("脚本中的字符“%1”不能用 GBK 保存，没有保存。")
                       .arg(fr::gbk::firstUnencodable(Text1->toPlainText())));
        return false;
    }
    // One line end closes the text; a text that already ends with one is
    // not given a second, so loading and saving leave a file as it was.
    if (!text.endsWith('\n'))
        text += "\r\n";
    QString error;
    if (!fr::writeFileAtomic(path, text, error)) {
        fr::msgBox(QStringLiteral("没有保存：%1").arg(error));
        return false;
    }
    ScriptSaved = -1;
    return true;
}

ScriptEditor::Answer ScriptEditor::saveQuestion()
{
    if (ScriptSaved != 0)
        return Answer::Proceed;
    if (fr::msgBox(SaveQuestion, fr::vbYesNo + fr::vbExclamation) != fr::vbYes)
        return Answer::ProceedAfterNo;
    if (!Command2_Click())
        return Answer::Stop; // the text stays, unsaved, and nothing is loaded over it
    fr::msgBox(QStringLiteral("已保存到:") + CurScriptPath);
    return Answer::Restart;
}

// ---- Commands ---------------------------------------------------------------------

bool ScriptEditor::Command2_Click()
{
    if (CurScriptPath.endsWith(QStringLiteral(".jmap"), Qt::CaseInsensitive)) {
        // The current file came from the map list: the script text must
        // not replace the map.
        Label2->setText(QStringLiteral("没有保存：当前文件是地图 ") + CurScriptPath);
        fr::msgBox(QStringLiteral("当前文件是地图 %1，脚本不能保存到地图中。请用“另存脚本”保存到脚本文件。")
                       .arg(CurScriptPath));
        return false;
    }
    if (CurScriptPath.isEmpty()) {
        // No file yet: the save dialog names one, which becomes current.
        const QString path = fileDialog(true, QStringLiteral("另存为脚本"), ScriptsAndAll);
        if (path.isEmpty() || !writeTo(path))
            return false;
        CurScriptPath = path;
        refreshLists();
    } else if (!writeTo(CurScriptPath)) {
        return false;
    }
    Label2->setText(QStringLiteral("已保存到:") + CurScriptPath);
    ScriptSaved = -1;
    return true;
}

QString ScriptEditor::fileDialog(bool save, const QString& title, const QString& filter)
{
    Dialog1.title = title;
    Dialog1.filter = filter;
    Dialog1.initDir = scriptDir_;
    return save ? fr::dialogs().saveFile(Dialog1) : fr::dialogs().openFile(Dialog1);
}

bool ScriptEditor::questionBefore(void (ScriptEditor::*command)())
{
    switch (saveQuestion()) {
    case Answer::Restart:
        (this->*command)();
        return false;
    case Answer::Stop:
        return false;
    default:
        return true;
    }
}

void ScriptEditor::Command4_Click()
{
    if (!questionBefore(&ScriptEditor::Command4_Click))
        return;
    const QString path = fileDialog(false, QStringLiteral("打开脚本"), ScriptsAndAll);
    if (path.isEmpty())
        return;
    QByteArray text;
    if (!readScriptBytes(path, text))
        return;
    Label2->setText(path);
    Label3->setText(QStringLiteral("已打开脚本文件"));
    CurScriptPath = path;
    setScriptText(text);
    ScriptSaved = -1;
}

void ScriptEditor::Menu_NewScript_Click()
{
    if (!questionBefore(&ScriptEditor::Menu_NewScript_Click))
        return;
    const QString path = fileDialog(true, QStringLiteral("新建脚本"), QStringLiteral("脚本文件(.jsr)|*.jsr"));
    if (path.isEmpty())
        return;
    // The new file holds one empty line.
    QString error;
    if (!fr::writeFileAtomic(path, "\r\n", error)) {
        fr::msgBox(QStringLiteral("没有新建脚本：%1").arg(error));
        return;
    }
    Text1->clear();
    CurScriptPath = path;
    Label2->setText(CurScriptPath);
    Label3->setText(QStringLiteral("已新建:") + GetFileName(CurScriptPath));
    refreshLists();
    ScriptSaved = -1;
}

bool ScriptEditor::Menu_SaveAsAnotherScript_Click()
{
    const QString path = fileDialog(true, QStringLiteral("另存为脚本"), ScriptsAndAll);
    if (path.isEmpty())
        return false;
    return writeTo(path);
}

void ScriptEditor::Command5_Click()
{
    if (CurScriptPath.isEmpty()) {
        Label3->setText(QStringLiteral("还没有选中文件，没有删除"));
        return;
    }
    if (fr::msgBox(QStringLiteral("确定删除") + CurScriptPath + QStringLiteral("吗？"),
                   fr::vbYesNo + fr::vbExclamation + fr::vbDefaultButton2) != fr::vbYes)
        return;
    QFile file(fr::ci::resolve(CurScriptPath));
    if (!fr::fileExists(CurScriptPath) || !file.remove()) {
        Label3->setText(QStringLiteral("删除失败:") + CurScriptPath);
        fr::msgBox(QStringLiteral("无法删除 %1：%2")
                       .arg(CurScriptPath, fr::fileExists(CurScriptPath) ? file.errorString()
                                                                         : QStringLiteral("文件不存在")));
        return;
    }
    Label3->setText(QStringLiteral("已删除:") + CurScriptPath);
    Label2->setText(QString());
    refreshLists();
}

void ScriptEditor::Command8_Click()
{
    QListWidgetItem* selected = FileTable->currentItem();
    const QString proposal = selected ? StripExtension(selected->text()) : QString();
    if (CurScriptPath.isEmpty()) {
        Label3->setText(QStringLiteral("还没有选中文件，没有重命名"));
        return;
    }
    const QString answer = fr::inputBox(QStringLiteral("请输入新文件名:"), {}, proposal);
    if (answer.isEmpty())
        return;
    // A name, not a path: the file stays in its folder.
    if (answer.contains(QLatin1Char('/')) || answer.contains(QLatin1Char('\\')) || answer == QLatin1String(".") ||
        answer == QLatin1String("..")) {
        fr::msgBox(QStringLiteral("请输入新文件名: “%1”不是文件名（不能含有 / 或 \\），没有重命名。").arg(answer));
        return;
    }
    // The file keeps its kind: the extension of the list last clicked,
    // unless the file came from the open dialog with another one (a script
    // opened after a map click must not become a ".jmap", nor lose ".jsr").
    const QString fileName = GetFileName(CurScriptPath);
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString ownExt = dot >= 0 ? fileName.mid(dot) : QString();
    const QString ext = ownExt.compare(CurFileExt, Qt::CaseInsensitive) == 0 ? CurFileExt : ownExt;
    const QString oldPath = fr::ci::resolve(CurScriptPath);
    const QString newPath = GetParentPath(CurScriptPath, 1) + answer + ext;
    if (!fr::fileExists(oldPath)) {
        fr::msgBox(QStringLiteral("文件 %1 不存在，没有重命名。").arg(CurScriptPath));
        return;
    }
    // Never over another file (a new spelling of the same name is fine).
    if (fr::fileExists(newPath) && fr::ci::resolve(newPath) != oldPath) {
        fr::msgBox(QStringLiteral("已经有文件 %1，没有重命名。").arg(fr::ci::resolve(newPath)));
        return;
    }
    QFile file(oldPath);
    if (!file.rename(newPath)) {
        fr::msgBox(QStringLiteral("无法把 %1 命名为 %2：%3").arg(CurScriptPath, newPath, file.errorString()));
        return;
    }
    refreshLists();
    Label2->setText(QStringLiteral("已成功把 ") + CurScriptPath + QStringLiteral("命名为 ") + answer + ext);
    CurScriptPath = newPath;
}

bool ScriptEditor::backUp(const QListWidget* list, const QString& folder, const QString& backup,
                          const QString& done, QString& report)
{
    if (!fr::dirExists(folder)) {
        report = QStringLiteral("找不到文件夹 %1，没有备份").arg(folder);
        return false;
    }
    const QString target = fr::ci::resolve(folder + fr::sep + backup);
    if (!fr::dirExists(target)) {
        report = QStringLiteral("找不到备份文件夹 %1，没有备份").arg(target);
        return false;
    }
    QStringList failed;
    for (int i = 0; i < list->count(); ++i) {
        const QString name = list->item(i)->text();
        QString error;
        if (!fr::copyToOwnFile(GetParentPath(M.AppDir, 1), folder + fr::sep + name, target + fr::sep + name, error))
            failed << error;
    }
    if (!failed.isEmpty()) {
        // One reason is usually every file's (a backup folder that cannot
        // be written): a list of all of them would say nothing more.
        report = failed.size() == 1 ? QStringLiteral("备份出错：") + failed.front()
                                    : QStringLiteral("备份出错，%1 个文件中 %2 个没有备份，第一个：%3")
                                          .arg(list->count())
                                          .arg(failed.size())
                                          .arg(failed.front());
        return false;
    }
    report = done;
    return true;
}

void ScriptEditor::Menu_BackUpScript_Click()
{
    QString report;
    backUp(FileTable, scriptDir_, QStringLiteral("BScript"), QStringLiteral("成功备份全部脚本文件!"), report);
    Label3->setText(report);
}

void ScriptEditor::Menu_BackUpMap_Click()
{
    QString report;
    backUp(FileTable2, mapDir_, QStringLiteral("BMap"), QStringLiteral("成功备份全部地图文件!"), report);
    Label3->setText(report);
}

void ScriptEditor::refreshLists()
{
    auto fill = [](QListWidget* list, const QString& folder, const QString& pattern) {
        const QString keep = list->currentItem() ? list->currentItem()->text() : QString();
        const QStringList names =
            QDir(folder).entryList({pattern}, QDir::Files, QDir::Name | QDir::IgnoreCase);
        QSignalBlocker block(list);
        list->clear();
        list->addItems(names);
        const int again = names.indexOf(keep);
        if (!keep.isEmpty() && again >= 0)
            list->setCurrentRow(again);
    };
    fill(FileTable, scriptDir_, QStringLiteral("*.jsr"));
    fill(FileTable2, mapDir_, QStringLiteral("*.jmap"));
}

void ScriptEditor::FileTable_Click()
{
    if (!FileTable->currentItem())
        return;
    const Answer answer = saveQuestion();
    if (answer == Answer::Restart) {
        FileTable_Click();
        return;
    }
    // Nothing was loaded: the row chosen before stays the highlighted one,
    // so that the list never names a script the text does not hold.
    auto notLoaded = [this] { FileTable->restoreRow(FileTable->rowBeforeInput()); };
    if (answer == Answer::Stop) {
        notLoaded();
        return;
    }
    QListWidgetItem* item = FileTable->currentItem();
    if (!item)
        return;
    const QString name = item->text();
    const QString path = scriptDir_ + fr::sep + name;
    QByteArray text;
    if (!readScriptBytes(path, text)) {
        Label3->setText(QStringLiteral("无法读取脚本文件: ") + name);
        notLoaded();
        return;
    }
    CurFileExt = QStringLiteral(".jsr");
    CurScriptPath = path;
    Label2->setText(CurScriptPath);
    Label3->setText(QStringLiteral("已选中脚本文件: ") + name + QStringLiteral(" 双击使用此事件"));
    setScriptText(text);
    // After No the script is loaded, but the one chosen before stays the
    // remembered one.
    if (answer != Answer::ProceedAfterNo) {
        QString error;
        if (!WriteRecentName(M.AppDir, QStringLiteral("RecentScript.txt"), name, error))
            fr::msgBox(QStringLiteral("没有记下最近的脚本：%1").arg(error));
    }
    ScriptSaved = -1;
}

void ScriptEditor::FileTable_DblClick()
{
    QListWidgetItem* item = FileTable->currentItem();
    if (!item)
        return;
    // The event name goes into the map's ground lines, which separate
    // fields with commas.
    const QString name = StripExtension(item->text());
    QByteArray gbk;
    const QString why = unusableName(name, gbk);
    if (!why.isEmpty()) {
        fr::msgBox(QStringLiteral("脚本名“%1”不能用作事件名：%2").arg(name, why));
        return;
    }
    M.CurEvent = gbk;
    if (main_) {
        Main& m = main_();
        m.MainPic->pic().setPicture(m.IncidentPic.snapshot());
        m.MainPic->refresh();
    }
    M.EventMode = -1;
    M.EditLay = 8;
    ReturnToMain();
}

void ScriptEditor::FileTable2_Click()
{
    QListWidgetItem* item = FileTable2->currentItem();
    if (!item)
        return;
    CurFileExt = QStringLiteral(".jmap");
    CurScriptPath = mapDir_ + fr::sep + item->text();
    Label2->setText(CurScriptPath);
    const QString name = StripExtension(item->text());
    QApplication::clipboard()->setText(name);
    Label3->setText(QStringLiteral("已复制:") + name + QStringLiteral("到剪切板,双击打开地图"));
}

void ScriptEditor::FileTable2_DblClick()
{
    QListWidgetItem* item = FileTable2->currentItem();
    if (!item)
        return;
    CurScriptPath = mapDir_ + fr::sep + item->text();
    if (!fr::startProgram(QStringLiteral("notepad"), {CurScriptPath}))
        fr::msgBox(QStringLiteral("找不到文本编辑器，无法打开 %1").arg(CurScriptPath));
}

void ScriptEditor::ReturnToMain()
{
    M.LargeMode = false;
    M.TakeOutMode = 0;
    M.TakeOutInfo = false;
    M.TakeOutBrush = 0;
    M.EraserMode = 0;
    if (showMain_)
        showMain_();
    hide();
}

void ScriptEditor::ShowNpcEditor()
{
    tools_.showNpcEditor();
}

void ScriptEditor::Menu_ScriptAddActiveNpc_Click()
{
    tools_.showNpcEditor();
}

void ScriptEditor::Menu_ScriptAddActiveMonster_Click()
{
    hide();
    tools_.showMonsterEditor();
}

void ScriptEditor::Menu_ScriptAddMagic_Click()
{
    hide();
    tools_.showMagicEditor();
}

void ScriptEditor::Menu_ScriptAddRole_Click()
{
    hide();
    tools_.showRoleEditor();
}

void ScriptEditor::Menu_ScriptHelp_Click()
{
    fr::msgBox(QStringList{QStringLiteral("事件列表帮助:"), QStringLiteral("--[编辑]双击事件;"),
                           QStringLiteral("--[添加]右击空白处;"), QStringLiteral("--[删除]Delete;")}
                   .join(QStringLiteral("\r\n")));
}

void ScriptEditor::Menu_Exit_Click()
{
    fr::endProgram(0);
}

void ScriptEditor::TabStrip_Click()
{
    TabPages->setCurrentIndex(std::max(0, TabStrip->currentIndex()));
}

// ---- The event catalogue ------------------------------------------------------------

QString ScriptEditor::eventTablePath() const
{
    return fr::ci::resolve(scriptDir_ + QStringLiteral("/eventtable.txt"));
}

void ScriptEditor::setEventCaption()
{
    EventTableFrame->setTitle(QStringLiteral("事件:") + QString::number(Events.EventCount) + QStringLiteral("条"));
}

void ScriptEditor::addEventRow(const QByteArray& name)
{
    // Rows in the list box's order (letter case ignored); the table keeps
    // the file's order.
    const QString text = fr::gbk::decode(name);
    int at = 0;
    while (at < EventTable->count() && QString::compare(EventTable->item(at)->text(), text, Qt::CaseInsensitive) <= 0)
        ++at;
    auto* row = new QListWidgetItem(text);
    row->setData(Qt::UserRole, name);
    EventTable->insertItem(at, row);
}

int ScriptEditor::eventEntry(const QListWidgetItem* row) const
{
    return row ? Events.find(row->data(Qt::UserRole).toByteArray()) : -1;
}

void ScriptEditor::readEventTable()
{
    EventTable->clear();
    Events = tilesmith::EventTable();
    const QString path = eventTablePath();
    M.PartlyReadFiles.remove(path);
    // A missing table is an empty one, made at the first save.
    if (fr::fileExists(path)) {
        QByteArray data;
        QString error;
        if (!fr::readWholeFile(path, data, error, MaxEventTableBytes)) {
            M.PartlyReadFiles.insert(path);
            fr::msgBox(QStringLiteral("事件表没有读入：%1。为免丢失其中的事件，不会改写它。").arg(error));
        } else {
            if (fr::hasOnlyLfLineEnds(data))
                fr::msgBox(QStringLiteral("事件表 %1 的行只以 LF 结尾，已按 CR LF 读入；保存时写成 CR LF。").arg(path));
            QString warning;
            Events = tilesmith::EventTable::read(data, warning);
            if (!warning.isEmpty()) {
                M.PartlyReadFiles.insert(path);
                fr::msgBox(QStringLiteral("%1：%2。为免丢失后面的事件，不会改写这个事件表。").arg(path, warning));
            }
        }
    }
    for (int i = 0; i < Events.EventCount; ++i)
        addEventRow(Events.EventNames[i]);
    setEventCaption();
}

bool ScriptEditor::eventTableWritable()
{
    if (!M.PartlyReadFiles.contains(eventTablePath()))
        return true;
    fr::msgBox(QStringLiteral("事件表 %1 只读入了一部分，改写它会丢失其余的事件，所以没有改动。").arg(eventTablePath()));
    return false;
}

bool ScriptEditor::SaveEventTable(int skip)
{
    if (!eventTableWritable())
        return false;
    QString error;
    if (!Events.save(GetParentPath(M.AppDir, 1), eventTablePath(), skip, error)) {
        fr::msgBox(QStringLiteral("事件表没有保存：%1").arg(error));
        return false;
    }
    return true;
}

void ScriptEditor::EventTable_DblClick()
{
    QListWidgetItem* row = EventTable->currentItem();
    const int n = eventEntry(row);
    if (n < 0 || !eventTableWritable())
        return;
    // A cancelled box, or a text the table cannot hold, keeps what was
    // there.
    auto ask = [](const QString& prompt, const QByteArray& old, bool isName, QByteArray& out) {
        QString typed;
        if (!fr::dialogs().inputBox(prompt, {}, fr::gbk::decode(old), typed))
            return;
        QByteArray gbk;
        QString why = isName ? unusableName(typed, gbk) : QString();
        if (!isName) {
            if (typed.contains(QLatin1Char('\r')) || typed.contains(QLatin1Char('\n')))
                why = QStringLiteral("不能含有换行");
            else if (!fr::gbk::encode(typed, gbk))
                why = QStringLiteral("字符“%1”不能用 GBK 表示").arg(fr::gbk::firstUnencodable(typed));
        }
        if (!why.isEmpty()) {
            fr::msgBox(prompt + QStringLiteral(" “%1”%2，保持原样。").arg(typed, why));
            return;
        }
        out = gbk;
    };
    const QByteArray oldName = Events.EventNames[n];
    const QByteArray oldComment = Events.EventComments[n];
    QByteArray name = oldName, comment = oldComment;
    ask(QStringLiteral("修改事件名:"), oldName, true, name);
    ask(QStringLiteral("修改事件注释:"), oldComment, false, comment);
    Events.EventNames[n] = name;
    Events.EventComments[n] = comment;
    if (!SaveEventTable(-1)) {
        Events.EventNames[n] = oldName;
        Events.EventComments[n] = oldComment;
        return;
    }
    // The row keeps its place until the next load.
    row->setText(fr::gbk::decode(name));
    row->setData(Qt::UserRole, name);
}

void ScriptEditor::EventTable_KeyDown(int keyCode)
{
    if (keyCode != 46)
        return;
    QListWidgetItem* row = EventTable->currentItem();
    if (!row || !row->isSelected())
        return;
    if (fr::msgBox(QStringLiteral("确认删除此事件:") + row->text(), fr::vbOKCancel) != fr::vbOK)
        return;
    const int n = eventEntry(row);
    if (n >= 0 && !SaveEventTable(n))
        return;
    delete EventTable->takeItem(EventTable->row(row));
    // The list would select the next row by itself: a second Delete would
    // then ask about an event nobody chose.
    EventTable->restoreRow(-1);
    Events.remove(n);
    // The caption keeps the old count until the next addition or load.
}

void ScriptEditor::EventTable_MouseDown(int button)
{
    if (button == 1) {
        Label3->setText(QStringLiteral("选中了一个事件，双击修改事件"));
        QListWidgetItem* row = EventTable->currentItem();
        const int n = row && row->isSelected() ? eventEntry(row) : -1;
        if (n >= 0)
            Label2->setText(fr::gbk::decode(Events.EventComments[n]));
        return;
    }
    if (button != 2)
        return;
    if (Events.EventCount >= tilesmith::EventTable::Slots) {
        fr::msgBox(QStringLiteral("事件表已有 %1 条事件，不能再添加。").arg(tilesmith::EventTable::Slots));
        return;
    }
    if (!eventTableWritable() || !Events.addNew())
        return;
    if (!SaveEventTable(-1)) {
        Events.remove(Events.EventCount - 1);
        return;
    }
    addEventRow(Events.EventNames[Events.EventCount - 1]);
    setEventCaption();
}

} // namespace tilesmith
