// Placeholder until the shell lands.
#include "app/platform.h"
