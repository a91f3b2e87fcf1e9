#pragma once
// Main: the map window. It holds one off-screen picture per layer, the
// composite picture of the whole map inside the viewport with its two scroll
// bars, the tile-information panel with the status line, the caption line
// and the menus.
#include "map_file.h"
#include "module1.h"
#include "module2.h"
#include "services.h"

#include "platform/dialogs.h"
#include "platform/form.h"
#include "platform/keys.h"
#include "platform/picbox.h"
#include "platform/picture.h"
#include "platform/timer.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QScrollBar;

namespace tilesmith {

class HelpForm;
class PicResource;
class Size;
class WholeMapPic;

// Editor layers 1..9 and their off-screen pictures.
inline constexpr int LayerPictures = 9;
// Sources of the layer pictures' draws after the five sheets: the obstacle
// marker and the event marker.
inline constexpr uint8_t ObstacleSource = 5;
inline constexpr uint8_t EventSource = 6;

// Caption texts of layer n (1..9): the long edit text ("编辑地面层1") that the
// F-keys and the views set, the short one of the layer menus ("地面层1"), and
// the view text ("显示地面层1").
QString EditLayerText(int n);
QString LayerMenuText(int n);
QString ViewLayerText(int n);

class Main : public fr::FormWindow<QMainWindow> {
public:
    Main(Module1& data, Module2& procs, ToolForms* tools, std::function<void()> showSplash = {});
    ~Main() override;

    // Form events.
    void formLoad() override;
    void formResize() override;
    void formQueryUnload(bool& cancel) override;
    void formUnload() override;
    bool formKeyDown(int keyCode, int shift) override;

    // ---- Controls --------------------------------------------------------
    QWidget* Picture2 = nullptr;   // the viewport
    fr::PicBox* Picture1 = nullptr; // the composite of the whole map
    fr::PicBox* MainPic = nullptr;  // the cursor box
    fr::PicBox* MainPic_ = nullptr; // kept single-tile cursor image (hidden)
    QFrame* Line1 = nullptr;        // rubber band of a region selection
    QFrame* Line2 = nullptr;
    QFrame* Line3 = nullptr;
    QFrame* Line4 = nullptr;

    fr::PicImage Ground_Lay;
    fr::PicImage Object2_Lay;
    fr::PicImage Object3_Lay;
    fr::PicImage Object4_Lay;
    fr::PicImage Object5_Lay;
    fr::PicImage Object6_Lay;
    fr::PicImage Sky_Lay;
    fr::PicImage Incident_Lay;
    fr::PicImage Npc_Lay;
    // Layer n (1..9) picture.
    fr::PicImage& LayPicture(int layer);
    // What layer n's picture draws from: the sheets and the two markers as
    // they are now, and the cells of the document.
    std::shared_ptr<const fr::PicRecipe> NewLayerRecipe(int layer) const;
    // Gives layer n's picture a source to draw from (`index` gets its
    // number), keeping those its draws use: the same picture kept already,
    // the place of one no draw uses, or one more; false when it has room
    // for no more.
    bool AddLayerSource(int layer, const QImage& source, uint8_t& index);

    // Sheets: map1, map2, map3, the NPC sheet, the monster sheet.
    std::array<fr::PicImage, 5> ReTempPic;

    fr::PicImage ObstaclePic;
    fr::PicImage IncidentPic;
    fr::PicImage KillIncidentPic;
    fr::PicImage EraImage;
    fr::PicImage EraPic;
    fr::PicImage PictureRole;

