#pragma once
// A label that stays one line high and never widens its window, whatever
// text it is given: a text wider than the label is cut in the middle with
// "…" (line breaks show as blanks), and a pointer resting on the label then
// shows the whole text in a tooltip. text() is always the whole text. A text
// that fits is drawn exactly as a plain label draws it.
#include <QLabel>

namespace fr {

class LineLabel : public QLabel {
public:
    explicit LineLabel(const QString& text = {}, QWidget* parent = nullptr);

    // What the label shows of its text at its present width.
    QString shownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;
    bool event(QEvent* e) override;

private:
    QRect textRect() const;
    int lineHeight() const;
};

} // namespace fr
