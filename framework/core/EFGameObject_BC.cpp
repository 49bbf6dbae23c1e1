#include "framework/core/EFGameObject_BC.h"

EFGameObject_BC::EFGameObject_BC() {
}

EFGameObject_BC::~EFGameObject_BC() {
}
