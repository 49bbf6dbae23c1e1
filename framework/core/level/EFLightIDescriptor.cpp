#include "framework/core/level/EFLightIDescriptor.h"

// Registered with the other instance descriptors in
// EFIDescriptorRegistration.cpp.

namespace {

constexpr s32 CLASS_ID			= 6;
constexpr s32 INSTANCE_CLASS_ID	= 18;

}

EFLightIDescriptor::EFLightIDescriptor() {
}

EFLightIDescriptor::~EFLightIDescriptor() {
}

s32 EFLightIDescriptor::GetClassID() const {
	return CLASS_ID;
}

const char * EFLightIDescriptor::GetClassName() const {
	return "LIGHT_DESCR";
}

s32 EFLightIDescriptor::GetInstanceCLSID() const {
	return INSTANCE_CLASS_ID;
}

DTBaseInstanceDescriptor * EFLightIDescriptor::GetDescriptor() {
	return &moDescriptor;
}
