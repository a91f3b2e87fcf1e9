#include "session.h"

#include "platform/app.h"

namespace tilesmith {

Session::Session(MainFactory makeMain)
    : data(std::make_unique<Module1>()),
      procs(*data),
      tools(*data, procs, [this] { main.get().hideAndShow(); }, [this]() -> Main& { return main.get(); }),
      canvas(*data, procs, tools, [this]() -> Main& { return main.get(); }),
      main([this, makeMain] {
          auto splash = [this] {
              boot.show();
              boot.raise();
              boot.activateWindow();
          };
          Main* m = makeMain ? makeMain(*data, procs, &tools, splash) : new Main(*data, procs, &tools, splash);
          m->SetCanvas(&canvas);
          return m;
      })
{
    procs.setTools(&tools);
    fr::guardPastes();
    boot.onLoad = [this] {
        // Without what the loader makes the editor cannot work, and with only
        // the splash up nobody could end it: a loader that fails ends it.
        bool finished = false;
        fr::guarded([&] {
            StartUp::run(boot, *data, procs, main);
            finished = true;
        });
        if (!finished)
            fr::endProgram(1);
    };
}

Session::~Session() = default;

void Session::start()
{
    boot.show();
}

} // namespace tilesmith
