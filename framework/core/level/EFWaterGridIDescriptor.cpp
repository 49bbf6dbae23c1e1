#include "framework/core/level/EFWaterGridIDescriptor.h"

#include "framework/graphics/EFWaterGrid_BC.h"

// Registered with the other instance descriptors in
// EFIDescriptorRegistration.cpp.

namespace {

constexpr s32 CLASS_ID			= 92;

}

EFWaterGridIDescriptor::EFWaterGridIDescriptor() {
}

EFWaterGridIDescriptor::~EFWaterGridIDescriptor() {
}

s32 EFWaterGridIDescriptor::GetClassID() const {
	return CLASS_ID;
}

const char * EFWaterGridIDescriptor::GetClassName() const {
	return "3D_OBJECT_WATER_DESCR";
}

s32 EFWaterGridIDescriptor::GetInstanceCLSID() const {
	return EF_WATER_GRID_CLASS_ID;
}
