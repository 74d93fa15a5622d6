#include "ui/Prompts.h"

#include "ui/QtPrompts.h"

namespace {
Prompts *installed = nullptr;
}

Prompts &Prompts::instance()
{
    static QtPrompts real;
    return installed ? *installed : real;
}

void Prompts::setInstance(Prompts *prompts)
{
    installed = prompts;
}
