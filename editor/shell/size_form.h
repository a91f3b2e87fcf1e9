#pragma once
// Size: the dialog in which a new map gets its width and height in tiles,
// with an estimate of the display memory it takes. The typed sizes stay in
// the dialog until "建立" creates the map; a cancel leaves the document as
// it was.
#include "platform/form.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace tilesmith {

class Main;

class Size : public fr::FormWindow<QWidget> {
public:
    explicit Size(Main& main);

    void formLoad() override;
    void formUnload() override;

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text2 = nullptr;
    QScrollBar* HScroll2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr; // the estimate in MB
    QLabel* Label5 = nullptr;
    QPushButton* Command1 = nullptr; // "建立"
    QPushButton* Command2 = nullptr; // "取消"

    // The sizes typed or scrolled to, not yet the document's.
    QString PendingWidth;
    QString PendingHeight;

    void Text1_Change();
    void Text2_Change();
    void HScroll1_Change();
    void HScroll2_Change();
    void Command1_Click();
    void Command2_Click();

    // Megabytes of 24-bit pixels for a map of w×h tiles, to the nearest whole
    // number (a half to even); "0" for sizes that are not valid.
    static QString Estimate(const QString& w, const QString& h);
    // Valid sizes: digits only, 1..1023 a side, at most 32767 cells.
    static bool ValidSize(const QString& w, const QString& h, int& width, int& height);

private:
    void showEstimate();
    Main& main_;
};

} // namespace tilesmith
