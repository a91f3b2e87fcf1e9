#include "tool_forms.h"

#include "placement_form.h"

#include "platform/dialogs.h"
#include "shell/main_form.h"
#include "shell/module2.h"
#include "platform/gbk.h"
#include "platform/paths.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>

namespace tilesmith {

namespace {

// Rows of one height whatever script their text is in (Chinese glyphs come
// from a taller font than digits), so that a name and its value stand on
// one line in the two lists.
class EvenRows : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem sample = option;
        initStyleOption(&sample, index);
        sample.text = QStringLiteral("种Ag");
        const QWidget* w = option.widget;
        const QStyle* style = w ? w->style() : QApplication::style();
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(style->sizeFromContents(QStyle::CT_ItemViewItem, &sample, QSize(), w).height());
        return s;
    }
};

} // namespace

void EndPlacement(int16_t& placing, const std::function<Main&()>& main)
{
    const bool armed = placing == -1;
    placing = 0;
    if (armed && main)
        main().ShowBrushCursor();
}

AttribForm::AttribForm(const QString& title, const AttribArray& attribs, const int16_t& count)
    : attribs_(attribs), count_(count)
{
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose); // closing the window unloads the form
    resize(420, 520 + MenuH);
    MenuBar = new QMenuBar(this);
    MenuBar->setGeometry(0, 0, 420, MenuH);
    ListCaption = new ListBox(this);
    ListCaption->setObjectName(QStringLiteral("ListCaption"));
    ListCaption->setGeometry(10, 10 + MenuH, 190, 500);
    ListData = new ListBox(this);
    ListData->setObjectName(QStringLiteral("ListData"));
    ListData->setGeometry(210, 10 + MenuH, 200, 500);
    Frame1 = new QLabel(this);
    Frame1->setGeometry(10, MenuH, 190, 10);
    TextInput = new QLineEdit(this);
    TextInput->setObjectName(QStringLiteral("TextInput"));
    TextInput->hide();
    QObject::connect(ListCaption, &QListWidget::itemClicked, this,
                     fr::guard([this](QListWidgetItem* it) { listCaptionClick(ListCaption->row(it)); }));
    QObject::connect(ListData, &QListWidget::itemClicked, this,
                     fr::guard([this](QListWidgetItem* it) { listDataClick(ListData->row(it)); }));
    QObject::connect(ListCaption, &QListWidget::itemDoubleClicked, this,
                     fr::guard([this](QListWidgetItem*) { listCaptionDblClick(); }));
    for (ListBox* list : {ListCaption, ListData}) {
        list->setItemDelegate(new EvenRows(list));
        QObject::connect(list, &QListWidget::currentRowChanged, this, fr::guard([this](int row) { rowChosen(row); }));
        // A name and its value stand on one line: the lists scroll together.
        ListBox* other = list == ListCaption ? ListData : ListCaption;
        QObject::connect(list->verticalScrollBar(), &QScrollBar::valueChanged, other->verticalScrollBar(),
                         &QScrollBar::setValue);
    }
    ListCaption->installEventFilter(this);
    ListData->installEventFilter(this);
    ListData->viewport()->installEventFilter(this);
    QObject::connect(TextInput, &QLineEdit::returnPressed, this, fr::guard([this] { commitTextInput(); }));
}

void AttribForm::buildFileMenu(const char* addName, const QString& lockText, const char* exitName)
{
    QMenu* file = MenuBar->addMenu(QStringLiteral("文件"));
    file->setObjectName(QStringLiteral("Menu_File"));
    QAction* add = file->addAction(QStringLiteral("添加属性"));
    add->setObjectName(QString::fromLatin1(addName));
    QObject::connect(add, &QAction::triggered, this, fr::guard([this](bool) { addNewAttrib(); }));
    Menu_AttribOrderLock = file->addAction(lockText);
    Menu_AttribOrderLock->setObjectName(QStringLiteral("Menu_AttribOrderLock"));
    Menu_AttribOrderLock->setCheckable(true);
    Menu_AttribOrderLock->setChecked(true);
    QObject::connect(Menu_AttribOrderLock, &QAction::triggered, this,
                     fr::guard([this](bool) { toggleOrderLock(); }));
    QAction* exit = file->addAction(QStringLiteral("退出"));
    exit->setObjectName(QString::fromLatin1(exitName));
    QObject::connect(exit, &QAction::triggered, this, fr::guard([](bool) { fr::endProgram(0); }));
}

QAction* AttribForm::MenuItem(const QString& name) const { return findChild<QAction*>(name); }

