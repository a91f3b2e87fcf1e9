#pragma once
// Message boxes, input boxes and the open and save dialogs. The editor calls
// them through one replaceable object, so tests can answer them.
#include <QString>

namespace fr {

// Message box styles (added together) and results.
enum MsgStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbYesNo = 4,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton2 = 256,
};
enum MsgResult : int { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

// The settings a form keeps for its file dialog between uses. The filter is
// "description|pattern|description|pattern...".
struct CommonDialogState {
    QString initDir;
    QString filter;
    QString title;
    QString fileName;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // An empty title shows the program's name.
    virtual int msgBox(const QString& text, int style, const QString& title) = 0;
    // False when cancelled.
    virtual bool inputBox(const QString& prompt, const QString& title, const QString& proposed, QString& answer) = 0;
    // The chosen path, or "" when cancelled; a choice is kept in fileName.
    virtual QString openFile(CommonDialogState& state) = 0;
    virtual QString saveFile(CommonDialogState& state) = 0;
};

// The dialogs in use (Qt's own unless replaced).
Dialogs& dialogs();
// Replaces them; nullptr goes back to Qt's.
void setDialogs(Dialogs* d);

// A message box. Within one command (one run of an event handler) a plain
// OK-only text is shown once; repeats of it are answered vbOK silently.
int msgBox(const QString& text, int style = vbOKOnly, const QString& title = {});
// "" when cancelled.
QString inputBox(const QString& prompt, const QString& title = {}, const QString& proposed = {});

// "地图文件|*.jmap|所有文件|*.*" -> "地图文件 (*.jmap);;所有文件 (*)".
QString filterToQt(const QString& filter);

class QtDialogs : public Dialogs {
public:
    int msgBox(const QString& text, int style, const QString& title) override;
    bool inputBox(const QString& prompt, const QString& title, const QString& proposed, QString& answer) override;
    QString openFile(CommonDialogState& state) override;
    QString saveFile(CommonDialogState& state) override;
};

} // namespace fr
