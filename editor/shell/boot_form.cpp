#include "boot_form.h"

#include "embedded.h"

#include "platform/dialogs.h"
#include "platform/paths.h"

#include <QLabel>
#include <QPixmap>

namespace tilesmith {

BootBlog::BootBlog() : Timer1(this)
{
    setWindowTitle(QStringLiteral("tilesmith"));
    setFixedSize(389, 476);
    Picture = new QLabel(this);
    Picture->setPixmap(QPixmap::fromImage(embedded::splash()));
    Picture->setGeometry(1, 1, 387, 474);
    Label1 = new QLabel(QStringLiteral("Loading..."), this);
    Label1->setGeometry(20, 430, 349, 24);
    Label1->setStyleSheet(QStringLiteral("color: white;"));
    Timer1.setInterval(10);
    Timer1.onTimer = [this] {
        // The load runs once, even if it ends early.
        Timer1.setEnabled(false);
        if (onLoad)
            onLoad();
    };
    Timer1.setEnabled(true);
}

void BootBlog::formLostFocus()
{
    hide();
}

void BootBlog::formQueryUnload(bool& cancel)
{
    // The form stays loaded for the whole run; closing it only hides it.
    cancel = true;
    hide();
}

namespace StartUp {

void run(BootBlog& boot, Module1& m, Module2& procs, fr::FormRef<Main>& mainRef)
{
    m.AppDir = fr::appDir();
    Main& main = mainRef.get();

    struct Sheet {
        const char* file;
        QString caption;
    };
    const Sheet sheets[5] = {{"map1", QStringLiteral("正在加载 地图1")},
                             {"map2", QStringLiteral("正在加载 地图2")},
                             {"map3", QStringLiteral("正在加载 地图3")},
                             {"npc", QStringLiteral("正在加载 活动NPC")},
                             {"monster", QStringLiteral("正在加载 怪物")}};
    QStringList failures;
    for (int i = 0; i < 5; ++i) {
        boot.Label1->setText(sheets[i].caption);
        const QString game = GetParentPath(m.AppDir, 1);
        const QString path =
            fr::ci::resolve(game + QStringLiteral("resource/bmp/") + QLatin1String(sheets[i].file) + QStringLiteral(".bmp"));
        QImage img;
        QString error;
        if (!fr::loadPicture(path, img, error)) {
            failures << error;
            continue;
        }
        main.ReTempPic[i].setPicture(img);
    }
    if (!failures.isEmpty()) {
        // The editor cannot draw a map without its sheets.
        fr::msgBox(QStringLiteral("缺少图块表，编辑器无法启动：\r\n") + failures.join(QStringLiteral("\r\n")), fr::vbCritical);
        fr::endProgram(1);
        return;
    }
    for (fr::PicImage& sheet : main.ReTempPic)
        sheet.autoSize();
    // Before any pick the brush paints the tile it records.
    main.ShowBrushCursor();
    m.NpcSheetHeight = main.ReTempPic[3].height();
    m.MonsterSheetHeight = main.ReTempPic[4].height();
    procs.LoadRoleAttribList(QStringLiteral("roleattriblist.txt"));
    procs.LoadNpcAttribList(QStringLiteral("npcattriblist.txt"));
    procs.LoadMonsterAttribList(QStringLiteral("monsterattriblist.txt"));
    boot.Label1->setText(QStringLiteral("资源加载完毕！"));
    main.show();
    boot.Timer1.setEnabled(false);
    boot.Label1->hide();
    boot.hide();
}

} // namespace StartUp

} // namespace tilesmith
