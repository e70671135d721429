#include "qmk/extends/CellEditorDelegate.h"

#include "qmk/extends/ExactPlainText.h"
#include "qmk/extends/RecordTableModel.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <limits>

namespace qmk::extends {

namespace {

constexpr const char* startValueKey = "startValue";

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

bool isNotes(const RecordTableModel* model, int column)
{
    const auto& names = model->columnNames();
    return column >= 0 && column < int(names.size()) && names[std::size_t(column)] == "notes";
}

} // namespace

CellEditorDelegate::CellEditorDelegate(RecordTableModel* model, QObject* parent)
    : QStyledItemDelegate(parent), model_(model)
{
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
        auto* combo = new QComboBox(parent);
        combo->setEditable(false);
        for (const std::string& option : options)
            combo->addItem(QString::fromStdString(option));
        // a choice is taken at once, as a user of a drop-down list expects
        auto* self = const_cast<CellEditorDelegate*>(this);
        connect(combo, &QComboBox::activated, self, [self, combo] {
            emit self->commitData(combo);
            emit self->closeEditor(combo);
        });
        return combo;
    }
    auto* line = new QLineEdit(parent);
    line->setFrame(false);
    // a cell holds values of any length: nothing is cut when shown or taken
    line->setMaxLength(std::numeric_limits<int>::max());
    return line;
}

void CellEditorDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    base::RecordPtr record = model_->recordAt(index.row());
    const auto& names = model_->columnNames();
    if (index.column() < 0 || index.column() >= int(names.size()))
        return;
    CellValue value =
        model_->modifier()->getValue(record.get(), names[std::size_t(index.column())]);
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        combo->setCurrentIndex(std::holds_alternative<int>(value) ? std::get<int>(value) : 0);
    } else {
        QString text = std::holds_alternative<std::string>(value)
            ? QString::fromStdString(std::get<std::string>(value))
            : QString();
        if (auto* notes = qobject_cast<QPlainTextEdit*>(editor))
            setExactText(*notes, text);
        else if (auto* line = qobject_cast<QLineEdit*>(editor))
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
    if (auto* combo = qobject_cast<QComboBox*>(editor))
        model->setData(index, combo->currentIndex(), Qt::EditRole);
    else if (auto* notes = qobject_cast<QPlainTextEdit*>(editor))
        model->setData(index, exactText(*notes), Qt::EditRole);
    else if (auto* line = qobject_cast<QLineEdit*>(editor))
        model->setData(index, line->text(), Qt::EditRole);
}

bool CellEditorDelegate::eventFilter(QObject* object, QEvent* event)
{
    // Storing an edit may move the focus (a renamed product's tab comes to the front): the edit
    // being stored closes its editor when it is done, so the focus leaving it must not commit and
    // close it a second time.
    if (event->type() == QEvent::FocusOut && model_->isEditing())
        return false;
    auto* notes = qobject_cast<QPlainTextEdit*>(object);
    if (notes && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & Qt::ControlModifier)) {
            emit commitData(notes);
            emit closeEditor(notes, QAbstractItemDelegate::SubmitModelCache);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
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
