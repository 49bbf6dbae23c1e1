#include "framework/core/world/EFGameObject_BC.h"

EFGameObject_BC::EFGameObject_BC() {
}

EFGameObject_BC::~EFGameObject_BC() {
}
