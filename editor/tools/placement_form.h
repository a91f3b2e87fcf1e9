#pragma once
// The NPC and monster placement forms: kinds cut from the sprite sheet, the
// map's instances with their start frame, effective rectangle and division
// line, placing an instance with the next map click, and writing all
// instances as statements into the script editor's text.
#include "tool_forms.h"

#include "platform/picbox.h"

#include <QLine>
#include <QRect>
#include <QTimer>

#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;

namespace tilesmith {

class Main;
class Module2;

struct PlacementKind {
    AttribKind kind;
    QByteArray kindWord;   // "npc" / "monster"
    int sheetIndex;        // in Main's ReTempPic
    int cellW, cellH;      // one frame
    int perRow;            // frames side by side in a band
    int bandW, bandH;      // one kind
    QString rowPrefix;     // List1 row of a new instance: prefix & key
    QString overLimit;     // the 51st instance
    QString selectedText;  // Label13: "已选中第 " n & this
    QString frameWord;     // the frames' captions: "NPC" / "Monster"
    bool pickOnClick;      // the start frame is picked by a click, not a press
    const char* addMenu;   // object names of the menu items
    const char* exitMenu;
};

class PlacementForm : public AttribForm {
public:
    PlacementForm(const QString& title, const PlacementKind& k, Module1& m, Module2& p,
                  std::function<Main&()> main, std::function<ScriptEditor&()> script);
    void formLoad() override;
    void formActivate() override;
    void formUnload() override;

    // The kinds (ImageCombo1), 0-based.
    void chooseKind(int i);
    void selectInstance(int row);
    void sheetMouseMove(int x, int y);
    // Takes the frame under the mouse as the start frame (a press on the NPC
    // band, a click on the monster band).
    void sheetPick();
    void initMouseDown(int button, int x, int y);
    void initMouseMove(int button, int x, int y);
    void initMouseUp(int button, int x, int y);
    void addInstance(); // Command1
    void deleteInstance(); // Command2
    void placeOnMap(); // Command4
    void insertStatements(); // Command5
    void returnToScript(); // Command7

    QComboBox* ImageCombo1 = nullptr;
    fr::PicBox* SonPicture = nullptr;
    fr::PicBox* InitPicture = nullptr;
    QListWidget* List1 = nullptr;
    QPushButton *Command1 = nullptr, *Command2 = nullptr, *Command4 = nullptr, *Command5 = nullptr,
                *Command7 = nullptr;
    QLabel *Label11 = nullptr, *Label12 = nullptr, *Label13 = nullptr;
    QGroupBox *Frame2 = nullptr, *Frame3 = nullptr;
    QTimer Timer1;

    int FrameX = 0;
    int FrameY = 0;
    int FrameIndex = 0;
    // Drawn over the start frame: the effective rectangle, the line drawn
    // while it is dragged, and the division line (hidden until first set).
    QRect Shape1;
    bool Shape1Visible = false;
    QLine Line11;
    bool Line11Visible = false;
    int Line10Y = -1;
    // The cell grid drawn over the band.
    std::vector<QLine> gridLines() const;
    int KindIndex = 0;  // NpcKind / MonsterKind
    QString KindKey;    // NpcKindKey / MonsterKindKey

private:
    int16_t& count();
    int16_t& cur();
    int16_t& attribCount();
    int16_t& placing();
    ValueTable& values();
    int sheetHeight() const;
    QPoint cellOrigin(int c) const;
    void showBand(int kind);
    void showCell(QPoint origin);
    void countLabel();

    PlacementKind k_;
    Module1& m_;
    Module2& p_;
    std::function<Main&()> main_;
    std::function<ScriptEditor&()> script_;
    bool pressedOnSheet_ = false;
};

} // namespace tilesmith
