#include "framework/core/level/EFGroundFogGridIDescriptor.h"

#include "framework/graphics/EFGroundFogGrid_BC.h"

// Registered with the other instance descriptors in
// EFIDescriptorRegistration.cpp.

namespace {

constexpr s32 CLASS_ID			= 93;

}

EFGroundFogGridIDescriptor::EFGroundFogGridIDescriptor() {
}

EFGroundFogGridIDescriptor::~EFGroundFogGridIDescriptor() {
}

s32 EFGroundFogGridIDescriptor::GetClassID() const {
	return CLASS_ID;
}

const char * EFGroundFogGridIDescriptor::GetClassName() const {
	return "3D_OBJECT_GROUNDFOG_DESCR";
}

s32 EFGroundFogGridIDescriptor::GetInstanceCLSID() const {
	return EF_GROUND_FOG_GRID_CLASS_ID;
}
