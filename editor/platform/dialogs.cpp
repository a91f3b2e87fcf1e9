#include "dialogs.h"

#include "app.h"

#include <QApplication>
#include <QFontMetrics>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace fr {
namespace {

QtDialogs g_qt;
Dialogs* g_current = nullptr;

QString forDisplay(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

// A box as large as its text would run off the screen. A text of more
// lines than half the screen holds keeps its first ones, and a line longer
// than a wide box shows keeps its two ends; the box then has the whole text
// under its details, where it scrolls.
QString fittedText(const QString& text, bool& shortened)
{
    constexpr qsizetype MaxChars = 300;
    const int lineH = std::max(1, QFontMetrics(QApplication::font("QMessageBox")).lineSpacing());
    const qsizetype maxLines = std::max(8, screenSize().height() / 2 / lineH);
    QStringList lines = text.split(QLatin1Char('\n'));
    shortened = false;
    if (lines.size() > maxLines) {
        const qsizetype all = lines.size();
        lines = lines.mid(0, maxLines - 1);
        lines << QStringLiteral("……（共%1行，全文见详细信息）").arg(all);
        shortened = true;
    }
    for (QString& line : lines) {
        if (line.size() > MaxChars) {
            line = line.left(MaxChars / 2) + QStringLiteral("…") + line.right(MaxChars / 2);
            shortened = true;
        }
    }
    return lines.join(QLatin1Char('\n'));
}

QString displayTitle(const QString& title)
{
    return title.isEmpty() ? QApplication::applicationDisplayName() : title;
}

} // namespace

Dialogs& dialogs()
{
    return g_current ? *g_current : g_qt;
}

void setDialogs(Dialogs* d)
{
    g_current = d;
}

int msgBox(const QString& text, int style, const QString& title)
{
    const bool plain = (style & 7) == vbOKOnly;
    if (plain && !firstInCommand(text))
        return vbOK;
    return dialogs().msgBox(text, style, title);
}

QString inputBox(const QString& prompt, const QString& title, const QString& proposed)
{
    QString answer;
    if (!dialogs().inputBox(prompt, title, proposed, answer))
        return {};
    return answer;
}

QString filterToQt(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns)
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*");
        out << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(QLatin1Char(' ')));
    }
    return out.join(QLatin1String(";;"));
}

int QtDialogs::msgBox(const QString& text, int style, const QString& title)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(displayTitle(title));
    bool shortened = false;
    box.setText(fittedText(forDisplay(text), shortened));
    if (shortened)
        box.setDetailedText(forDisplay(text));
    switch (style & 0x70) {
    case vbCritical:
        box.setIcon(QMessageBox::Critical);
        break;
    case vbQuestion:
        box.setIcon(QMessageBox::Question);
        break;
    case vbExclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case vbInformation:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    if ((style & 7) == vbYesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton((style & vbDefaultButton2) ? QMessageBox::No : QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? vbYes : vbNo;
    }
    if ((style & 7) == vbOKCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton((style & vbDefaultButton2) ? QMessageBox::Cancel : QMessageBox::Ok);
        return box.exec() == QMessageBox::Ok ? vbOK : vbCancel;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return vbOK;
}

bool QtDialogs::inputBox(const QString& prompt, const QString& title, const QString& proposed, QString& answer)
{
    bool ok = false;
    answer = QInputDialog::getText(QApplication::activeWindow(), displayTitle(title), forDisplay(prompt),
                                   QLineEdit::Normal, proposed, &ok);
    if (!ok)
        answer.clear();
    return ok;
}

namespace {

// The suffix a save gives a name without one under the Qt filter `f`
// ("地图文件 (*.jmap)" -> "jmap"): only a filter of one plain "*.ext".
QString suffixOfFilter(const QString& f)
{
    const qsizetype open = f.lastIndexOf(QLatin1Char('('));
    const qsizetype close = f.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open)
        return {};
    const QString pattern = f.mid(open + 1, close - open - 1).trimmed();
    if (!pattern.startsWith(QLatin1String("*.")) || pattern.contains(QLatin1Char(' ')))
        return {};
    const QString ext = pattern.mid(2);
    for (const QChar c : ext)
        if (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('[') || c == QLatin1Char('.'))
            return {};
    return ext;
}

QString runFileDialog(CommonDialogState& state, QFileDialog::AcceptMode mode)
{
    QFileDialog dlg(QApplication::activeWindow(), displayTitle(state.title), state.initDir);
    // Qt's own dialog behaves the same on every desktop and under Xvfb.
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    dlg.setAcceptMode(mode);
    dlg.setFileMode(QFileDialog::AnyFile);
    if (mode == QFileDialog::AcceptSave)
        dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
    dlg.setNameFilter(filterToQt(state.filter));
    if (mode == QFileDialog::AcceptSave) {
        // A name typed without a suffix under a filter of one kind of file
        // gets that kind's suffix ("newsmall" under "*.jmap" is saved as
        // "newsmall.jmap", the name the game opens); under "*.*" and for a
        // name with a suffix of its own it stays as typed.
        dlg.setDefaultSuffix(suffixOfFilter(dlg.selectedNameFilter()));
        QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg,
                         [&dlg](const QString& f) { dlg.setDefaultSuffix(suffixOfFilter(f)); });
    }
    if (!state.fileName.isEmpty())
        dlg.selectFile(QFileInfo(state.fileName).fileName());
    if (dlg.exec() != QDialog::Accepted)
        return {};
    const QStringList files = dlg.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty())
        return {};
    state.fileName = files.first();
    return state.fileName;
}

} // namespace

QString QtDialogs::openFile(CommonDialogState& state)
{
    return runFileDialog(state, QFileDialog::AcceptOpen);
}

QString QtDialogs::saveFile(CommonDialogState& state)
{
    return runFileDialog(state, QFileDialog::AcceptSave);
}

} // namespace fr
