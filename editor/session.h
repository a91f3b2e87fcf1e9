#pragma once
// One run of the editor: the shared data and procedures, the tool forms,
// Main (created by the start-up loader) and the start-up form.
#include "canvas/canvas.h"
#include "shell/boot_form.h"
#include "shell/main_form.h"
#include "shell/module1.h"
#include "shell/module2.h"
#include "tools/tool_forms.h"

#include "platform/form.h"

#include <memory>

namespace tilesmith {

class Session {
public:
    // `makeMain` lets tests put a Main of their own in place.
    using MainFactory = std::function<Main*(Module1&, Module2&, ToolForms*, std::function<void()>)>;
    explicit Session(MainFactory makeMain = {});
    ~Session();

    // Shows the start-up form; its timer then runs the loader.
    void start();

    std::unique_ptr<Module1> data;
    Module2 procs;
    ToolFormsImpl tools;
    // The map canvas, given to Main when it is created.
    Canvas canvas;
    fr::FormRef<Main> main;
    BootBlog boot;
};

} // namespace tilesmith
