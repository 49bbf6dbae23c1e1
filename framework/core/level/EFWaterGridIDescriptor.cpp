#include "framework/core/level/EFWaterGridIDescriptor.h"

// Registered with the other instance descriptors in
// EFIDescriptorRegistration.cpp.

namespace {

constexpr s32 CLASS_ID			= 92;
constexpr s32 INSTANCE_CLASS_ID	= 65;

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
	return INSTANCE_CLASS_ID;
}
