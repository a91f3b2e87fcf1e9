// The program's answers to what the lower floors ask of the floors above
// them: the window procedure, the interpreter and the UI frames.
#include "upcalls.h"

#include "globals.h"
#include "platform/winmsg.h"
#include "scene.h"
#include "winmain.h"
#include "world/upcalls.h"

namespace {

class WindowActivationImpl final : public WindowActivation {
public:
    void Activated(bool active) override
    {
        WindowProc(plat::WinMsg{plat::MsgType::Activate, active ? plat::WA_ACTIVE : plat::WA_INACTIVE});
    }
};

class DialogWatchImpl final : public DialogWatch {
public:
    bool FramePainted() override
    {
        g_Script.dialogOpening = 1;
        if (g_Script.dialogStarted != 0)
            return false;
        g_Script.dialogStarted = 1;
        return true;
    }
    void FrameOpening(bool opening) override { g_Script.dialogOpening = opening ? 1 : 0; }
};

class SceneComposerImpl final : public SceneComposer {
public:
    void PaintTitle() override { scene::PaintTitle(); }
    void PaintLayToBuffer() override { scene::PaintLayToBuffer(); }
    void PaintUIFrames() override { scene::PaintUIFrames(); }
};

class InputRoutesImpl final : public InputRoutes {
public:
    bool FramesHaveFocus() override { return g_Ui.g_UiFocus != 0; }
    void KeyToFrames(GameKey key) override { g_Ui.OnKey(key); }
    void MouseToFrames(MouseInfo info) override
    {
        g_Ui.OnMouseMove();
        g_Ui.OnMouseClick(info);
    }
    void KeyToPlay(GameKey key, bool openMenu) override
    {
        g_Role.CheatKey(key);
        if (openMenu)
            g_Ui.LoadFrame("mainmenu_frame");
        const MouseInfo none{0, 0, 'n'};
        g_Role.KeyMove(key);
        g_Control.ScriptKey(key, none);
        g_Role.SelectMagic(key);
        CastMagic(&g_Role, key, none);
    }
    void MouseToPlay(MouseInfo info) override
    {
        g_Role.MouseMove(info);
        g_Control.ScriptKey(gamekey::kNone, info);
        CastMagic(&g_Role, gamekey::kNone, info);
    }
    void DismissTalk() override
    {
        if (g_Script.running && g_Script.talkMinShown)
            g_Script.talkDismissed = 1;
    }
};

class ScriptOpenerImpl final : public ScriptOpener {
public:
    void OpenScript(const std::string& name) override { g_Script.OpenScript(name); }
};

class ScriptWatchImpl final : public ScriptWatch {
public:
    bool ScriptRunning() override { return g_Script.running != 0; }
    std::string ScriptName() override { return g_Script.scriptName; }
};

class ActorNoticesImpl final : public ActorNotices {
public:
    void PathEnded(const std::string& actorName) override { g_Script.SetLocalVar("int", actorName + "_astar", 1); }
    void MonsterDied(const std::string& monsterName) override
    {
        g_Script.SetStaticVar("int", monsterName + "_dead", 1);
    }
    void RoleDied() override { g_Script.Control("clock"); }
};

class StatusFramesImpl final : public StatusFrames {
public:
    void OpenFrame(const std::string& frameName) override { g_Ui.LoadFrame(frameName); }
    std::string TopFrame() override { return g_Ui.frames.empty() ? std::string() : g_Ui.frames.back().name; }
    void SetText(const std::string& name, const std::string& text) override { g_Ui.SetText(name, text); }
    int32_t ImageBaseSize(const std::string& name, int32_t which) override
    {
        return g_Ui.GetImageBaseSize(name, which);
    }
    void SetImageSize(const std::string& name, int32_t width, int32_t height) override
    {
        g_Ui.SetImageSize(name, width, height);
    }
    void SetTextIn(const std::string& frame, const std::string& name, const std::string& text) override
    {
        if (FRAMESTRUCT* f = g_Ui.FrameNamed(frame))
            ui::SetTextIn(*f, name, text);
    }
    int32_t ImageBaseSizeIn(const std::string& frame, const std::string& name, int32_t which) override
    {
        const FRAMESTRUCT* f = g_Ui.FrameNamed(frame);
        return f ? ui::GetImageBaseSizeIn(*f, name, which) : 0;
    }
    void SetImageSizeIn(const std::string& frame, const std::string& name, int32_t width, int32_t height) override
    {
        if (FRAMESTRUCT* f = g_Ui.FrameNamed(frame))
            ui::SetImageSizeIn(*f, name, width, height);
    }
    void ShowTopImage(const std::string& name) override
    {
        if (g_Ui.frames.empty())
            return;
        for (UIIMAGEBOX& img : g_Ui.frames.back().images)
            if (img.name == name) {
                img.visible = 1;
                return;
            }
    }
};

// Without state to tear down, so reports raised while the globals are
// destroyed may still call through them.
WindowActivationImpl g_windowActivation;
DialogWatchImpl g_dialogWatch;
SceneComposerImpl g_sceneComposer;
InputRoutesImpl g_inputRoutes;
ScriptOpenerImpl g_scriptOpener;
ScriptWatchImpl g_scriptWatch;
ActorNoticesImpl g_actorNotices;
StatusFramesImpl g_statusFrames;

} // namespace

void InstallUpcalls()
{
    Upcall<WindowActivation>::Install(&g_windowActivation);
    Upcall<DialogWatch>::Install(&g_dialogWatch);
    Upcall<SceneComposer>::Install(&g_sceneComposer);
    Upcall<InputRoutes>::Install(&g_inputRoutes);
    Upcall<ScriptOpener>::Install(&g_scriptOpener);
    Upcall<ScriptWatch>::Install(&g_scriptWatch);
    Upcall<ActorNotices>::Install(&g_actorNotices);
    Upcall<StatusFrames>::Install(&g_statusFrames);
}
