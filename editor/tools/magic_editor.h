#pragma once
// The magic kind editor: the game's magic list as a table of kinds shown in
// a list and a panel of boxes, where kinds are stored, added and deleted and
// whence the table is written back as the list's statements into the script
// editor's text; with each kind's picture (a sprite sheet chosen in the
// picture window), the animated preview of its frames, its effective area
// and its sound.
#include "magic_rec.h"
#include "tool_forms.h"

#include "platform/dialogs.h"
#include "platform/picbox.h"
#include "platform/timer.h"

#include <QMainWindow>

class QComboBox;
class QGroupBox;
class QScrollBar;

namespace tilesmith {

class MagicEditor : public fr::FormWindow<QMainWindow> {
public:
    MagicEditor(Module1& m, ToolFormsImpl& tools);
    ~MagicEditor() override;

    void formLoad() override;
    void formUnload() override;

    // Record `index` (0..50) to the values of a free record.
    void InitStruct(int index);
    // Copies the panel into record `index` (0..50). Every box is checked
    // first: a number box must hold a number within 16 bits (or True/False),
    // a name no comma, line break or leading double quote. A refusal names
    // the boxes' labels, and nothing changes then (false).
    bool SaveStructToBox(int index);

    void List1_Click(int row);
    void Command1_Click(); // "保存数据": store the panel into the selected kind
    void Command4_Click(); // "添加数据": the panel as a new last kind
    void Command5_Click(); // "删除数据": delete the selected kind, after asking
    void Command7_Click(); // "加入到脚本": the table into the script text
    void Command8_Click(); // "返回"
    void Menu_Exit_Click(); // "退出编辑器": unloads the editor
    void Timer2_Timer();    // the status line

    // ---- The kind's picture, its preview and its sound --------------------
    // Loads the picture `name` (no folder, no extension) from the game's
    // resource/bmp folder into the picture window and stops the animation.
    // A file that is missing, no BMP, damaged or too large leaves the
    // current picture, its name, sizes and scroll range as they were, with
    // a message (false).
    bool OpenMagicPicture(const QString& name);
    void Command6_Click(); // "打开图片"
    void Command3_Click(); // "重选区域"
    void Command2_Click(); // "播放动画" / "停止播放"
    void AnimiMagicPicture_Click();
    void Timer1_Timer(); // one animation step
    void SinglePicture_MouseDown(int button, int shift, int x, int y);
    void SinglePicture_MouseMove(int button, int shift, int x, int y);
    void SinglePicture_MouseUp(int button, int shift, int x, int y);
    void Command9_Click();  // "选择": the sound
    void Command10_Click(); // "播放": the sound
    // The preview from the panel's frame size: the sheet's first frame in
    // SinglePicture, both preview boxes sized and enabled.
    void SetUpPreview();

    // ---- Controls -----------------------------------------------------------
    QGroupBox* Frame2 = nullptr; // "魔法列表"
    ListBox* List1 = nullptr;
    QLabel* Label15 = nullptr;
    QLabel* Label16 = nullptr;
    QGroupBox* Frame1 = nullptr; // "魔法结构"
    QLabel* MagicFileNameBox = nullptr;
    QLineEdit *MagicIDBox = nullptr, *MagicNameBox = nullptr, *MagicSmallWidthBox = nullptr,
              *MagicSmallHeightBox = nullptr, *MagicLargeWidthBox = nullptr, *MagicLargeHeightBox = nullptr,
              *MagicRowCountsBox = nullptr, *MagicColCountsBox = nullptr, *MagicDelayBox = nullptr,
              *MagicWaveNameBox = nullptr, *MagicTimeIntervalBox = nullptr, *MagicInitSpeedBox = nullptr,
              *MagicAccelerationBox = nullptr, *MagicOnceCountsBox = nullptr, *MagicTimeLifeBox = nullptr,
              *MagicAttackBox = nullptr, *MagicAddAttackBox = nullptr, *MagicAddDefendBox = nullptr,
              *MagicAddHpBox = nullptr, *MagicAddMpBox = nullptr, *MagicAttributeBox = nullptr,
              *MagicELeftBox = nullptr, *MagicETopBox = nullptr, *MagicERightBox = nullptr,
              *MagicEBottomBox = nullptr, *MagicAutoAimBox = nullptr, *MagicCrossObstacleBox = nullptr,
              *MagicCircleRadiusBox = nullptr, *MagicCircleCountsBox = nullptr, *MagicOneCycleBox = nullptr,
              *MagicCostMpBox = nullptr;
    QComboBox* MagicAnimiTypeBox = nullptr;
    QLabel* Label11 = nullptr; // "当前编辑魔法:"
    QLabel* Label12 = nullptr; // CurMagic
    QPushButton *Command1 = nullptr, *Command4 = nullptr, *Command5 = nullptr, *Command7 = nullptr,
                *Command8 = nullptr;
    QPushButton *Command6 = nullptr, *Command3 = nullptr, *Command2 = nullptr, *Command9 = nullptr,
                *Command10 = nullptr;
    QLabel* InfoLabel = nullptr;
    fr::PicBox* SinglePicture = nullptr;
    fr::PicBox* AnimiMagicPicture = nullptr;
    QLabel* Label10 = nullptr; // the frame the animation shows
    QAction* Menu_Exit = nullptr;
    fr::Timer Timer1; // the animation
    fr::Timer Timer2; // the status line, every 10 ms
    fr::CommonDialogState Dialog1;

    // ---- Form variables -----------------------------------------------------
    // The frame the animation showed last.
    double AnimiCol = 0;
    int16_t AnimiRow = 0;
    // The effective area inside SinglePicture, and the line drawn while it
    // is marked.
    QRect Shape1;
    bool Shape1Visible = false;
    struct Line {
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        bool visible = false;
    } Line11;

private:
    struct Box;
    static const Box Boxes[];
    // The panel as a record; false (message shown) when a box can't be
    // stored.
    bool panelToRecord(MagicRec& out);
    void recordToPanel(const MagicRec& r);
    QString gameFolder() const;
    QString listPath() const;
    void showCount();
    void drawFrame(fr::PicBox* box, int sx, int sy, int w, int h);
    void buildControls();

    Module1& M;
    ToolFormsImpl& tools_;
};

// The picture window: the sheet of the kind's picture, scrolled in a
// viewport, where one frame is selected by dragging a rectangle; the
// counts snap to whole frames.
class MagicPictureForm : public fr::FormWindow<QWidget> {
public:
    MagicPictureForm(Module1& m, ToolFormsImpl& tools);

    void formLoad() override;
    void formResize() override;
    void formUnload() override;

    void HScroll1_Change();
    void VScroll1_Change();
    void Picture1_MouseDown(int button, int shift, int x, int y);
    void Picture1_MouseMove(int button, int shift, int x, int y);
    void Picture1_MouseUp(int button, int shift, int x, int y);
    // Scroll maxima: how far the sheet reaches beyond the viewport.
    void setScrollMaxima();

    QWidget* PictureFrame = nullptr;
    fr::PicBox* Picture1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QScrollBar* VScroll1 = nullptr;
    // The frame selection, in pixels of the sheet.
    QRect Shape1;

private:
    QString sizeCaption() const;
    Module1& M;
    ToolFormsImpl& tools_;
};

} // namespace tilesmith
