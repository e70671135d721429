#include "qmk/extends/CellEditorDelegate.h"

#include "qmk/extends/ExactPlainText.h"
#include "qmk/extends/RecordTableModel.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

namespace qmk::extends {

namespace {

constexpr const char* startValueKey = "startValue";

// A list editor that tells a pick from its opened list (a click on an entry, Enter in the list)
// from a choice stepped to with keys, letters or the wheel: QComboBox sends activated for both,
// and closes its list just before it does for a pick.
class ChoiceBox : public QComboBox {
public:
    using QComboBox::QComboBox;

    // True once after the opened list was closed: the activated that follows is a pick.
    bool takePick() { return std::exchange(picked_, false); }
    void showPopup() override
    {
        picked_ = false;
        QComboBox::showPopup();
    }
    void hidePopup() override
    {
        picked_ = true;
        QComboBox::hidePopup();
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        picked_ = false;
        QComboBox::keyPressEvent(event);
    }
    void wheelEvent(QWheelEvent* event) override
    {
        picked_ = false;
        QComboBox::wheelEvent(event);
    }
    void inputMethodEvent(QInputMethodEvent* event) override
    {
        picked_ = false;
        QComboBox::inputMethodEvent(event);
    }

private:
    bool picked_ = false;
};

// A line editor shows a line break as a blank: what it holds is made the same, CR LF as one
// blank (the mandatory breaks of Unicode: CR, LF, VT, FF, NEL, U+2028, U+2029).
QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x0a && u <= 0x0d) || u == 0x85 || u == 0x2028 || u == 0x2029)
            c = QLatin1Char(' ');
    }
    return text;
}

// What the editor holds now: the chosen index of a combo box, else the text.
QVariant editorValue(const QWidget* editor)
{
    if (auto* combo = qobject_cast<const QComboBox*>(editor))
        return combo->currentIndex();
    if (auto* notes = qobject_cast<const QPlainTextEdit*>(editor))
        return exactText(*notes);
    if (auto* line = qobject_cast<const QLineEdit*>(editor))
        return line->text();
    return QVariant();
}

// The focus went where the user does not edit the window's contents: the menu bar, a menu or
// list popup, another window.
bool focusAway(const QEvent* event)
{
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason == Qt::MenuBarFocusReason || reason == Qt::PopupFocusReason ||
        reason == Qt::ActiveWindowFocusReason;
}

// The menu bar itself, or the one a menu opens from.
QMenuBar* menuBarOf(QObject* object)
{
    while (qobject_cast<QMenu*>(object))
        object = object->parent();
    return qobject_cast<QMenuBar*>(object);
}

bool isNotes(const RecordTableModel* model, int column)
{
    const auto& names = model->columnNames();
    return column >= 0 && column < int(names.size()) && names[std::size_t(column)] == "notes";
}

} // namespace

CellEditorDelegate::CellEditorDelegate(RecordTableModel* model, QObject* parent)
    : QStyledItemDelegate(parent), model_(model)
{
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget* old, QWidget* now) { focusMoved(old, now); });
}

QWidget* CellEditorDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                          const QModelIndex& index) const
{
    if (isNotes(model_, index.column())) {
        auto* editor = new QPlainTextEdit(parent);
        editor->setTabChangesFocus(true);
        return editor;
    }
    const base::ValueList& options = model_->optionList(index.column());
    if (options.size() > 1) {
        auto* combo = new ChoiceBox(parent);
        combo->setEditable(false);
        for (const std::string& option : options)
            combo->addItem(QString::fromStdString(option));
        // An entry picked from the opened list is taken at once; a choice stepped to with keys
        // or the wheel waits for Enter, Tab or a click elsewhere (Escape drops it).
        auto* self = const_cast<CellEditorDelegate*>(this);
        connect(combo, &QComboBox::activated, self, [self, combo] {
            if (!combo->takePick())
                return;
            emit self->commitData(combo);
            emit self->closeEditor(combo);
        });
        return combo;
    }
    auto* line = new QLineEdit(parent);
    line->setFrame(false);
    // a cell holds values of any length: nothing is cut when shown or taken
    line->setMaxLength(std::numeric_limits<int>::max());
    // Line breaks typed or pasted become the blanks the editor shows; a value given to the
    // editor stays as it is until the user changes it.
    connect(line, &QLineEdit::textEdited, line, [line](const QString& text) {
        const QString kept = oneLine(text);
        if (kept == text)
            return;
        const int cursor = int(oneLine(text.left(line->cursorPosition())).size());
        line->setText(kept);
        line->setCursorPosition(cursor);
    });
    return line;
}

void CellEditorDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    base::RecordPtr record = model_->recordAt(index.row());
    const auto& names = model_->columnNames();
    if (index.column() < 0 || index.column() >= int(names.size()))
        return;
    const std::string& name = names[std::size_t(index.column())];
    CellValue value = model_->modifier()->getValue(record.get(), name);
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        int at = std::holds_alternative<int>(value) ? std::get<int>(value) : 0;
        // A value the list lacks (a service's rank, an older file's) is shown as an entry of
        // its own that hands back that text: left there, nothing changes.
        const base::ValueList& options = model_->optionList(index.column());
        while (combo->count() > int(options.size()))
            combo->removeItem(combo->count() - 1);
        const std::optional<std::string> stored =
            record ? record->get(name) : std::optional<std::string>();
        if (stored && std::find(options.begin(), options.end(), *stored) == options.end()) {
            const QString text = QString::fromStdString(*stored);
            combo->addItem(text, text);
            at = combo->count() - 1;
        }
        combo->setCurrentIndex(at);
    } else {
        QString text = std::holds_alternative<std::string>(value)
            ? QString::fromStdString(std::get<std::string>(value))
            : QString();
        if (auto* notes = qobject_cast<QPlainTextEdit*>(editor)) {
            // typed over as a line editor is (the view selects those)
            setExactText(*notes, text);
            notes->selectAll();
        } else if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->setText(text);
    }
    editor->setProperty(startValueKey, editorValue(editor));
}

bool CellEditorDelegate::isChanged(const QWidget* editor) const
{
    return editor && editorValue(editor) != editor->property(startValueKey);
}

void CellEditorDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                      const QModelIndex& index) const
{
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        const QVariant kept = combo->currentData();
        model->setData(index, kept.isValid() ? kept : QVariant(combo->currentIndex()),
                       Qt::EditRole);
    } else if (auto* notes = qobject_cast<QPlainTextEdit*>(editor))
        model->setData(index, exactText(*notes), Qt::EditRole);
    else if (auto* line = qobject_cast<QLineEdit*>(editor))
        model->setData(index, line->text(), Qt::EditRole);
}

bool CellEditorDelegate::eventFilter(QObject* object, QEvent* event)
{
    // a key or a menu closed may have ended the menu bar's keys (Escape, Alt, a click outside)
    if (QMenuBar* bar = menuBarOf(object)) {
        const QEvent::Type type = event->type();
        if (type == QEvent::KeyPress || type == QEvent::KeyRelease || type == QEvent::Hide)
            QTimer::singleShot(0, this, [this, bar = QPointer(bar)] { menuBarLeft(bar); });
        return false;
    }
    // Storing an edit may move the focus (a renamed product's tab comes to the front): the edit
    // being stored closes its editor when it is done, so the focus leaving it (or its table hidden)
    // must not commit and close it a second time.
    if (model_->isEditing() && (event->type() == QEvent::FocusOut || event->type() == QEvent::Hide))
        return false;
    if (auto* editor = qobject_cast<QWidget*>(object)) {
        if (event->type() == QEvent::FocusOut && focusAway(event)) {
            if (!waiting_.contains(editor))
                waiting_.append(editor);
            return false;
        }
        if (event->type() == QEvent::FocusIn)
            waiting_.removeAll(editor);
        // a tab switch while the keys were away (a window minimized is no switch)
        if (event->type() == QEvent::Hide && !event->spontaneous() && waiting_.contains(editor))
            confirm(editor);
    }
    auto* notes = qobject_cast<QPlainTextEdit*>(object);
    if (notes && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & Qt::ControlModifier)) {
            emit commitData(notes);
            emit closeEditor(notes, QAbstractItemDelegate::SubmitModelCache);
            return true;
        }
        // QStyledItemDelegate leaves Tab and Shift+Tab to a text box, which hands them on as a
        // focus change: the view would move its current cell and open no editor there. They
        // store and go on as from the other editors.
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            emit commitData(notes);
            emit closeEditor(notes,
                             key->key() == Qt::Key_Tab ? QAbstractItemDelegate::EditNextItem
                                                       : QAbstractItemDelegate::EditPreviousItem);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

void CellEditorDelegate::focusMoved(QWidget* old, QWidget* now)
{
    waiting_.removeAll(nullptr);
    if (!now)
        return;
    for (const QPointer<QWidget>& editor : QList(waiting_)) {
        if (!editor || editor == now || editor->isAncestorOf(now) ||
            editor->window() != now->window())
            continue;
        if (!qobject_cast<QMenuBar*>(now))
            confirm(editor);
        else if (!old && editor->isVisible()) // the window is active again: its edit has the keys
            editor->setFocus(Qt::ActiveWindowFocusReason);
        else { // to see it give the keys back
            now->installEventFilter(this);
            for (QMenu* menu : now->findChildren<QMenu*>())
                menu->installEventFilter(this);
        }
    }
}

// The menu bar holds the focus with no menu lit or open: it gave the keys back to the widget that
// had them when it took them, which is the bar itself when a menu's Alt+letter came after Alt.
void CellEditorDelegate::menuBarLeft(QMenuBar* bar)
{
    if (!bar || QApplication::focusWidget() != bar || bar->activeAction() ||
        QApplication::activePopupWidget())
        return;
    for (const QPointer<QWidget>& editor : QList(waiting_))
        if (editor && editor->window() == bar->window() && editor->isVisible())
            editor->setFocus(Qt::MenuBarFocusReason);
}

void CellEditorDelegate::confirm(QWidget* editor)
{
    waiting_.removeAll(editor);
    emit commitData(editor);
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void CellEditorDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                              const QModelIndex& index) const
{
    if (qobject_cast<QPlainTextEdit*>(editor)) {
        QRect rect = option.rect;
        rect.setHeight(std::max(rect.height() * 4, 80));
        editor->setGeometry(rect);
        return;
    }
    QStyledItemDelegate::updateEditorGeometry(editor, option, index);
}

} // namespace qmk::extends
