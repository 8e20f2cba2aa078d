#include "setup/setup_state.h"

SetupState g_setupState;