bool AttribForm::eventFilter(QObject* o, QEvent* e)
{
    if (o == ListCaption && e->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(e);
        // The keys 1 and 2 of the main keyboard, not the keypad's.
        if ((k->key() == Qt::Key_1 || k->key() == Qt::Key_2) && !(k->modifiers() & Qt::KeypadModifier)) {
            fr::guarded([&] { moveAttribute(k->key() == Qt::Key_1 ? 49 : 50); });
            return true;
        }
    }
    if (o == ListData && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            fr::guarded([&] { openTextInput(); });
            return true;
        }
    }
    const bool mouse = e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick ||
                       e->type() == QEvent::MouseButtonRelease;
    if (o == ListData->viewport() && mouse && static_cast<QMouseEvent*>(e)->button() != Qt::LeftButton) {
        // Another button only hides the box: the list never sees the
        // press, so the row under the pointer is not selected.
        if (e->type() == QEvent::MouseButtonPress)
            fr::guarded([&] { openTextInput(2); });
        return true;
    }
    if (o == ListData->viewport() && e->type() == QEvent::MouseButtonPress) {
        const auto* me = static_cast<QMouseEvent*>(e);
        const QPoint pos = me->position().toPoint();
        // The press selects its row first, as the list does on a press.
        if (QListWidgetItem* it = ListData->itemAt(pos))
            ListData->setCurrentItem(it);
        fr::guarded([&] { openTextInput(1, pos.x(), pos.y()); });
        // The list's own handling of this press may take the focus back
        // from the box: give it back once the press is over.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (TextInput->isVisible()) {
                    TextInput->setFocus();
                    TextInput->selectAll();
                }
            },
            Qt::QueuedConnection);
    }
    return fr::FormWindow<QWidget>::eventFilter(o, e);
}

void AttribForm::rowChosen(int row)
{
    if (syncing_ || row < 0)
        return;
    syncing_ = true;
    for (ListBox* list : {ListCaption, ListData})
        if (row < list->count())
            list->setCurrentRow(row);
    syncing_ = false;
    if (b_.sel)
        *b_.sel = static_cast<int16_t>(row);
}

void AttribForm::listCaptionClick(int row)
{
    if (row < 0 || row >= ListData->count())
        return;
    rowChosen(row);
}

void AttribForm::listDataClick(int row) { listCaptionClick(row); }

void AttribForm::openTextInput(int button, int x, int y)
{
    if (button != 1) {
        TextInput->hide();
        return;
    }
    TextInput->setGeometry(ListData->x() + x, ListData->y() + y, std::max(80, ListData->width() - x), 22);
    QListWidgetItem* it = ListData->currentItem();
    TextInput->setText(it ? it->text() : QString());
    TextInput->show();
    TextInput->setFocus();
    TextInput->selectAll();
}

void AttribForm::commitTextInput()
{
    const int row = ListData->currentRow();
    TextInput->hide();
    ListData->setFocus();
    if (row < 0)
        return;
    const QString text = TextInput->text();
    QByteArray enc;
    // The value goes into list files and statements as one field.
    const QString why = TypedValueProblem(text, enc);
    if (!why.isEmpty()) {
        const QListWidgetItem* name = ListCaption->item(row);
        fr::msgBox(QStringLiteral("属性“%1”的值“%2”%3，没有改动。")
                       .arg(name ? name->text() : QString::number(row), text, why));
        return;
    }
    ListData->item(row)->setText(text);
    if (!b_.attribs)
        return;
    if (!b_.values) {
        // The role's values are the records' data fields.
        if (row < AttribSlots)
            (*b_.attribs)[row].data = enc;
        return;
    }
    if (b_.cur && *b_.cur >= 0 && *b_.cur < InstanceSlots && row < AttribSlots)
        (*b_.values)[*b_.cur][row] = enc;
}

void AttribForm::moveAttribute(int keyCode)
{
    if (OrderLocked != 0 || !b_.attribs || !b_.sel || !b_.count)
        return;
    const int s = *b_.sel;
    const int n = std::min<int>(*b_.count, AttribSlots);
    if (s < 0 || s > n - 1)
        return;
    int t;
    if (keyCode == 49 && s > 0)
        t = s - 1;
    else if (keyCode == 50 && s < n - 1)
        t = s + 1;
    else
        return;
    auto swapAll = [&] {
        if (b_.values && b_.instances)
            for (int i = 0; i < std::min<int>(*b_.instances, InstanceSlots); ++i)
                std::swap((*b_.values)[i][t], (*b_.values)[i][s]);
        std::swap((*b_.attribs)[t], (*b_.attribs)[s]);
    };
    swapAll();
    if (b_.save && !b_.save()) {
        swapAll(); // the file keeps the old order, and so does the form
        return;
    }
    for (int r : {s, t})
        if (r < ListCaption->count() && r < ListData->count()) {
            ListCaption->item(r)->setText(fr::gbk::decode((*b_.attribs)[r].name));
            ListData->item(r)->setText(fr::gbk::decode((*b_.attribs)[r].data));
        }
    // The highlight goes with the moved attribute, so the row shown
    // selected is the one the next key moves.
    rowChosen(t);
    *b_.sel = static_cast<int16_t>(t);
}

