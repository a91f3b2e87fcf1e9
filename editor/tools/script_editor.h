#pragma once
// The script editor, the hub of the editor's script side: the scripts of the
// game's script folder, the event catalogue and the maps of its map folder on
// three tabs, the text of one script file with the commands that create,
// open, save, rename and delete script files and back up all scripts and
// maps, the event brush that the map canvas paints with, and the way to the
// NPC, monster, magic and role editors.
#include "event_table.h"

#include "platform/dialogs.h"
#include "platform/form.h"
#include "platform/line_label.h"

#include <QByteArray>
#include <QListWidget>
#include <QMainWindow>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class QAction;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTabBar;

namespace fr {
class KeyPreview;
}

namespace tilesmith {

class Main;
struct Module1;
class ToolFormsImpl;

// A list box as the script editor's lists need it: a click is a press and a
// release on the same row that are not part of a double click (a row chosen
// with the keyboard counts as a click too), so a double click runs the click
// handler once and then the double-click handler; a right press may leave
// the selection alone. Rows filled by the program never count as clicks,
// and taking the focus makes no row current by itself.
class ListBox : public QListWidget {
public:
    explicit ListBox(QWidget* parent = nullptr) : QListWidget(parent) {}
    std::function<void(int row)> onClick;
    // The user (a press, a drag or a key) made another row current.
    std::function<void(int row)> onUserRowChange;
    std::function<void(int row)> onDblClick;
    // Any press over the list, after the list has taken it (button 1 left,
    // 2 right, 4 middle).
    std::function<void(int button)> onPress;
    // Keys pressed while the list has the focus (Windows key codes).
    std::function<void(int keyCode)> onKey;
    // The right button neither selects nor moves the current row.
    bool rightKeepsSelection = false;
    // The row current before the last press or key, -1 for none.
    int rowBeforeInput() const { return rowBeforeInput_; }
    // Makes `row` current and selected again (none for -1) without
    // counting as the user's choice.
    void restoreRow(int row);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;

private:
    // Runs the list's own handling of a user's input and reports a change
    // of the current row it made.
    template <class F> void userInput(F&& base);
    int rowBeforeInput_ = -1;
    int pressedRow_ = -1;
    bool inDoubleClick_ = false;
};

class ScriptEditor : public fr::FormWindow<QMainWindow> {
public:
    // `showMain` brings Main up again; `main` gives Main (for the cursor
    // box the event brush sets).
    ScriptEditor(Module1& m, ToolFormsImpl& tools, std::function<void()> showMain, std::function<Main&()> main);
    ~ScriptEditor() override;

    void formLoad() override;
    void formQueryUnload(bool& cancel) override;
    bool formKeyDown(int keyCode, int shift) override;

    // ---- The text -----------------------------------------------------------
    // The script text, held as the GBK bytes of the file it goes to, every
    // line ended by CR LF. False when a character has no GBK form.
    bool scriptText(QByteArray& out) const;
    // Replaces the text (tools write their statements this way); the text
    // then counts as unsaved.
    void setScriptText(const QByteArray& gbk);
    // Loads a file into the text, each line followed by CR LF. False (with a
    // message, the text unchanged) when the file cannot be read or is too
    // large; a file with LF line ends only, or with bytes that are not GBK,
    // is loaded with a message.
    bool loadScript(const QString& path);

    // ---- Commands -----------------------------------------------------------
    // Save: writes the text and a line end to CurScriptPath. Refused while
    // the current file is a map; with no current file the save dialog
    // chooses one (and it becomes current). False when nothing was written.
    bool Command2_Click();
    void Command4_Click();       // open
    void Menu_NewScript_Click(); // new
    // Save as: the text goes to a file chosen in the dialog; the current
    // file stays as it was. False when nothing was written.
    bool Menu_SaveAsAnotherScript_Click();
    void Command8_Click(); // rename the current file
    void Command5_Click(); // delete the current file
    void Menu_BackUpScript_Click();
    void Menu_BackUpMap_Click();
    void FileTable_Click();    // the selected script
    void FileTable_DblClick(); // the event brush
    void FileTable2_Click();   // the selected map: its name to the clipboard
    void FileTable2_DblClick(); // the selected map opened in a text editor
    void ReturnToMain();
    void ShowNpcEditor();
    void Menu_ScriptAddActiveNpc_Click();
    void Menu_ScriptAddActiveMonster_Click();
    void Menu_ScriptAddMagic_Click();
    void Menu_ScriptAddRole_Click();
    void Menu_ScriptHelp_Click();
    void Menu_Exit_Click();
    void TabStrip_Click(); // brings the selected tab's list to the front

