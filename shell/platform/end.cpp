#include "shell/platform/end.h"

#include <QApplication>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace tk {

namespace {

bool ended = false;

EndHook &endHook()
{
    static EndHook hook;
    return hook;
}

} // namespace

void End()
{
    ended = true;
    // hide(), unlike close(), sends no close event.
    for (QWidget *window : QApplication::topLevelWidgets())
        window->hide();
    if (endHook()) {
        endHook()();
        return;
    }
    std::fflush(nullptr);
    std::_Exit(EXIT_SUCCESS);
}

bool hasEnded()
{
    return ended;
}

void setEndHook(EndHook hook)
{
    endHook() = std::move(hook);
    ended = false;
}

} // namespace tk
