#include "qmk/dialog/AboutDialog.h"

#include "qmk/MainWindow.h"
#include "qmk/MyAction.h"
#include "qmk/config/Config.h"
#include "qmk/config/ImageManager.h"
#include "qmk/custom/LinkText.h"
#include "vorn/Texts.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPointer>
#include <QScopeGuard>
#include <QVBoxLayout>

namespace qmk::dialog {

namespace {

constexpr int initialWidth = 450;

// Taken from the image registry by the first dialog and kept for the later ones.
struct Images {
    QIcon shell;
    const QPixmap* title = nullptr;
};

const Images& images()
{
    static const Images cached = [] {
        auto& registry = config::ImageManager::getInstance();
        return Images{registry.icon("soft32.ico"), registry.get("about128.png")};
    }();
    return cached;
}

QString text(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

QFrame* line(QWidget* parent)
{
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::HLine);
    frame->setFrameShadow(QFrame::Sunken);
    return frame;
}

} // namespace

void AboutDialog::show()
{
    // the main window deletes the dialog with itself should it go first
    QPointer<AboutDialog> dialog = new AboutDialog(MainWindow::getInstance());
    const auto release = qScopeGuard([&dialog] { delete dialog.data(); });
    dialog->exec();
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(getShellStyle(windowFlags()));
    configureShell();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // the dialog opens 450 wide whatever its contents would ask for
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->addWidget(createTitleArea());
    layout->addWidget(line(this));
    layout->addWidget(createDialogArea(this), 1);
    layout->addWidget(line(this));
    layout->addWidget(createButtonBar());
    resize(getInitialSize());
}

void AboutDialog::configureShell()
{
    setWindowTitle("About " + text(vorn::Texts::productName()));
    setWindowIcon(images().shell);
}

Qt::WindowFlags AboutDialog::getShellStyle(Qt::WindowFlags base)
{
    return base | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
        Qt::WindowCloseButtonHint;
}

QSize AboutDialog::getInitialSize() const
{
    return {initialWidth, sizeHint().height()};
}

QWidget* AboutDialog::createTitleArea()
{
    auto* area = new QWidget(this);
    area->setObjectName("titleArea");
    area->setAutoFillBackground(true);
    area->setBackgroundRole(QPalette::Base);
    auto* layout = new QHBoxLayout(area);
    auto* texts = new QVBoxLayout;
    auto* title = new QLabel(text(vorn::Texts::aboutTitle()), area);
    title->setObjectName("title");
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    title->setWordWrap(true);
    auto* message = new QLabel(text(vorn::Texts::aboutMessage()), area);
    message->setObjectName("message");
    message->setWordWrap(true);
    texts->addWidget(title);
    texts->addWidget(message, 1, Qt::AlignTop);
    layout->addLayout(texts, 1);
    auto* image = new QLabel(area);
    image->setObjectName("titleImage");
    if (images().title)
        image->setPixmap(*images().title);
    layout->addWidget(image, 0, Qt::AlignRight | Qt::AlignTop);
    return area;
}

QWidget* AboutDialog::createDialogArea(QWidget* parent)
{
    auto* composite = new QWidget(parent);
    auto* grid = new QGridLayout(composite);
    grid->setContentsMargins(10, 10, 10, 10);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(10);
    grid->addWidget(new QLabel("Home: ", composite), 0, 0, Qt::AlignLeft);
    homeLink_ = new custom::LinkText(composite, text(vorn::Texts::makerHomeUrl()));
    grid->addWidget(homeLink_, 0, 1);
    grid->setColumnStretch(1, 1);
    connect(homeLink_, &custom::LinkText::clicked, this, &AboutDialog::onHomeLink);
    return composite;
}

QWidget* AboutDialog::createButtonBar()
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->setContentsMargins(10, 10, 10, 10);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    return buttons;
}

void AboutDialog::onHomeLink()
{
    config::Config::getInstance().openHomePage("AboutDialog");
}

} // namespace qmk::dialog

namespace qmk::MyAction {

void AboutAction::run()
{
    dialog::AboutDialog::show();
}

} // namespace qmk::MyAction
