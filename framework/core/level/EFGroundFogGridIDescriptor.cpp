#include "framework/core/level/EFGroundFogGridIDescriptor.h"

// Registered with the other instance descriptors in
// EFIDescriptorRegistration.cpp.

namespace {

constexpr s32 CLASS_ID			= 93;
constexpr s32 INSTANCE_CLASS_ID	= 86;

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
	return INSTANCE_CLASS_ID;
}
