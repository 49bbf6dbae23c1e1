#include "framework/core/EFPhysicData.h"

EFPhysicData::EFPhysicData() : mpoPhysic( nullptr ) {
}

EFPhysicData::~EFPhysicData() {
}