void AttribForm::toggleOrderLock()
{
    OrderLocked = OrderLocked ? 0 : -1;
    // The item's check mark shows the lock.
    if (Menu_AttribOrderLock)
        Menu_AttribOrderLock->setChecked(OrderLocked != 0);
}

void AttribForm::addNewAttrib()
{
    if (b_.openDialog)
        b_.openDialog(-1);
}

void AttribForm::listCaptionDblClick()
{
    if (b_.sel && ListCaption->currentRow() >= 0)
        *b_.sel = static_cast<int16_t>(ListCaption->currentRow());
    if (b_.openDialog)
        b_.openDialog(0);
}

void AttribForm::removeRow(int i)
{
    // The lists would make a neighbour of the removed row current, and an
    // open box would then commit the removed attribute's value into it:
    // after a removal no row is selected and the box is hidden.
    TextInput->hide();
    syncing_ = true;
    for (ListBox* list : {ListCaption, ListData}) {
        if (i >= 0 && i < list->count())
            delete list->takeItem(i);
        list->setCurrentRow(-1);
        list->clearSelection();
    }
    syncing_ = false;
    if (b_.sel)
        *b_.sel = -1;
}

void AttribForm::formLoad()
{
    ListCaption->clear();
    ListData->clear();
    // At most 50 rows, up to the first free record.
    const int n = std::clamp<int>(count_, 0, SearchedSlots);
    for (int i = 0; i < n && attribs_[i].index >= 0; ++i) {
        ListCaption->addItem(fr::gbk::decode(attribs_[i].name));
        ListData->addItem(fr::gbk::decode(attribs_[i].data));
    }
}

void AttribForm::setRow(int i, const QString& caption, const QString& data)
{
    if (i < 0)
        return;
    // Records added after the form was loaded have no rows yet.
    while (ListCaption->count() <= i)
        ListCaption->addItem(QString());
    while (ListData->count() <= i)
        ListData->addItem(QString());
    ListCaption->item(i)->setText(caption);
    ListData->item(i)->setText(data);
}

namespace {

const PlacementKind NpcKindDef{AttribKind::Npc,
                                "npc",
                                3,
                                32,
                                48,
                                8,
                                256,
                                96,
                                QStringLiteral("Npc"),
                                QStringLiteral("超过一张地图内最大npc数目！"),
                                QStringLiteral("个活动NPC"),
                                QStringLiteral("NPC"),
                                false,
                                "Menu_AddNewAttrib",
                                "Menu_exit"};
const PlacementKind MonsterKindDef{AttribKind::Monster,
                                    "monster",
                                    4,
                                    64,
                                    64,
                                    3,
                                    192,
                                    512,
                                    QStringLiteral("怪物"),
                                    QStringLiteral("超过一张地图内最大Monster数目！"),
                                    QStringLiteral("个活动Monster"),
                                    QStringLiteral("Monster"),
                                    true,
                                    "Menu_NewAtrribute",
                                    "Menu_Exit"};

} // namespace

ToolFormsImpl::ToolFormsImpl(Module1& m, Module2& p, std::function<void()> showMain, std::function<Main&()> main)
    : m_(m), ScriptEditorForm([this, &m, showMain, main] { return new ScriptEditor(m, *this, showMain, main); }),
      ActiveNpc([this, &m, &p, main] {
          auto* f = new PlacementForm(QStringLiteral("添加活动NPC(随机走动型)"), NpcKindDef, m, p, main,
                                      [this]() -> ScriptEditor& { return ScriptEditorForm.get(); });
          f->bind({AttribKind::Npc, &m.NpcAttribs, &m.NpcAttribCount, &m.NpcValues, &m.NpcCount, &m.CurNpc,
                   &m.NpcAttribSel, [&p] { return p.SaveNpcAttribList(); },
                   [this](int mode) { showAddNewAttribute(AttribKind::Npc, mode); }});
          return f;
      }),
      ActiveMonster([this, &m, &p, main] {
          auto* f = new PlacementForm(QStringLiteral("添加活动Monster(随机走动型)"), MonsterKindDef, m, p, main,
                                      [this]() -> ScriptEditor& { return ScriptEditorForm.get(); });
          f->bind({AttribKind::Monster, &m.MonsterAttribs, &m.MonsterAttribCount, &m.MonsterValues,
                   &m.MonsterCount, &m.CurMonster, &m.MonsterAttribSel,
                   [&p] { return p.SaveMonsterAttribList(); },
                   [this](int mode) { showAddNewAttribute(AttribKind::Monster, mode); }});
          return f;
      }),
      AddRole([this, &m, &p, main] {
          auto* f = new RoleForm(
              m, p, main, [this]() -> ScriptEditor& { return ScriptEditorForm.get(); },
              [this](QWidget* w) { afterToolClosed(w); });
          f->bind({AttribKind::Role, &m.RoleAttribs, &m.RoleAttribCount, nullptr, nullptr, nullptr,
                   &m.RoleAttribSel, [&p] { return p.SaveRoleAttribList(); },
                   [this](int mode) { showAddNewAttribute(AttribKind::Role, mode); }});
          return f;
      }),
      AddNewAttributeForm([this, &m, &p] { return new AddNewAttribute(m, p, *this); }),
      MagicEditorForm([this, &m] { return new MagicEditor(m, *this); }),
      MagicPicture([this, &m] { return new MagicPictureForm(m, *this); })
{
}

