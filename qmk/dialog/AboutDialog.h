#pragma once
// The About dialog: modal over the main window, with the program's name, a short text and a
// link to the maker's home page. UI thread only.
//
// Layout: a title area (bold title, message, image at the right), the dialog area with the
// "Home: " link, and a button bar whose "OK" closes the dialog. The widgets belong to the dialog.
#include <QDialog>

namespace qmk::custom {
class LinkText;
}

namespace qmk::dialog {

class AboutDialog : public QDialog {
    Q_OBJECT

public:
    // Builds a dialog over the main window (none while there is no main window), runs it
    // modally and destroys it when it closes. Hides QWidget::show on purpose: the dialog is only
    // ever shown this way.
    static void show();

    explicit AboutDialog(QWidget* parent);

    custom::LinkText* homeLink() const { return homeLink_; }

private:
    void configureShell();
    static Qt::WindowFlags getShellStyle(Qt::WindowFlags base);
    QSize getInitialSize() const;
    QWidget* createTitleArea();
    QWidget* createDialogArea(QWidget* parent);
    QWidget* createButtonBar();
    void onHomeLink();

    custom::LinkText* homeLink_ = nullptr;
};

} // namespace qmk::dialog
