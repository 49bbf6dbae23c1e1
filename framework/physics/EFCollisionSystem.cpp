#include "framework/physics/EFCollisionSystem.h"

void EFCollisionSystem::Init( EFUpdatePhysicStruct &, u32, u32, void *, void * ) {
}

void EFCollisionSystem::Update( EFUpdatePhysicStruct & ) {
}

void EFCollisionSystem::PostUpdate( EFUpdatePhysicStruct & ) {
}

void EFCollisionSystem::Terminate( EFUpdatePhysicStruct & ) {
}
