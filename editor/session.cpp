#include "session.h"

namespace tilesmith {

Session::Session(MainFactory makeMain)
    : data(std::make_unique<Module1>()),
      procs(*data),
      tools(*data, [this] { main.get().hideAndShow(); }),
      main([this, makeMain] {
          auto splash = [this] {
              boot.show();
              boot.raise();
              boot.activateWindow();
          };
          return makeMain ? makeMain(*data, procs, &tools, splash) : new Main(*data, procs, &tools, splash);
      })
{
    procs.setTools(&tools);
    boot.onLoad = [this] { StartUp::run(boot, *data, procs, main); };
}

Session::~Session() = default;

void Session::start()
{
    boot.show();
}

} // namespace tilesmith
