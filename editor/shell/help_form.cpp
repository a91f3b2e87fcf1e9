#include "help_form.h"

#include "embedded.h"

#include <QLabel>
#include <QPixmap>

namespace tilesmith {

HelpForm::HelpForm()
{
    setWindowTitle(QStringLiteral("帮助(未完成)"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(255, 255, 192));
    setPalette(pal);
    setAutoFillBackground(true);
    setFixedSize(122 + 24, 200 + 24);
    Picture1 = new QLabel(this);
    Picture1->setPixmap(QPixmap::fromImage(embedded::helpPicture()));
    Picture1->setGeometry(12, 12, 122, 200);
}

} // namespace tilesmith
