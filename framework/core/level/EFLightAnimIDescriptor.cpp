#include "framework/core/level/EFLightAnimIDescriptor.h"

// Registered with the other instance descriptors in
// EFIDescriptorRegistration.cpp.

namespace {

constexpr s32 CLASS_ID			= 77;
constexpr s32 INSTANCE_CLASS_ID	= 78;

}

EFLightAnimIDescriptor::EFLightAnimIDescriptor() {
}

EFLightAnimIDescriptor::~EFLightAnimIDescriptor() {
}

s32 EFLightAnimIDescriptor::GetClassID() const {
	return CLASS_ID;
}

const char * EFLightAnimIDescriptor::GetClassName() const {
	return "DT_LIGHT_ANIM_DESCR";
}

s32 EFLightAnimIDescriptor::GetInstanceCLSID() const {
	return INSTANCE_CLASS_ID;
}

DTBaseInstanceDescriptor * EFLightAnimIDescriptor::GetDescriptor() {
	return &moDescriptor;
}