    QFrame* InfoFrame = nullptr;
    QLabel* TF_index = nullptr;
    QLabel* TF_rX = nullptr;
    QLabel* TF_rY = nullptr;
    QLabel* TF_ResID = nullptr;
    QLabel* TF_mX = nullptr;
    QLabel* TF_mY = nullptr;
    QLabel* TF_obstacle = nullptr;
    QLabel* TF_incident = nullptr;
    QLabel* TF_lay = nullptr;
    QLabel* TF_anpc = nullptr;
    QLabel* TF_monster = nullptr;
    QLabel* TF_mapdir = nullptr;
    QLabel* TF_mapsize = nullptr;
    QLabel* TF_largemode = nullptr;
    QLabel* TF_takeoutmode = nullptr;
    QLabel* TF_takeoutinfo = nullptr;
    QLabel* TF_takeoutsrclay = nullptr;
    QLabel* TF_takeoutsrc_rename = nullptr;
    QLabel* TF_takeoutsrc_rX = nullptr;
    QLabel* TF_takeoutsrc_rY = nullptr;
    fr::PicBox* TF_repic = nullptr;
    QLabel* TF_maininfo = nullptr; // the status line

    QScrollBar* HScroll1 = nullptr;
    QScrollBar* VScroll1 = nullptr;
    fr::Timer Timer1;
    fr::Timer Timer2;
    fr::CommonDialogState Dialog1;

    // ---- Menus -----------------------------------------------------------
    QMenu* Menu_File = nullptr;
    QMenu* Menu_LayEdit = nullptr;
    QMenu* Menu_LayWatch = nullptr;
    QMenu* Menu_SetParameter = nullptr;
    QMenu* Menu_Resource = nullptr;
    QMenu* Menu_Eraser = nullptr;
    QAction* Menu_FillAll = nullptr;
    QAction* Menu_SetObstacle = nullptr;
    QAction* Menu_Spinner = nullptr;
    QAction* Menu_RefreshAll = nullptr;
    QAction* Menu_SetIncident = nullptr;
    QMenu* Menu_About = nullptr;
    // Any menu item by its name ("Menu_OpenMap" ...).
    QAction* MenuItem(const QString& name) const;

    // ---- Form variables --------------------------------------------------
    int16_t MapSaved = 0;  // -1: saved since the last open, clear or edit
    // The map holds edits no save has written: set by every edit and by
    // clearing; opening a map, creating one and saving drop it.
    bool MapEdited = false;
    int16_t SoloView = 0;  // -1: one layer shown alone
    std::array<int16_t, LayerPictures> LayerSoloFlags{}; // [n-1]: layer n shown alone
    int16_t EventLayerHidden = 0; // the composite leaves the event layer out
    // The canvas's tool state (what the canvas keeps between its commands).
    int16_t EraserSize = 32;
    int16_t EraserOn = 0;
    int16_t ObstacleOn = 0;
    int16_t ObstacleActive = 0;
    int16_t ResumeObstacle = 0;
    int16_t ResumeEraser = 0;
    int16_t SavedEditLay = 0;
    QString SavedEditLayText;
    int16_t TakeOutSrcLay = 0;
    int16_t TakeOutStartX = 0;
    fr::NumOrText TakeOutStartY;
    int16_t Dragging = 0;
    bool BoxMoved = false;

    // ---- Forms opened from Main --------------------------------------------
    fr::FormRef<Size> SizeForm;
    fr::FormRef<PicResource> PicResourceForm;
    fr::FormRef<WholeMapPic> WholeMapPicForm;
    fr::FormRef<HelpForm> HelpFormRef;

    // ---- Event procedures ------------------------------------------------
    void HScroll1_Change();
    void VScroll1_Change();
    void Timer1_Timer();
    void Timer2_Timer();
    void InfoFrame_MouseMove();
    void Menu_NewMap_Click();
    void Menu_OpenMap_Click();
    void Menu_OpenRecentMap_Click();
    void Menu_SaveMap_Click();
    void Menu_SaveAsAnotherMap_Click();
    void Menu_ClearScreen_Click();
    void Menu_Exit_Click();
    void Menu_GroundLay_Click();
    void Menu_ObjectLay2_Click();
    void Menu_ObjectLay3_Click();
    void Menu_ObjectLay4_Click();
    void Menu_ObjectLay5_Click();
    void Menu_ObjectLay6_Click();
    void Menu_SkyLay_Click();
    void Menu_IncidentLay_Click();
    void Menu_NpcLay_Click();
    void Menu_SeeGround1_Click();
    void Menu_SeeObject2_Click();
    void Menu_SeeObject3_Click();
    void Menu_SeeObject4_Click();
    void Menu_SeeObject5_Click();
    void Menu_SeeObject6_Click();
    void Menu_SeeSky7_Click();
    void Menu_SeeIncident8_Click();
    void Menu_SeeNpc9_Click();
    void Menu_HideIncidentLay_Click();
    void Menu_WholeMap_Click();
    void Menu_RefreshAll_Click();
    void Menu_TileInfoFrameSwitch_Click();
    void Menu_SetScreenSize_Click();
    void Menu_Resource_r1_Click();
    void Menu_Resource_r2_Click();
    void Menu_Resource_r3_Click();
    void Menu_SetIncident_Click();
    void Menu_Help_Click();
    void Menu_Logo_Click();

