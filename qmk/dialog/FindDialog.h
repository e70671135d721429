#pragma once
// The one modeless prompt that the find command and the two link harvests share: a label, a
// one-line field and the buttons "&Process", "&Cancel" and "C&lear". A command binds its worker
// as the callback, sets title and hint, and shows the prompt; Enter or "&Process" hands the
// worker the field's text, trimmed and lower-cased. The worker decides whether to hide it.
//
// One instance for the run (getInstance). Its window is a child of the main window and is
// built again on the next use when that window has gone. Closing only hides it. While a
// callback runs "&Process" is disabled and process refuses to start it again (Enter in the
// field reaches process during the callback's pumped waits). UI thread only.
#include <QPointer>

#include <functional>
#include <string>

class QDialog;
class QEvent;
class QLineEdit;
class QPushButton;

namespace qmk::dialog {

class FindDialog {
public:
    using Callback = std::function<void(const std::string&)>;

    static FindDialog& getInstance();

    // The worker that process calls; empty for none.
    Callback callback;

    void setTitle(const std::string& title);
    // The field's tool tip.
    void setHint(const std::string& hint);
    // Opens the window (the field emptied as it becomes visible) or, when open, gives it the
    // focus; then the focus goes to the field.
    void show();
    void hide();
    void setText(const std::string& text);
    // The field's text, trimmed.
    std::string getText();
    // Calls the callback with the trimmed, lower-cased text; nothing without a callback or while
    // the callback runs.
    void process();
    // True while the callback runs.
    bool busy() const { return busy_; }
    // The window's close event (refused: the window hides instead) and show event (the field is
    // emptied); other events are left alone.
    void handleShellEvent(QEvent* event);
    // Enter in the field: process.
    void onDefaultSelection();

    // The window, its field and its process button (null until built; built again when gone).
    QDialog* shell();
    QLineEdit* field();
    QPushButton* processButton();

private:
    FindDialog() = default;
    void ensureShell();
    void build();

    QPointer<QDialog> shell_;
    QPointer<QLineEdit> text_;
    QPointer<QPushButton> processButton_;
    bool busy_ = false;
};

} // namespace qmk::dialog