ToolFormsImpl::~ToolFormsImpl() = default;

AttribForm& ToolFormsImpl::attribForm(AttribKind kind)
{
    switch (kind) {
    case AttribKind::Npc: return ActiveNpc.get();
    case AttribKind::Monster: return ActiveMonster.get();
    case AttribKind::Role: break;
    }
    return AddRole.get();
}

void ToolFormsImpl::showAddNewAttribute(AttribKind kind, int mode)
{
    // The kind and the mode are set each time. An open dialog that serves
    // the same request only comes to the front; one open for another kind,
    // mode or record loads again for this one, so that its boxes and its
    // commands always belong to the same record.
    Module1& m = m_;
    const char* name = kind == AttribKind::Npc ? "npc" : kind == AttribKind::Monster ? "monster" : "role";
    const int16_t sel = kind == AttribKind::Npc       ? m.NpcAttribSel
                        : kind == AttribKind::Monster ? m.MonsterAttribSel
                                                      : m.RoleAttribSel;
    if (AddNewAttributeForm.loaded() && !AddNewAttributeForm.get().serves(name, mode, sel))
        AddNewAttributeForm.unload();
    m.AttribKindName = name;
    int16_t& md = kind == AttribKind::Npc       ? m.NpcAttribMode
                  : kind == AttribKind::Monster ? m.MonsterAttribMode
                                                : m.RoleAttribMode;
    md = static_cast<int16_t>(mode);
    AddNewAttribute& f = AddNewAttributeForm.get();
    f.show();
    f.raise();
}

void ToolFormsImpl::showScriptEditor()
{
    ScriptEditor& f = ScriptEditorForm.get();
    f.show();
    f.raise();
    f.activateWindow();
}

namespace {

template <class F>
void bringUp(F& f)
{
    f.show();
    f.raise();
    f.activateWindow();
}

} // namespace

void ToolFormsImpl::showNpcEditor() { bringUp(ActiveNpc.get()); }

void ToolFormsImpl::showMonsterEditor() { bringUp(ActiveMonster.get()); }

void ToolFormsImpl::showRoleEditor() { bringUp(AddRole.get()); }

void ToolFormsImpl::showMagicEditor() { bringUp(MagicEditorForm.get()); }

void ToolFormsImpl::afterToolClosed(QWidget* closing, int16_t* placing)
{
    if (placing)
        *placing = 0;
    const QWidgetList windows = QApplication::topLevelWidgets();
    const bool anyVisible = std::any_of(windows.begin(), windows.end(), [closing](QWidget* w) {
        return w != closing && w->isVisible() && w->isWindow() && w->windowType() != Qt::Popup &&
               w->windowType() != Qt::ToolTip;
    });
    if (!anyVisible)
        showScriptEditor();
}

AttribRows& ToolFormsImpl::rows(AttribKind kind)
{
    switch (kind) {
    case AttribKind::Npc: return ActiveNpc.get();
    case AttribKind::Monster: return ActiveMonster.get();
    case AttribKind::Role: break;
    }
    return AddRole.get();
}

void ToolFormsImpl::showAttribForm(AttribKind kind)
{
    AttribForm& f = kind == AttribKind::Npc       ? static_cast<AttribForm&>(ActiveNpc.get())
                    : kind == AttribKind::Monster ? static_cast<AttribForm&>(ActiveMonster.get())
                                                  : static_cast<AttribForm&>(AddRole.get());
    f.show();
    f.raise();
    f.activateWindow();
}

} // namespace tilesmith
