#pragma once
// A whole editor session on a fixture game folder, started the way the
// program starts (the loader run at once instead of from its timer).
#include "support.h"

#include "session.h"

#include "platform/app.h"
#include "platform/paths.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace tstest {

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fr::setAppDir(game.editorDir());
        fr::setScreenSizeForTest(QSize(1024, 768));
    }
    void TearDown() override { fr::setScreenSizeForTest(QSize()); }

    // Runs the start-up loader now.
    void start(tilesmith::Session::MainFactory factory = {})
    {
        session = std::make_unique<tilesmith::Session>(std::move(factory));
        session->boot.Timer1.setEnabled(false);
        session->start();
        tilesmith::StartUp::run(session->boot, *session->data, session->procs, session->main);
    }
    tilesmith::Main& main() { return session->main.get(); }
    tilesmith::Module1& M() { return *session->data; }

    // Writes a map file into the fixture's Map folder and returns its path.
    QString writeMap(const QString& name, const tilesmith::MapDocument& doc)
    {
        const QString path = game.path("Map/" + name);
        WriteBytes(path, tilesmith::SerializeMap(doc));
        return path;
    }
    // Opens a map file as both open commands do.
    void openMap(const QString& path)
    {
        ASSERT_TRUE(main().OpenMapFile(path)) << dialogs.messages.join("|").toStdString();
    }
    // A key pressed in Main, as the keyboard delivers it.
    void press(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QKeyEvent e(QEvent::KeyPress, key, mods);
        QApplication::sendEvent(main().centralWidget(), &e);
    }
    // Sizes Main so that the viewport is w×h pixels.
    void setViewport(int w, int h)
    {
        tilesmith::Main& m = main();
        m.show();
        const QSize frame = m.size() - m.centralWidget()->size();
        m.resize(w + m.VScroll1->width() + frame.width(), h + m.HScroll1->height() + frame.height());
        QTest::qWait(1);
        ASSERT_EQ(m.Picture2->size(), QSize(w, h));
    }

    GameFolder game;
    ScriptedDialogs dialogs;
    EndProgramProbe ends;
    std::unique_ptr<tilesmith::Session> session;
};

} // namespace tstest