    // ---- The event catalogue --------------------------------------------------
    void EventTable_DblClick();           // edit the selected event
    void EventTable_KeyDown(int keyCode); // Delete removes the selected event
    void EventTable_MouseDown(int button);
    // Rewrites "eventtable.txt" without entry `skip` (-1: none). Refused with
    // a message when the file was read only in part; false when not written.
    bool SaveEventTable(int skip);

    // Refills both file lists from their folders, keeping the selected rows.
    void refreshLists();
    QString scriptFolder() const { return scriptDir_; }
    QString mapFolder() const { return mapDir_; }
    // Menu items by their names ("Menu_NewScript" ...).
    QAction* MenuItem(const QString& name) const;

    // ---- Controls -----------------------------------------------------------
    QTabBar* TabStrip = nullptr;
    QStackedWidget* TabPages = nullptr;
    QGroupBox* ScriptFrame = nullptr;
    ListBox* FileTable = nullptr;
    QGroupBox* EventTableFrame = nullptr;
    ListBox* EventTable = nullptr;
    QGroupBox* MapFrame = nullptr;
    ListBox* FileTable2 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    fr::LineLabel* Label2 = nullptr;
    fr::LineLabel* Label3 = nullptr;
    QPushButton* Command2 = nullptr; // "保存事件(Ctrl+S)"
    QPushButton* Command3 = nullptr; // "新建脚本"
    QPushButton* Command4 = nullptr; // "打开脚本"
    QPushButton* Command1 = nullptr; // "另存脚本"
    QPushButton* Command6 = nullptr; // "返回"
    QPushButton* Command8 = nullptr; // "重命名脚本文件"
    QPushButton* Command5 = nullptr; // "删除脚本文件"
    fr::CommonDialogState Dialog1;

    // ---- Form variables -----------------------------------------------------
    // -1 while the text equals what was last loaded or saved; 0 after any
    // change of it.
    int16_t ScriptSaved = -1;
    // ".jsr" after a click in the script list, ".jmap" after one in the map
    // list; the rename keeps it.
    QString CurFileExt;
    // The current file: the shared one, which the map click names before it
    // deletes a placed NPC or monster and the magic editor tests.
    QString& CurScriptPath;
    // EventCount, EventNames, EventComments.
    tilesmith::EventTable Events;

private:
    enum class Answer { Proceed, ProceedAfterNo, Restart, Stop };
    // The question before open, new and a script-list click while the text
    // is unsaved. Yes saves first (Restart: run the command again; Stop: the
    // save did not happen, the command ends and the text stays).
    Answer saveQuestion();
    // The question before `command`: true when the command goes on now
    // (after Yes the command has been run again already).
    bool questionBefore(void (ScriptEditor::*command)());
    // The open or save dialog, starting in the script folder; "" when
    // cancelled.
    QString fileDialog(bool save, const QString& title, const QString& filter);
    bool writeTo(const QString& path);
    bool readScriptBytes(const QString& path, QByteArray& text);
    void readEventTable();
    QString eventTablePath() const;
    bool eventTableWritable();
    void addEventRow(const QByteArray& name);
    void setEventCaption();
    int eventEntry(const QListWidgetItem* row) const;
    // Copies every row of `list` into the backup folder `backup` of
    // `folder`; the outcome (or why not) in `report`.
    bool backUp(const QListWidget* list, const QString& folder, const QString& backup, const QString& done,
                QString& report);
    void buildMenus();
    void buildControls();

    Module1& M;
    ToolFormsImpl& tools_;
    std::function<void()> showMain_;
    std::function<Main&()> main_;
    std::unique_ptr<fr::KeyPreview> keyPreview_;
    QString scriptDir_;
    QString mapDir_;
};

} // namespace tilesmith
