#include "qmk/ProductsAction.h"

#include "qmk/config/Config.h"
#include "qmk/extends/Commands.h"
#include "vorn/Texts.h"

#include <QCoreApplication>

namespace qmk::ProductsAction {

namespace {

constexpr const char* menuSource = "menu&products";

template <class T>
void make(T*& variable, extends::Command command)
{
    if (!variable) {
        variable = new T;
        variable->setParent(QCoreApplication::instance());
        QObject::connect(variable, &QObject::destroyed, [&variable] { variable = nullptr; });
    }
    extends::Commands::registerAction(command, variable);
}

} // namespace

FirstProductAction::FirstProductAction()
    : Action("&" + vorn::Texts::firstProductName(), "tallyleaf16.png",
             vorn::Texts::firstProductName())
{
}

void FirstProductAction::run()
{
    config::Config::getInstance().openWebLink(vorn::Texts::firstProductUrl(), menuSource);
}

SecondProductAction::SecondProductAction()
    : Action("&" + vorn::Texts::secondProductName(), "driftnote16.png",
             vorn::Texts::secondProductName())
{
}

void SecondProductAction::run()
{
    config::Config::getInstance().openWebLink(vorn::Texts::secondProductUrl(), menuSource);
}

FirstProductAction* firstProductAction = nullptr;
SecondProductAction* secondProductAction = nullptr;

void createActions()
{
    make(firstProductAction, extends::Command::FirstProductAction);
    make(secondProductAction, extends::Command::SecondProductAction);
}

} // namespace qmk::ProductsAction
