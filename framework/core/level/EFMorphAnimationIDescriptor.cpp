#include "framework/core/level/EFMorphAnimationIDescriptor.h"

// Registered with the other instance descriptors in
// EFIDescriptorRegistration.cpp.

namespace {

constexpr s32 CLASS_ID			= 8;
constexpr s32 INSTANCE_CLASS_ID	= 81;

}

EFMorphAnimationIDescriptor::EFMorphAnimationIDescriptor() {
}

EFMorphAnimationIDescriptor::~EFMorphAnimationIDescriptor() {
}

s32 EFMorphAnimationIDescriptor::GetClassID() const {
	return CLASS_ID;
}

const char * EFMorphAnimationIDescriptor::GetClassName() const {
	return "MORPH_ANIM_DESCR";
}

s32 EFMorphAnimationIDescriptor::GetInstanceCLSID() const {
	return INSTANCE_CLASS_ID;
}

DTBaseInstanceDescriptor * EFMorphAnimationIDescriptor::GetDescriptor() {
	return &moDescriptor;
}
