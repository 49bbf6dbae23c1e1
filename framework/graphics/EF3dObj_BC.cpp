#include "framework/graphics/EF3dObj_BC.h"

EF3dObj_BC::EF3dObj_BC()
	: mp3dObjRes( nullptr ), mui3dObjState( EF_3D_OBJ_VISIBLE ), mpClump( nullptr ), mpHierarchy( nullptr ) {
}

EF3dObj_BC::~EF3dObj_BC() {
}

void EF3dObj_BC::SetRessource( EFRessource * ressource ) {
	mp3dObjRes = ressource;
}
