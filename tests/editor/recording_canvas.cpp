#include "recording_canvas.h"

namespace tilesmith {

RecordingCanvas::RecordingCanvas(std::function<void()> markEdited) : markEdited_(std::move(markEdited)) {}

void RecordingCanvas::edited()
{
    if (markEdited_)
        markEdited_();
}

QString RecordingCanvas::mouse(const char* name, int button, int shift, int x, int y)
{
    return QStringLiteral("%1(%2,%3,%4,%5)").arg(QLatin1String(name)).arg(button).arg(shift).arg(x).arg(y);
}

int RecordingCanvas::count(const QString& name) const
{
    int n = 0;
    for (const QString& c : calls)
        if (c == name || c.startsWith(name + QLatin1Char('(')))
            ++n;
    return n;
}

void RecordingCanvas::SwitchEraser()
{
    calls << QStringLiteral("SwitchEraser");
    edited();
}

void RecordingCanvas::Menu_FillAll_Click()
{
    calls << QStringLiteral("Menu_FillAll_Click");
    edited();
}

void RecordingCanvas::Menu_Spinner_Click()
{
    calls << QStringLiteral("Menu_Spinner_Click");
}

void RecordingCanvas::Menu_SetObstacle_Click()
{
    calls << QStringLiteral("Menu_SetObstacle_Click");
}

// The three sizes switch the eraser on through SwitchEraser.
void RecordingCanvas::Menu_SelectSmallEraser_Click()
{
    calls << QStringLiteral("Menu_SelectSmallEraser_Click");
    edited();
}

void RecordingCanvas::Menu_SelectMiddleEraser_Click()
{
    calls << QStringLiteral("Menu_SelectMiddleEraser_Click");
    edited();
}

void RecordingCanvas::Menu_SelectLargeEraser_Click()
{
    calls << QStringLiteral("Menu_SelectLargeEraser_Click");
    edited();
}

void RecordingCanvas::Menu_IncidentEra_Click()
{
    calls << QStringLiteral("Menu_IncidentEra_Click");
}

void RecordingCanvas::MainPic_MouseDown(int button, int shift, int x, int y)
{
    calls << mouse("MainPic_MouseDown", button, shift, x, y);
    edited();
}

void RecordingCanvas::MainPic_MouseMove(int button, int shift, int x, int y)
{
    calls << mouse("MainPic_MouseMove", button, shift, x, y);
}

void RecordingCanvas::MainPic_MouseUp(int button, int shift, int x, int y)
{
    calls << mouse("MainPic_MouseUp", button, shift, x, y);
}

void RecordingCanvas::Picture1_MouseDown(int button, int shift, int x, int y)
{
    calls << mouse("Picture1_MouseDown", button, shift, x, y);
}

void RecordingCanvas::Picture1_MouseMove(int button, int shift, int x, int y)
{
    calls << mouse("Picture1_MouseMove", button, shift, x, y);
}

} // namespace tilesmith
