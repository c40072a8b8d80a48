// The icons of the source windows' toolbar buttons: a sheet of text, with
// ASM on it for the program and µ for the micro-program. Drawn in code like
// the other toolbar icons.
#pragma once

#include <QIcon>

namespace vesk {

QIcon MakeSourceIcon(bool microProgram);

}  // namespace vesk
