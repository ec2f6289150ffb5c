#include "support/TestMachine.h"
