#pragma once
// What the world asks of the interpreter and the UI frames above it, one
// interface per need; the program installs them (see core/upcalls.h).
#include <cstdint>
#include <string>

#include "core/upcalls.h"

// A step onto a tile's event, a talk with an NPC or a touch of a monster
// opens that script.
class ScriptOpener {
public:
    virtual void OpenScript(const std::string& name) = 0;

protected:
    ~ScriptOpener() = default;
};

// What the world may ask of the interpreter: whether a script runs (the role
// turns toward the cursor only while none does), and which script file is
// read (reports on its records name it).
class ScriptWatch {
public:
    virtual bool ScriptRunning() = 0;
    virtual std::string ScriptName() = 0;

protected:
    ~ScriptWatch() = default;
};

// What the world tells the scripts as it happens.
class ActorNotices {
public:
    // An NPC or monster reached the end of its path: its local
    // "<name>_astar" becomes 1.
    virtual void PathEnded(const std::string& actorName) = 0;
    // A monster's hit points ran out: its static "<name>_dead" becomes 1.
    virtual void MonsterDied(const std::string& monsterName) = 0;
    // The role fell: the clock scripts stop.
    virtual void RoleDied() = 0;

protected:
    ~ActorNotices() = default;
};

// The UI frames the role and the monsters fill in: the level-up and death
// frames, the status panel's texts and bars, the state screen's items.
class StatusFrames {
public:
    virtual void OpenFrame(const std::string& frameName) = 0;
    // The name of the top frame; empty when none is open.
    virtual std::string TopFrame() = 0;
    virtual void SetText(const std::string& name, const std::string& text) = 0;
    // An image's loaded width (`which` 0) or height (1).
    virtual int32_t ImageBaseSize(const std::string& name, int32_t which) = 0;
    virtual void SetImageSize(const std::string& name, int32_t width, int32_t height) = 0;
    // Shows the top frame's first image of that name.
    virtual void ShowTopImage(const std::string& name) = 0;
    // The same three on the topmost frame named `frame`, also when other
    // frames lie over it; nothing (a base size of 0) when none is open.
    virtual void SetTextIn(const std::string& frame, const std::string& name, const std::string& text) = 0;
    virtual int32_t ImageBaseSizeIn(const std::string& frame, const std::string& name, int32_t which) = 0;
    virtual void SetImageSizeIn(const std::string& frame, const std::string& name, int32_t width, int32_t height) = 0;

protected:
    ~StatusFrames() = default;
};
