#include "qmk/dialog/FindDialog.h"

#include "qmk/MainWindow.h"
#include "qmk/config/ImageManager.h"

#include <QCloseEvent>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qmk::dialog {

namespace {

// Hands its close and show events to the dialog.
class FindShell : public QDialog {
public:
    FindShell(QWidget* parent, FindDialog& dialog)
        : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), dialog_(dialog)
    {
    }

protected:
    void closeEvent(QCloseEvent* event) override { dialog_.handleShellEvent(event); }
    void showEvent(QShowEvent* event) override
    {
        // a window brought back by the window system is not shown anew
        if (!event->spontaneous())
            dialog_.handleShellEvent(event);
        QDialog::showEvent(event);
    }

private:
    FindDialog& dialog_;
};

QPushButton* button(const char* text, const char* image, QWidget* parent)
{
    auto* result = new QPushButton(QString::fromUtf8(text), parent);
    result->setIcon(config::ImageManager::getInstance().icon(image));
    // Enter belongs to the field; no button is pressed by it.
    result->setAutoDefault(false);
    result->setDefault(false);
    return result;
}

} // namespace

FindDialog& FindDialog::getInstance()
{
    static FindDialog instance;
    return instance;
}

void FindDialog::ensureShell()
{
    if (!shell_ || shell_->parentWidget() != MainWindow::getInstance()) {
        delete shell_.data();
        build();
    }
}

void FindDialog::build()
{
    auto* shell = new FindShell(MainWindow::getInstance(), *this);
    shell_ = shell;
    shell->setModal(false);
    shell->setWindowTitle("find");
    auto* grid = new QGridLayout(shell);
    grid->setSizeConstraint(QLayout::SetFixedSize); // not resizable

    grid->addWidget(new QLabel("Find What", shell), 0, 0, Qt::AlignLeft);

    text_ = new QLineEdit(shell);
    text_->setFrame(true);
    text_->setMinimumWidth(300);
    text_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    grid->addWidget(text_, 0, 1, 1, 2);

    auto* buttons = new QWidget(shell);
    auto* row = new QGridLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    for (int column = 0; column < 3; ++column)
        row->setColumnStretch(column, 1);
    processButton_ = button("&Process", "btnOk16.png", buttons);
    processButton_->setEnabled(false);
    QPushButton* cancel = button("&Cancel", "btnCancel16.png", buttons);
    QPushButton* clear = button("C&lear", "clear16.png", buttons);
    row->addWidget(processButton_, 0, 0, Qt::AlignRight);
    row->addWidget(cancel, 0, 1, Qt::AlignLeft);
    row->addWidget(clear, 0, 2);
    grid->addWidget(buttons, 1, 0, 1, 3);

    QLineEdit* field = text_;
    QPushButton* process = processButton_;
    QObject::connect(field, &QLineEdit::textChanged, process, [this, process](const QString& text) {
        process->setEnabled(!busy_ && !text.isEmpty());
    });
    QObject::connect(field, &QLineEdit::returnPressed, shell, [this] { onDefaultSelection(); });
    QObject::connect(process, &QPushButton::clicked, shell, [this] { this->process(); });
    QObject::connect(cancel, &QPushButton::clicked, shell, &QWidget::hide);
    QObject::connect(clear, &QPushButton::clicked, field, &QLineEdit::clear);
    shell->adjustSize();
}

QDialog* FindDialog::shell()
{
    ensureShell();
    return shell_;
}

QLineEdit* FindDialog::field()
{
    ensureShell();
    return text_;
}

QPushButton* FindDialog::processButton()
{
    ensureShell();
    return processButton_;
}

void FindDialog::handleShellEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Close:
        event->ignore();
        hide();
        break;
    case QEvent::Show:
        if (text_)
            text_->clear();
        break;
    default: break;
    }
}

void FindDialog::onDefaultSelection()
{
    process();
}

void FindDialog::setTitle(const std::string& title)
{
    shell()->setWindowTitle(QString::fromStdString(title));
}

void FindDialog::setHint(const std::string& hint)
{
    field()->setToolTip(QString::fromStdString(hint));
}

void FindDialog::show()
{
    QDialog* window = shell();
    if (window->isVisible()) {
        window->raise();
        window->activateWindow();
    } else {
        window->show();
    }
    if (text_)
        text_->setFocus();
}

void FindDialog::hide()
{
    // Nothing to hide when the window is not built (or went with the main window).
    if (shell_)
        shell_->hide();
}

void FindDialog::setText(const std::string& text)
{
    field()->setText(QString::fromStdString(text));
}

std::string FindDialog::getText()
{
    return field()->text().trimmed().toStdString();
}

void FindDialog::process()
{
    if (!callback || busy_ || !text_)
        return;
    const std::string text = text_->text().trimmed().toLower().toStdString();
    // The callback may rebind the dialog or let the main window (and with it this window) go.
    const Callback run = callback;
    QPointer<QPushButton> button = processButton_;
    busy_ = true;
    if (button)
        button->setEnabled(false);
    struct Done {
        FindDialog& dialog;
        QPointer<QPushButton>& button;
        ~Done()
        {
            dialog.busy_ = false;
            if (button)
                button->setEnabled(true);
        }
    } done{*this, button};
    run(text);
}

} // namespace qmk::dialog
