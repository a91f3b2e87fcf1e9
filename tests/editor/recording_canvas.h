#pragma once
// A stand-in canvas for tests of Main's routing: it takes every command and
// mouse event Main routes to it, records each call, and marks the map unsaved
// where the real command does (the eraser switches, the fill and every press
// on the cursor box).
#include "shell/services.h"

#include <QStringList>

#include <functional>

namespace tilesmith {

class RecordingCanvas : public CanvasServices {
public:
    explicit RecordingCanvas(std::function<void()> markEdited = {});

    void SwitchEraser() override;
    void Menu_FillAll_Click() override;
    void Menu_Spinner_Click() override;
    void Menu_SetObstacle_Click() override;
    void Menu_SelectSmallEraser_Click() override;
    void Menu_SelectMiddleEraser_Click() override;
    void Menu_SelectLargeEraser_Click() override;
    void Menu_IncidentEra_Click() override;
    void MainPic_MouseDown(int button, int shift, int x, int y) override;
    void MainPic_MouseMove(int button, int shift, int x, int y) override;
    void MainPic_MouseUp(int button, int shift, int x, int y) override;
    void Picture1_MouseDown(int button, int shift, int x, int y) override;
    void Picture1_MouseMove(int button, int shift, int x, int y) override;

    // Every call in order: the procedure's name, for mouse events followed by
    // "(button,shift,x,y)".
    QStringList calls;
    // How many calls of one procedure were recorded.
    int count(const QString& name) const;

private:
    void edited();
    static QString mouse(const char* name, int button, int shift, int x, int y);
    std::function<void()> markEdited_;
};

} // namespace tilesmith
