#pragma once
// The script editor window: the text of one script file and the commands
// that load and save it.
#include "platform/form.h"

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tilesmith {

class ScriptEditor : public fr::FormWindow<QWidget> {
public:
    explicit ScriptEditor(std::function<void()> showMain);
    void formUnload() override;
    // Leaves the editor: hides it and shows Main again.
    void leave();

    // The script text, held as the GBK bytes of the file it goes to.
    // False when a character has no GBK form.
    bool scriptText(QByteArray& out) const;
    void setScriptText(const QByteArray& gbk);

    // Loads a script: each line followed by CR LF. False (with a message,
    // the text unchanged) when it cannot be read.
    bool loadScript(const QString& path);
    // Writes the text and one CR LF to the current file through a temporary
    // file; false (with a message, the old file whole) on failure.
    bool Command2_Click();
    // Writes the text to a file chosen in the save dialog.
    bool Menu_SaveAsAnotherScript_Click();

    QPushButton* ReturnButton = nullptr;
    QPushButton* Command2 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QLabel* Label2 = nullptr;
    // -1 while the text equals what was last loaded or saved.
    int16_t ScriptSaved = -1;
    QString CurScriptPath;

private:
    bool writeTo(const QString& path);
    std::function<void()> showMain_;
};

} // namespace tilesmith
