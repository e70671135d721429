#include "qmk/tab/Softwares.h"

#include "qmk/extends/Commands.h"

#include <QMenu>

namespace qmk::tab {

Softwares* Softwares::getInstance()
{
    static Softwares* instance = new Softwares(); // kept for the whole run
    return instance;
}

} // namespace qmk::tab
