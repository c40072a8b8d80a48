#include "app/machine.h"

namespace vesk {

Machine::Machine() { memory.setCommandTrace(&trace); }

}  // namespace vesk
