#include "framework/logic/LogicModuleAPI.h"

// Zero until the game logic manager fills the slots at start-up.
_api_cons APIcons = {};