    // ---- Services to the canvas ---------------------------------------------
    // The canvas that the tool keys, tool menus and the mouse on the map go to.
    void SetCanvas(CanvasServices* canvas) { canvas_ = canvas; }
    CanvasServices* Canvas() const { return canvas_; }
    // The map has changed since it was last saved: closing asks again.
    void markEdited()
    {
        MapSaved = 0;
        MapEdited = true;
    }
    // Before the open map is replaced: true when it holds unsaved edits and
    // the user, asked `question`, keeps it (the default answer); false when
    // it may go (no edits, or the answer Yes).
    bool KeepEditedMap(const QString& question);

    // ---- Shared by the commands ------------------------------------------
    // Clears Picture1 and lays the layer pictures over one another: all nine,
    // all but the events, or one layer alone.
    void FullComposite();
    void CompositeWithoutEvents();
    void SoloComposite(int layer);
    // Scroll maxima from the map size and the viewport.
    void SetScrollMaxima();
    // The nine edit menus.
    void SetEditMenusEnabled(bool on);
    bool EditMenusEnabled() const { return editMenusEnabled_; }
    // Reads, checks and draws a map file and makes it the document. On any
    // failure a message is shown and nothing at all changes.
    bool OpenMapFile(const QString& path);
    // Writes the document as a map file through a temporary file; on failure
    // a message says why, the old file stays whole and false is returned.
    bool WriteMapFile(const QString& path);
    // A map has been opened or created (its layers hold records).
    bool HasMap() const { return M.TileCount > 0; }
    void SetStatus(const QString& text);
    // The panel's map name and size, from MapPath and the map size. Written
    // at once by whatever changes them (open, new, save as, clear), and by
    // every refresh of the panel.
    void ShowMapInfo();
    // Where "另存地图" starts: beside the name last used in Dialog1, or else
    // in the game's map folder.
    QString SaveAsFolder() const;
    // Hides Main and shows the tile-sheet picker.
    void ShowPicker();
    // The cursor box shows the one-tile brush as its record holds it (the
    // tile at the brush's place on its sheet), so that what a click paints
    // is what the map file will hold: at start-up, after the screen is
    // cleared and when a placement's sprite leaves the box.
    void ShowBrushCursor();
    // Shows HelpForm (not modal).
    void ShowHelpForm();
    // The access code of the third sheet.
    static const QString SheetCode;

    Module1& M;
    Module2& P;

private:
    void buildControls();
    void buildInfoFrame();
    void buildMenus();
    void layOver(const std::array<int, LayerPictures>& order, int count);
    int scrollExtent() const;
    // The layer menus (short caption texts) and the view menus of layer n.
    void editLayer(int n);
    void seeLayer(int n);
    // A sheet menu: asks for the code of map3 first.
    void openSheet(const QString& name);
    // Scrolls a bar by `delta`, within its range, and applies it.
    void scrollBy(QScrollBar* bar, int delta);
    void connectMenus();

    ToolForms* tools_;
    std::function<void()> showSplash_;
    std::unique_ptr<fr::KeyPreview> keyPreview_;
    QWidget* central_ = nullptr;
    bool editMenusEnabled_ = false;
    CanvasServices* canvas_ = nullptr;
};

} // namespace tilesmith
