#include "line_label.h"

#include <QGuiApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QTextLayout>
#include <QToolTip>

namespace fr {

namespace {

QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text;
}

// `text` broken into lines no wider than `width` pixels in `font` (inside a
// word where a word is wider), at most `maxLines` of them: a tooltip made of
// it fits on the screen, however long the text.
QString wrapped(const QString& text, const QFont& font, int width, int maxLines)
{
    QStringList lines;
    for (const QString& paragraph : QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines << paragraph.mid(line.textStart(), line.textLength());
        }
        layout.endLayout();
        if (paragraph.isEmpty())
            lines << QString();
    }
    if (lines.size() > maxLines) {
        lines = lines.mid(0, maxLines);
        lines.back() += QStringLiteral("…");
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

LineLabel::LineLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    // However wide the text, the layout gives the label the width there is.
    QSizePolicy policy = sizePolicy();
    policy.setHorizontalPolicy(QSizePolicy::Ignored);
    setSizePolicy(policy);
}

int LineLabel::lineHeight() const
{
    // As high as a plain label with the text in one line (the fonts that
    // hold its characters set the height).
    return fontMetrics().boundingRect(QRect(0, 0, QWIDGETSIZE_MAX, 2000), Qt::AlignLeft, oneLine(text())).height();
}

QSize LineLabel::sizeHint() const
{
    return {QLabel::sizeHint().width(), minimumSizeHint().height()};
}

QSize LineLabel::minimumSizeHint() const
{
    const QMargins m = contentsMargins();
    return {0, lineHeight() + 2 * margin() + m.top() + m.bottom()};
}

QRect LineLabel::textRect() const
{
    return contentsRect().adjusted(margin(), margin(), -margin(), -margin());
}

QString LineLabel::shownText() const
{
    const QString line = oneLine(text());
    const int room = textRect().width();
    if (fontMetrics().horizontalAdvance(line) <= room)
        return line;
    return fontMetrics().elidedText(line, Qt::ElideMiddle, room);
}

void LineLabel::paintEvent(QPaintEvent* e)
{
    const QString shown = shownText();
    if (shown == text()) {
        QLabel::paintEvent(e);
        return;
    }
    QPainter p(this);
    drawFrame(&p);
    style()->drawItemText(&p, textRect(), QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                          isEnabled(), shown, foregroundRole());
}

bool LineLabel::event(QEvent* e)
{
    if (e->type() != QEvent::ToolTip || !toolTip().isEmpty())
        return QLabel::event(e);
    auto* help = static_cast<QHelpEvent*>(e);
    if (oneLine(text()) == shownText()) {
        QToolTip::hideText();
        e->ignore();
        return true;
    }
    const QScreen* screen = QGuiApplication::screenAt(help->globalPos());
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 640, 480);
    const QFontMetrics tip(QToolTip::font());
    QToolTip::showText(help->globalPos(),
                       wrapped(text(), QToolTip::font(), area.width() / 2, std::max(1, area.height() / 2 / tip.height())),
                       this, rect());
    return true;
}

} // namespace fr
