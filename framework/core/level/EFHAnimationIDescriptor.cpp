#include "framework/core/level/EFHAnimationIDescriptor.h"

// Registered with the other instance descriptors in
// EFIDescriptorRegistration.cpp.

namespace {

constexpr s32 CLASS_ID			= 55;
constexpr s32 INSTANCE_CLASS_ID	= 57;

}

EFHAnimationIDescriptor::EFHAnimationIDescriptor() {
}

EFHAnimationIDescriptor::~EFHAnimationIDescriptor() {
}

s32 EFHAnimationIDescriptor::GetClassID() const {
	return CLASS_ID;
}

const char * EFHAnimationIDescriptor::GetClassName() const {
	return "EI_HANIMATION_DESCR";
}

s32 EFHAnimationIDescriptor::GetInstanceCLSID() const {
	return INSTANCE_CLASS_ID;
}

DTBaseInstanceDescriptor * EFHAnimationIDescriptor::GetDescriptor() {
	return &moDescriptor;
}
