#include "framework/core/level/EFRessource.h"

EFRessource::EFRessource() : muiRefCount( 0 ) {
}

EFRessource::~EFRessource() {
}

EFRessource * EFRessource::Copy() {
	return this;
}

u32 EFRessource::Release() {
	muiRefCount--;
	return muiRefCount == 0 ? 1 : 0;
}
