#pragma once
// The cell editors of a table view: a multi-line text editor for "notes" (Enter adds a line,
// Ctrl+Enter stores and closes), a read-only combo box for a column with a list of choices, a
// line editor for every other column. The editor starts from MyCellModifier::getValue and hands
// its text (or the chosen index) to the model, whatever its length, character for character
// (the notes editor's line breaks as the value had them; a line break typed or pasted into a
// line editor is the blank it shows). A combo box stores an entry picked from its opened list at
// once; one stepped to with keys, letters or the wheel waits for Enter, Tab or a click
// elsewhere, and Escape drops it. A value its list lacks is shown as an entry of its own, which
// hands that text back. The notes editor opens with its text selected, as a line editor does;
// Tab and Shift+Tab store it and go on as from the others.
//
// The rule every editor of the window keeps (these, the notes box): an editor's text is the
// user's until the user confirms it (Enter, Tab, a click elsewhere, the close) or cancels it
// (Escape). Nothing the program does in between stores, replaces or drops it: a command that
// changes a shown row stores the open editor first (TableViewer, MyAction), a list editor stores
// a choice only when confirmed, and a box that shows a stored value follows that value when it
// changes, unless typed into (NotesEditor). What is stored is what the editor showed. The notes
// box edits one row's notes: leaving that row confirms them.
// The menu bar taking the keys (Alt, a menu opened and cancelled), a popup or another window
// taking the focus confirms nothing: the editor waits with its text until the focus comes back
// (the bar's keys ended or the window active again give it the keys), and a later move of the
// focus to another widget of its window (or its table hidden by a tab switch) confirms it, as a
// click elsewhere would have.
#include <QList>
#include <QPointer>
#include <QStyledItemDelegate>

class QMenuBar;

namespace qmk::extends {

class RecordTableModel;

class CellEditorDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    // The model is not owned and must outlive the delegate.
    explicit CellEditorDelegate(RecordTableModel* model, QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
    // True when the editor holds something else than the value it was started from.
    bool isChanged(const QWidget* editor) const;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    void focusMoved(QWidget* old, QWidget* now);
    void menuBarLeft(QMenuBar* bar);
    void confirm(QWidget* editor);

    RecordTableModel* model_;
    QList<QPointer<QWidget>> waiting_; // editors whose focus went to the menu bar or away
};

} // namespace qmk::extends
